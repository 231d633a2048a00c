#pragma once

#include "engine/IObserver.h"
#include "engine/SECEdit.h"
#include "engine/SECEditCommand.h"
#include "engine/SECEditLinesMsg.h"
#include "engine/SECEditMsg.h"
#include "engine/SECEditTextStore.h"

#include <string>
#include <vector>

// Records every notification it receives, in order.
class RecordingObserver : public IObserver
{
public:
    struct Entry
    {
        unsigned int kind = 0; // 0: "refresh everything"
        SECEditTextRange range;
        bool textPresent = false;
        std::u16string description;
    };

    explicit RecordingObserver(std::vector<std::string>* order = nullptr, std::string name = {})
        : m_order(order), m_name(std::move(name))
    {
    }

    void OnUpdate(ISubject*, IMessage* message) override
    {
        Entry entry;
        if (message)
        {
            entry.kind = message->GetMessageId();
            message->Sprint(entry.description);
            if (const SECEditCommand* command = SECEditCommand::FromMessage(message))
            {
                entry.range = command->GetRange();
                entry.textPresent = command->IsTextPresent();
            }
        }
        entries.push_back(entry);
        if (m_order)
            m_order->push_back(m_name);
    }

    int Count(unsigned int kind) const
    {
        int n = 0;
        for (const Entry& e : entries)
            n += e.kind == kind;
        return n;
    }
    std::vector<Entry> Edits() const
    {
        std::vector<Entry> edits;
        for (const Entry& e : entries)
            if (e.kind == SECEditMsg::EditCommand)
                edits.push_back(e);
        return edits;
    }

    std::vector<Entry> entries;

private:
    std::vector<std::string>* m_order;
    std::string m_name;
};

inline std::u16string AllText(const SECEdit& engine)
{
    std::u16string text;
    engine.GetAllText(text);
    return text;
}

inline std::u16string LineText(const SECEdit& engine, int line)
{
    std::u16string text;
    engine.GetLineText(line, text);
    return text;
}

// An engine reset to the given text, with a clean history.
inline void Load(SECEdit& engine, std::u16string_view text)
{
    engine.ResetContent();
    engine.GetTextStore()->AppendText(text);
    engine.FinishLoad();
}
