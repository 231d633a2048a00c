#pragma once

#include <Qt>

#include <vector>

// The editor key table: which key, with which of Shift, Ctrl and Alt, sends
// which editor command. Keys are Qt key codes; the keypad and meta modifiers
// play no part. The first matching entry wins.
class SECEditKeyTable
{
public:
    struct Entry
    {
        int key;
        Qt::KeyboardModifiers modifiers;
        int command;
    };

    // The editor's standard table.
    SECEditKeyTable();
    explicit SECEditKeyTable(std::vector<Entry> entries) : m_entries(std::move(entries)) {}

    // The command of a key press, or 0 when the key is not in the table.
    int Find(int key, Qt::KeyboardModifiers modifiers) const;
    const std::vector<Entry>& GetEntries() const noexcept { return m_entries; }

private:
    std::vector<Entry> m_entries;
};
