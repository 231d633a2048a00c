#include "app/CMyEdit.h"

#include "engine/SECEditTextStore.h"
#include "engine/SafeFileWriter.h"
#include "engine/TextFileFormat.h"
#include "engine/TextFileReader.h"
#include "platform/IBusyCursor.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>
#include <new>

namespace {

// File names and system messages are UTF-8 as a rule; other bytes are shown
// as Windows-1252 rather than dropped.
std::u16string FromLocal(std::string_view bytes)
{
    std::u16string text(bytes.size(), u'\0');
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    TextFileFormat::DecodeResult r = TextFileFormat::DecodeUtf8(p, bytes.size(), text.data(), true);
    if (r.status != TextFileFormat::DecodeStatus::Ok)
        r = TextFileFormat::DecodeWindows1252(p, bytes.size(), text.data());
    text.resize(r.produced);
    return text;
}

// The texts shown to the user; %1 is the file's path, %2 the system's reason.
constexpr std::u16string_view kUnableToOpen = u"Unable to open '%1': %2.";
constexpr std::u16string_view kUnableToSave = u"Unable to save '%1': %2.";
constexpr std::u16string_view kContainsNul
    = u"The file '%1' contains NUL characters, which a text document cannot hold. It was not opened.";
constexpr std::u16string_view kOddLastByte
    = u"The file '%1' ends with a single byte that is not part of any UTF-16 character. "
      u"The byte is kept and written back at the end of the file.";
constexpr std::u16string_view kNotAFile
    = u"'%1' is not a regular file (it is a folder, a named pipe, a device or a socket) and cannot be opened.";
constexpr std::u16string_view kLinesBroken
    = u"'%1' has %2 line(s) wider than 2,048 columns. They were broken into shorter lines, so the "
      u"document now differs from the file, and saving it will write those lines broken.";
constexpr std::u16string_view kReadOnly
    = u"The file '%1' exists and is read-only. Please save to a different filename.";
constexpr std::u16string_view kSaveAsUtf8
    = u"The document holds characters that cannot be saved as Windows-1252. Save '%1' as UTF-8 instead?";

std::u16string Format(std::u16string_view pattern, std::u16string_view first,
                      std::u16string_view second = {})
{
    std::u16string out;
    out.reserve(pattern.size() + first.size() + second.size());
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == u'%' && i + 1 < pattern.size() && (pattern[i + 1] == u'1' || pattern[i + 1] == u'2')) {
            out.append(pattern[i + 1] == u'1' ? first : second);
            ++i;
        } else {
            out.push_back(pattern[i]);
        }
    }
    return out;
}

// Receives the decoded text piece by piece and appends it to a store, which
// builds its blocks at their final size. The buffer the pieces are decoded
// into is small, so it stays in the processor's cache.
class StoreLoadSink : public ITextLoadSink
{
public:
    explicit StoreLoadSink(SECEditTextStore& store) : m_store(store) {}

    bool Begin(std::size_t maxCount) override
    {
        m_store.Reset();
        m_store.Reserve(std::ptrdiff_t(maxCount));
        m_used = 0;
        return true;
    }
    char16_t* Prepare(std::size_t count) override
    {
        if (m_used + count > m_capacity) {
            Flush();
            if (count > m_capacity) {
                m_capacity = std::max(count, kGather);
                m_buffer = std::make_unique_for_overwrite<char16_t[]>(m_capacity);
            }
        }
        return m_buffer.get() + m_used;
    }
    void Commit(std::size_t count) override { m_used += count; }

    void Flush()
    {
        if (m_used > 0)
            m_store.AppendText({m_buffer.get(), m_used});
        m_used = 0;
    }

private:
    static constexpr std::size_t kGather = 65536; // characters

    SECEditTextStore& m_store;
    std::unique_ptr<char16_t[]> m_buffer;
    std::size_t m_capacity = 0;
    std::size_t m_used = 0;
};

// Passes a load on to a sink, telling a progress step how far it has come;
// throws LoadStopped once the step says stop.
struct LoadStopped
{
};

class ProgressLoadSink : public ITextLoadSink
{
public:
    ProgressLoadSink(ITextLoadSink& sink, const IFileProgress::Step& step) : m_sink(sink), m_step(step) {}

