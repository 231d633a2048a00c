#pragma once

#include "engine/SECEdit.h"
#include "engine/TextEncoding.h"
#include "platform/IMessageBox.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

class IBusyCursor;

// The application's text engine: opens and saves files in their own encoding
// (UTF-8 with or without a mark, Windows-1252, UTF-16LE with or without a
// mark) and gives every byte back on saving an unchanged document. Messages
// and the busy cursor go through the platform interfaces set here; without
// them it works silently.
class CMyEdit : public SECEdit
{
public:
    CMyEdit() = default;
    ~CMyEdit() override = default;

    // Reads the file into a fresh store and puts it in place only once it
    // was read completely: a file that can't be read leaves the document as
    // it was. Paths are in the file system's encoding (UTF-8).
    bool OpenFile(const std::string& path) override;
    void ReportOpenError() override;
    // Writes through a temporary file; on failure the target and the modified
    // flag stay as they were.
    bool SaveFile(const std::string& path) override;

    // Decodes `count` bytes in the document's encoding (up to the first NUL)
    // and inserts them at (line, column) with no command and no notification;
    // on success (line, column) move to the end of the inserted text.
    bool AppendChunk(const char* bytes, std::size_t count, std::int32_t& line, std::int32_t& column);

    TextEncoding GetEncoding() const noexcept { return m_encoding; }
    void SetEncoding(TextEncoding encoding) noexcept { m_encoding = encoding; }

    void SetMessageBox(IMessageBox* messageBox) noexcept { m_messageBox = messageBox; }
    void SetBusyCursor(IBusyCursor* busyCursor) noexcept { m_busyCursor = busyCursor; }

    // Colouring refinements for "XML" (attribute names) and "HTML" (only
    // text inside tags is coloured); CMyEditColoring.cpp.
    int ColorToken(std::int32_t line, const char16_t* lineText, int tokenStart, int tokenLength, int charsLeft,
                   int& pending, SECEditColorRuns& runs) override;
    // After an edit of an "HTML" document, also drops the colouring of the
    // lines whose tag test the edit may have changed.
    void OnUpdate(ISubject* subject, IMessage* message) override;

private:
    struct BracketMemo;
    BracketMemo& Brackets();

    IMessageBox::Answer Show(const std::u16string& text,
                             IMessageBox::Buttons buttons = IMessageBox::Buttons::Ok,
                             IMessageBox::Icon icon = IMessageBox::Icon::None);
    bool CanWriteAs(TextEncoding encoding) const;

    TextEncoding m_encoding = TextEncoding::Utf8;
    // The odd last byte of a UTF-16 file, written back after the text.
    std::string m_trailingBytes;
    IMessageBox* m_messageBox = nullptr;
    IBusyCursor* m_busyCursor = nullptr;
    // What the HTML bracket search has learnt about the text (shared_ptr so
    // the type can stay private to the colouring file).
    std::shared_ptr<BracketMemo> m_brackets;
};
