#pragma once

#include "engine/SECEdit.h"
#include "app/IFileProgress.h"
#include "engine/TextEncoding.h"
#include "platform/IMessageBox.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

class IBusyCursor;

// Hears every change to a document's characters, in offsets of the whole
// text, as the change happens: edits, undo and redo, and the engine's own line
// breaks alike. A recovery journal replays them over the text they started from.
class ITextChangeListener
{
public:
    virtual ~ITextChangeListener() = default;
    // `text` was inserted at `offset`; the text is now `lengthAfter` characters long.
    virtual void OnTextInserted(std::ptrdiff_t offset, std::u16string_view text, std::ptrdiff_t lengthAfter) = 0;
    virtual void OnTextDeleted(std::ptrdiff_t offset, std::ptrdiff_t count, std::ptrdiff_t lengthAfter) = 0;
    // The whole text was emptied or replaced (a new document, a file loaded).
    virtual void OnTextReplaced() = 0;
};

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
    // Puts a recovered text in place: the file at `basePath` (empty: no file,
    // an empty text) is read into a fresh store, `replay` changes that store,
    // and only then does the document take it, modified, with the encoding
    // given. False, and the document as it was, when either step fails.
    bool LoadRecovered(const std::string& basePath, const std::function<bool(SECEditTextStore&)>& replay,
                       TextEncoding encoding, std::string trailingBytes);
    // Writes through a temporary file; on failure the target and the modified
    // flag stay as they were.
    bool SaveFile(const std::string& path) override;

    // Decodes `count` bytes in the document's encoding (up to the first NUL)
    // and inserts them at (line, column) with no command and no notification;
    // on success (line, column) move to the end of the inserted text.
    bool AppendChunk(const char* bytes, std::size_t count, std::int32_t& line, std::int32_t& column);

    // How many lines the last OpenFile found wider than the line-length limit
    // and broke; the document then differs from its file.
    std::int32_t GetBrokenLineCount() const noexcept { return m_brokenLines; }
    void ForgetBrokenLines() noexcept { m_brokenLines = 0; }

    TextEncoding GetEncoding() const noexcept { return m_encoding; }
    const std::string& GetTrailingBytes() const noexcept { return m_trailingBytes; }
    void SetEncoding(TextEncoding encoding) noexcept { m_encoding = encoding; }

    // At most one listener; nullptr removes it.
    void SetTextChangeListener(ITextChangeListener* listener) noexcept { m_textListener = listener; }
    ITextChangeListener* GetTextChangeListener() const noexcept { return m_textListener; }

    void SetMessageBox(IMessageBox* messageBox) noexcept { m_messageBox = messageBox; }
    void SetBusyCursor(IBusyCursor* busyCursor) noexcept { m_busyCursor = busyCursor; }
    // Runs the reading and writing of files, showing progress for big ones;
    // without it they run right here.
    void SetFileProgress(IFileProgress* progress) noexcept { m_progress = progress; }
    // Whether the user stopped the last OpenFile or SaveFile (which then
    // returned false, said nothing and left the document and the file as
    // they were).
    bool WasStopped() const noexcept { return m_stopped; }

    // Colouring refinements for "XML" (attribute names) and "HTML" (only
    // text inside tags is coloured); CMyEditColoring.cpp.
    int ColorToken(std::int32_t line, const char16_t* lineText, int tokenStart, int tokenLength, int charsLeft,
                   int& pending, SECEditColorRuns& runs) override;
    // After an edit of an "HTML" document, also drops the colouring of the
    // lines whose tag test the edit may have changed.
    void OnUpdate(ISubject* subject, IMessage* message) override;

    // A store that tells the change listener what changes.
    std::unique_ptr<SECEditTextStore> CreateTextStore() override;

private:
    class ReportingStore;
    // Drops the colouring of the lines whose tag test an edit of lines
    // editFirst..editLast may have changed.
    void RecolorAroundTags(std::int32_t editFirst, std::int32_t editLast);
    struct BracketMemo;
    BracketMemo& Brackets();

    IMessageBox::Answer Show(const std::u16string& text,
                             IMessageBox::Buttons buttons = IMessageBox::Buttons::Ok,
                             IMessageBox::Icon icon = IMessageBox::Icon::None);
    bool CanWriteAs(TextEncoding encoding) const;
    void RunFileWork(IFileProgress::Kind kind, const std::string& path, std::uint64_t bytes,
                     const std::function<void(const IFileProgress::Step&)>& work);
    std::int32_t CountLongLines() const;

    TextEncoding m_encoding = TextEncoding::Utf8;
    // The odd last byte of a UTF-16 file, written back after the text.
    std::string m_trailingBytes;
    std::int32_t m_brokenLines = 0;
    ITextChangeListener* m_textListener = nullptr;
    IMessageBox* m_messageBox = nullptr;
    IBusyCursor* m_busyCursor = nullptr;
    IFileProgress* m_progress = nullptr;
    bool m_stopped = false;
    // What the HTML bracket search has learnt about the text (shared_ptr so
    // the type can stay private to the colouring file).
    std::shared_ptr<BracketMemo> m_brackets;
};