    bool Begin(std::size_t maxCount) override
    {
        m_total = maxCount;
        m_done = 0;
        return m_sink.Begin(maxCount);
    }
    char16_t* Prepare(std::size_t count) override
    {
        if (!m_step(m_done, m_total))
            throw LoadStopped{};
        return m_sink.Prepare(count);
    }
    void Commit(std::size_t count) override
    {
        m_done += count;
        m_sink.Commit(count);
    }

private:
    ITextLoadSink& m_sink;
    const IFileProgress::Step& m_step;
    std::uint64_t m_total = 0;
    std::uint64_t m_done = 0;
};

// The size of a regular file; 0 for anything else, which is never worth a
// progress window.
std::uint64_t RegularFileSize(const std::string& path)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return 0;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    return error ? 0 : std::uint64_t(size);
}

} // namespace

// The document's store, telling the engine's change listener of every change
// to the current text. Stores being filled by a load are not the current one
// and stay silent.
class CMyEdit::ReportingStore final : public SECEditTextStore
{
public:
    explicit ReportingStore(const CMyEdit& edit) : m_edit(edit) {}

    bool Insert(SECEditTextRange& range, const char16_t* text, std::ptrdiff_t count) override
    {
        return Report(range, text, count, [&] { return SECEditTextStore::Insert(range, text, count); });
    }
    bool InsertAt(SECEditTextRange& range, const char16_t* text, std::ptrdiff_t count) override
    {
        return Report(range, text, count, [&] { return SECEditTextStore::InsertAt(range, text, count); });
    }
    bool Delete(const SECEditTextRange& range) override
    {
        ITextChangeListener* listener = Listener();
        if (!listener)
            return SECEditTextStore::Delete(range);
        const std::ptrdiff_t start = PositionToOffset(range.start.line, range.start.column);
        const std::ptrdiff_t end = PositionToOffset(range.end.line, range.end.column);
        if (!SECEditTextStore::Delete(range))
            return false;
        if (end > start)
            listener->OnTextDeleted(start, end - start, GetLength());
        return true;
    }
    bool ReplaceSpans(const std::vector<SpanEdit>& edits) override
    {
        ITextChangeListener* listener = Listener();
        const std::ptrdiff_t before = GetLength();
        if (!SECEditTextStore::ReplaceSpans(edits))
            return false;
        if (!listener)
            return true;
        // Told as the deletion and insertion of each edit in turn.
        std::ptrdiff_t length = before;
        for (const SpanEdit& edit : edits) {
            if (edit.removed > 0) {
                length -= edit.removed;
                listener->OnTextDeleted(edit.offset, edit.removed, length);
            }
            if (!edit.inserted.empty()) {
                length += std::ptrdiff_t(edit.inserted.size());
                listener->OnTextInserted(edit.offset, edit.inserted, length);
            }
        }
        return true;
    }
    void Reset() override
    {
        SECEditTextStore::Reset();
        if (ITextChangeListener* listener = Listener())
            listener->OnTextReplaced();
    }

private:
    ITextChangeListener* Listener() const
    {
        return m_edit.GetTextStore() == this ? m_edit.m_textListener : nullptr;
    }
    template <typename Insert>
    bool Report(const SECEditTextRange& range, const char16_t* text, std::ptrdiff_t, Insert insert)
    {
        ITextChangeListener* listener = Listener();
        if (!listener)
            return insert();
        const std::ptrdiff_t offset = PositionToOffset(range.start.line, range.start.column);
        const std::ptrdiff_t before = GetLength();
        if (!insert())
            return false;
        const std::ptrdiff_t added = GetLength() - before;
        if (added > 0)
            listener->OnTextInserted(offset, {text, static_cast<std::size_t>(added)}, before + added);
        return true;
    }

    const CMyEdit& m_edit;
};

std::unique_ptr<SECEditTextStore> CMyEdit::CreateTextStore()
{
    return std::make_unique<ReportingStore>(*this);
}

IMessageBox::Answer CMyEdit::Show(const std::u16string& text, IMessageBox::Buttons buttons,
                                  IMessageBox::Icon icon)
{
    if (!m_messageBox)
        return buttons == IMessageBox::Buttons::YesNo ? IMessageBox::Answer::No : IMessageBox::Answer::Cancel;
    return m_messageBox->Show(text, buttons, icon);
}

void CMyEdit::ReportOpenError()
{
    Show(u"Unable to Open File");
}

void CMyEdit::RunFileWork(IFileProgress::Kind kind, const std::string& path, std::uint64_t bytes,
                          const std::function<void(const IFileProgress::Step&)>& work)
{
    if (m_progress)
        m_progress->Run(kind, path, bytes, work);
    else
        work([](std::uint64_t, std::uint64_t) { return true; });
}

bool CMyEdit::OpenFile(const std::string& path)
{
    m_stopped = false;
    TextFileReader::Result result;
    {
        // The busy cursor covers the work only, never a message box.
        BusyCursorScope busy(m_busyCursor);
        try {
            // Read into a store of its own: the document changes only once
            // the whole file has been read. A big file is read on another
            // thread; the store is only touched here once that is over.
            std::unique_ptr<SECEditTextStore> loaded = CreateTextStore();
            RunFileWork(IFileProgress::Kind::Open, path, RegularFileSize(path),
                        [&](const IFileProgress::Step& step) {
                            StoreLoadSink sink(*loaded);
                            ProgressLoadSink watched(sink, step);
                            result = TextFileReader::Read(path, watched);
                            if (result.status == TextFileReader::Status::Ok)
                                sink.Flush();
                        });
            if (result.status == TextFileReader::Status::Ok) {
                ResetContent();
                GetTextStore()->Swap(*loaded);
                loaded.reset();
                if (m_textListener)
                    m_textListener->OnTextReplaced();
                m_encoding = result.encoding;
                m_trailingBytes = result.trailingBytes;
                m_brokenLines = CountLongLines();
                FinishLoad();
            }
        } catch (const std::bad_alloc&) {
            result.status = TextFileReader::Status::OutOfMemory;
        } catch (const LoadStopped&) {
            m_stopped = true;
        }
    }
    if (m_stopped)
        return false;

    switch (result.status) {
    case TextFileReader::Status::Ok:
        if (!m_trailingBytes.empty())
            Show(Format(kOddLastByte, FromLocal(path)), IMessageBox::Buttons::Ok, IMessageBox::Icon::Information);
        if (m_brokenLines > 0 && IsModified()) {
            const std::string count = std::to_string(m_brokenLines);
            Show(Format(kLinesBroken, FromLocal(path), FromLocal(count)), IMessageBox::Buttons::Ok,
                 IMessageBox::Icon::Warning);
        }
        return true;
    case TextFileReader::Status::NotAFile:
        Show(Format(kNotAFile, FromLocal(path)), IMessageBox::Buttons::Ok, IMessageBox::Icon::Error);
        return false;
    case TextFileReader::Status::CannotOpen:
    case TextFileReader::Status::ReadFailed:
        Show(Format(kUnableToOpen, FromLocal(path), FromLocal(std::strerror(result.errorNumber))),
             IMessageBox::Buttons::Ok, IMessageBox::Icon::Error);
        return false;
    case TextFileReader::Status::ContainsNul:
        Show(Format(kContainsNul, FromLocal(path)), IMessageBox::Buttons::Ok, IMessageBox::Icon::Error);
        return false;
    case TextFileReader::Status::OutOfMemory:
        ReportOpenError();
        return false;
    }
    return false;
}

std::int32_t CMyEdit::CountLongLines() const
{
    const SECEditTextStore& store = *GetTextStore();
    const std::int32_t last = store.GetLineCount() - 1;
    // A line whose full length stays within this cannot be too wide.
    const std::int32_t shortEnough = MaxLineLength / std::max(1, GetTabSize());
    std::int32_t count = 0;
    for (std::int32_t line = 0; line <= last; ++line) {
        line = store.FindLongLine(line, last, shortEnough);
        if (line < 0)
            break;
        if (ConvertColumn(store.GetLineLength(line), 0, line) > MaxLineLength)
            ++count;
    }
    return count;
}

bool CMyEdit::LoadRecovered(const std::string& basePath, const std::function<bool(SECEditTextStore&)>& replay,
                            TextEncoding encoding, std::string trailingBytes)
{
    BusyCursorScope busy(m_busyCursor);
    try {
        std::unique_ptr<SECEditTextStore> loaded = CreateTextStore();
        loaded->Reset();
        if (!basePath.empty()) {
            StoreLoadSink sink(*loaded);
            if (TextFileReader::Read(basePath, sink).status != TextFileReader::Status::Ok)
                return false;
            sink.Flush();
        }
        if (!replay(*loaded))
            return false;
        ResetContent();
        GetTextStore()->Swap(*loaded);
        loaded.reset();
        if (m_textListener)
            m_textListener->OnTextReplaced();
        m_encoding = encoding;
        m_trailingBytes = std::move(trailingBytes);
        m_brokenLines = 0;
        FinishLoad();
        MarkUnsaved();
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool CMyEdit::CanWriteAs(TextEncoding encoding) const
{
    // Only Windows-1252 can lack characters the text holds.
    if (encoding != TextEncoding::Windows1252)
        return true;
    return GetTextStore()->ForEachChunk(0, GetTextStore()->GetLength(), [](std::u16string_view piece) {
        return TextFileFormat::CanEncode(piece, TextEncoding::Windows1252);
    });
}

bool CMyEdit::SaveFile(const std::string& path)
{
    m_stopped = false;
    if (SafeFileWriter::IsReadOnly(path)) {
        Show(Format(kReadOnly, FromLocal(path)), IMessageBox::Buttons::Ok, IMessageBox::Icon::Warning);
        return false;
    }
    TextEncoding encoding = m_encoding;
    if (GetTextStore()->GetLength() > 0 && !CanWriteAs(encoding)) {
        // Never replace characters silently.
        const auto answer
            = Show(Format(kSaveAsUtf8, FromLocal(path)), IMessageBox::Buttons::YesNo, IMessageBox::Icon::Question);
        if (answer != IMessageBox::Answer::Yes)
            return false;
        encoding = TextEncoding::Utf8;
    }

    bool ok = false;
    std::u16string error;
    {
        BusyCursorScope busy(m_busyCursor);
        SafeFileWriter file(path);
        try {
            // A big document is written on another thread; the windows stay
            // out of reach meanwhile, so the text does not change under it.
            const std::uint64_t total = std::uint64_t(GetTextStore()->GetLength()) * (IsUtf16(encoding) ? 2 : 1)
                                        + m_trailingBytes.size();
            RunFileWork(IFileProgress::Kind::Save, path, total, [&](const IFileProgress::Step& step) {
                file.SetProgress([&](std::uint64_t written) {
                    if (step(std::min(written, total), total))
                        return true;
                    m_stopped = true;
                    return false;
                });
                ok = file.Open() && GetTextStore()->Write(file, encoding)
                     && (m_trailingBytes.empty() || file.Write(m_trailingBytes.data(), m_trailingBytes.size()));
                if (ok) {
                    step(total, total); // only the rename is left, and it is not stopped
                    ok = file.Commit();
                }
            });
            error = FromLocal(file.Error());
        } catch (const std::bad_alloc&) {
            file.Abort();
            error = Format(kUnableToSave, FromLocal(path), FromLocal(std::strerror(ENOMEM)));
        }
    }
    if (!ok) {
        if (!m_stopped)
            Show(error, IMessageBox::Buttons::Ok, IMessageBox::Icon::Error);
        return false;
    }
    m_encoding = encoding;
    m_brokenLines = 0;
    MarkClean();
    return true;
}

bool CMyEdit::AppendChunk(const char* bytes, std::size_t count, std::int32_t& line, std::int32_t& column)
{
    std::string_view input(bytes, count);
    if (const std::size_t nul = input.find('\0'); nul != std::string_view::npos && !IsUtf16(m_encoding))
        input = input.substr(0, nul);
    const auto* p = reinterpret_cast<const unsigned char*>(input.data());
    std::u16string text(input.size(), u'\0');
    TextFileFormat::DecodeResult r;
    if (IsUtf16(m_encoding)) {
        r = TextFileFormat::DecodeUtf16LE(p, input.size(), text.data());
    } else if (m_encoding == TextEncoding::Windows1252) {
        r = TextFileFormat::DecodeWindows1252(p, input.size(), text.data());
    } else {
        r = TextFileFormat::DecodeUtf8(p, input.size(), text.data(), true);
        if (r.status == TextFileFormat::DecodeStatus::Invalid)
            r = TextFileFormat::DecodeWindows1252(p, input.size(), text.data());
    }
    text.resize(r.produced); // a zero character ends the text, as in the store
    SECEditTextRange range(line, column, line, column);
    if (!GetTextStore()->InsertAt(range, text.data(), std::ptrdiff_t(text.size())))
        return false;
    line = range.end.line;
    column = range.end.column;
    return true;
}
