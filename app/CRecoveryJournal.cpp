#include "app/CRecoveryJournal.h"

#include "engine/SECEditTextStore.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <array>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace {

// A journal file: the magic, then frames of [length u32][crc32 u32][payload].
// The payload's first byte says what it holds:
//   'M' the base and the document (always first),
//   'B' the base file's hash, once the worker has read it,
//   'E' a batch of changes: 'I' insert, 'D' delete, 'S' a copy of the whole text.
constexpr char kMagic[8] = {'T', 'A', 'V', 'J', 'N', 'L', '0', '1'};
constexpr std::uint32_t kVersion = 1;
constexpr char kSuffix[] = ".tjl";

std::uint32_t Crc32(const char* data, std::size_t size, std::uint32_t previous = 0)
{
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t {};
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t c = i;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    std::uint32_t crc = previous ^ 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i)
        crc = table[(crc ^ static_cast<unsigned char>(data[i])) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

template <typename T>
void Put(std::string& out, T value)
{
    char bytes[sizeof(T)];
    std::memcpy(bytes, &value, sizeof(T));
    out.append(bytes, sizeof(T));
}

void PutBytes(std::string& out, std::string_view bytes)
{
    Put<std::uint32_t>(out, static_cast<std::uint32_t>(bytes.size()));
    out.append(bytes);
}

void PutString(std::string& out, const QString& text)
{
    PutBytes(out, text.toUtf8().toStdString());
}

// Reads what Put wrote; any read past the end sets `failed` and gives zeros.
class Reader
{
public:
    explicit Reader(std::string_view data) : m_data(data) {}

    template <typename T>
    T Get()
    {
        T value {};
        if (m_data.size() - m_at < sizeof(T)) {
            m_failed = true;
            m_at = m_data.size();
            return value;
        }
        std::memcpy(&value, m_data.data() + m_at, sizeof(T));
        m_at += sizeof(T);
        return value;
    }
    std::string_view Take(std::size_t count)
    {
        if (m_data.size() - m_at < count) {
            m_failed = true;
            m_at = m_data.size();
            return {};
        }
        const std::string_view piece = m_data.substr(m_at, count);
        m_at += count;
        return piece;
    }
    std::string_view Bytes() { return Take(Get<std::uint32_t>()); }
    QString String()
    {
        const std::string_view bytes = Bytes();
        return QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
    }
    bool AtEnd() const { return m_at >= m_data.size(); }
    bool Failed() const { return m_failed; }
    std::size_t Position() const { return m_at; }

private:
    std::string_view m_data;
    std::size_t m_at = 0;
    bool m_failed = false;
};

std::string Frame(std::string_view payload)
{
    std::string out;
    out.reserve(payload.size() + 8);
    Put<std::uint32_t>(out, static_cast<std::uint32_t>(payload.size()));
    Put<std::uint32_t>(out, Crc32(payload.data(), payload.size()));
    out.append(payload);
    return out;
}

bool WriteAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.remove_prefix(std::size_t(n));
    }
    return true;
}

std::string Encoded(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

// The new file appears whole or not at all.
void CreateFile(const std::string& path, const std::string& contents)
{
    const std::string temporary = path + ".new";
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        return;
    const bool ok = WriteAll(fd, contents) && ::fsync(fd) == 0;
    ::close(fd);
    if (!ok || ::rename(temporary.c_str(), path.c_str()) != 0)
        ::unlink(temporary.c_str());
}

// Appends the frame of `kind` followed by `body` without copying the body,
// which may be as large as the document.
// A write that fails (a full disk) is taken back, and false tells the caller
// to add nothing more to this journal: a record missing in the middle would
// make the ones after it apply to the wrong text. What was written before
// stays recoverable.
bool AppendFrame(const std::string& path, char kind, std::string_view body)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (fd < 0)
        return true; // removed meanwhile: the document was saved or closed
    const off_t before = ::lseek(fd, 0, SEEK_END);
    std::string head;
    Put<std::uint32_t>(head, static_cast<std::uint32_t>(body.size() + 1));
    Put<std::uint32_t>(head, Crc32(body.data(), body.size(), Crc32(&kind, 1)));
    head.push_back(kind);
    const bool ok = before >= 0 && WriteAll(fd, head) && WriteAll(fd, body) && ::fdatasync(fd) == 0;
    if (!ok && before >= 0 && ::ftruncate(fd, before) == 0)
        ::fdatasync(fd);
    ::close(fd);
    return ok;
}

QByteArray HashOfFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&file))
        return {};
    return hash.result();
}

// The frames of a journal file up to the first damaged one.
struct Parsed
{
    std::string meta;          // payload of 'M'
    QByteArray baseHash;       // from 'B', empty when none
    std::vector<std::string_view> batches; // payloads of 'E'
    std::size_t damagedBytes = 0;
};

Parsed Parse(const std::string& data)
{
    Parsed parsed;
    if (data.size() < sizeof(kMagic) || std::memcmp(data.data(), kMagic, sizeof(kMagic)) != 0) {
        parsed.damagedBytes = data.size();
        return parsed;
    }
    Reader reader(std::string_view(data).substr(sizeof(kMagic)));
    while (!reader.AtEnd()) {
        const std::size_t start = reader.Position();
        const auto length = reader.Get<std::uint32_t>();
        const auto crc = reader.Get<std::uint32_t>();
        const std::string_view payload = reader.Take(length);
        if (reader.Failed() || payload.empty() || Crc32(payload.data(), payload.size()) != crc
            || (parsed.meta.empty() && payload[0] != 'M')) {
            parsed.damagedBytes = data.size() - sizeof(kMagic) - start;
            break;
        }
        switch (payload[0]) {
        case 'M': parsed.meta.assign(payload); break;
        case 'B': parsed.baseHash = QByteArray(payload.data() + 1, qsizetype(payload.size() - 1)); break;
        case 'E': parsed.batches.push_back(payload.substr(1)); break;
        default: break; // a kind from a later version: skipped
        }
    }
    return parsed;
}

struct Meta
{
    bool ok = false;
    std::uint8_t base = 0;
    TextEncoding encoding = TextEncoding::Utf8;
    FileIdentity identity;
    QString path;
    QString title;
    std::string trailing;
};

Meta ReadMeta(const std::string& payload)
{
    Meta meta;
    Reader r(payload);
    r.Get<char>(); // 'M'
    if (r.Get<std::uint32_t>() != kVersion)
        return meta;
    meta.base = r.Get<std::uint8_t>();
    meta.encoding = static_cast<TextEncoding>(r.Get<std::uint8_t>());
    r.Get<std::int64_t>(); // the writing program's process id
    meta.identity.exists = r.Get<std::uint8_t>() != 0;
    meta.identity.size = r.Get<std::int64_t>();
    meta.identity.modifiedNs = r.Get<std::int64_t>();
    meta.identity.inode = r.Get<std::uint64_t>();
    meta.identity.device = r.Get<std::uint64_t>();
    meta.path = r.String();
    meta.title = r.String();
    meta.trailing = std::string(r.Bytes());
    meta.ok = !r.Failed() && meta.base <= 3;
    return meta;
}

// Applies one batch of changes to a store; stops at the first change that
// does not fit (false), leaving the text as the changes before it left it.
bool Replay(std::string_view batch, SECEditTextStore& store, std::size_t& applied)
{
    Reader r(batch);
    std::u16string text;
    // Reads count UTF-16 units into text; a count past the batch is damage.
    const auto readText = [&](std::int64_t count) {
        if (r.Failed() || count > std::int64_t(batch.size()))
            return false;
        const std::string_view bytes = r.Take(std::size_t(count) * 2);
        if (r.Failed())
            return false;
        text.resize(std::size_t(count));
        std::memcpy(text.data(), bytes.data(), bytes.size());
        return true;
    };
    while (!r.AtEnd()) {
        const char kind = r.Get<char>();
        if (kind == 'I') {
            const auto offset = r.Get<std::int64_t>();
            const auto lengthAfter = r.Get<std::int64_t>();
            const auto count = r.Get<std::int64_t>();
            if (count <= 0 || !readText(count))
                return false;
            SECEditTextRange range;
            if (!store.OffsetToPosition(offset, range.start.line, range.start.column))
                return false;
            range.end = range.start;
            if (!store.Insert(range, text.data(), count) || store.GetLength() != lengthAfter)
                return false;
        } else if (kind == 'D') {
            const auto offset = r.Get<std::int64_t>();
            const auto count = r.Get<std::int64_t>();
            const auto lengthAfter = r.Get<std::int64_t>();
            SECEditTextRange range;
            if (r.Failed() || count <= 0 || !store.OffsetToPosition(offset, range.start.line, range.start.column)
                || !store.OffsetToPosition(offset + count, range.end.line, range.end.column)
                || !store.Delete(range) || store.GetLength() != lengthAfter)
                return false;
        } else if (kind == 'S') {
            const auto count = r.Get<std::int64_t>();
            if (count < 0 || !readText(count))
                return false;
            store.Reset();
            store.AppendText(text);
            if (store.GetLength() != count)
                return false;
        } else {
            return false;
        }
        ++applied;
    }
    return true;
}

// Whether a batch holds a copy of the whole text, which needs no base.
std::size_t LastCopy(const std::vector<std::string_view>& batches)
{
    std::size_t last = batches.size();
    for (std::size_t i = 0; i < batches.size(); ++i) {
        Reader r(batches[i]);
        while (!r.AtEnd() && !r.Failed()) {
            const char kind = r.Get<char>();
            if (kind == 'I') {
                r.Get<std::int64_t>();
                r.Get<std::int64_t>();
                r.Take(std::size_t(r.Get<std::int64_t>()) * 2);
            } else if (kind == 'D') {
                r.Take(24);
            } else if (kind == 'S') {
                last = i;
                break; // a copy starts a batch of its own
            } else {
                break;
            }
        }
    }
    return last;
}

} // namespace

// --- CRecoveryJournal --------------------------------------------------------------

CRecoveryJournal::CRecoveryJournal(const QString& folder, QObject* parent)
    : QObject(parent), m_root(folder), m_worker([this] { WorkerLoop(); })
{
    m_hashing.setMaxThreadCount(1);
}

CRecoveryJournal::~CRecoveryJournal()
{
    m_hashing.waitForDone();
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    m_worker.join();
    for (const auto& orphanLock : m_orphanLocks)
        orphanLock->unlock();
    if (!m_session.isEmpty()) {
        QDir session(m_session);
        if (session.entryList({QStringLiteral("*") + QLatin1String(kSuffix)}, QDir::Files).isEmpty()) {
            m_sessionLock->unlock();
            session.removeRecursively();
        }
    }
}

QString CRecoveryJournal::DefaultFolder()
{
    // The user's state folder (XDG_STATE_HOME, by default ~/.local/state);
    // in test mode Qt's own test folder, so tests never touch the user's files.
    if (QStandardPaths::isTestModeEnabled())
        return QDir(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation))
            .filePath(QStringLiteral("recovery"));
    QString base = qEnvironmentVariable("XDG_STATE_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::home().filePath(QStringLiteral(".local/state"));
    return QDir(base).filePath(QCoreApplication::organizationName() + QLatin1Char('/')
                               + QCoreApplication::applicationName() + QStringLiteral("/recovery"));
}

std::unique_ptr<CDocumentJournal> CRecoveryJournal::Attach(CMyEdit& edit)
{
    return std::make_unique<CDocumentJournal>(*this, edit);
}

void CRecoveryJournal::Post(std::function<void()> job)
{
    {
        std::lock_guard lock(m_mutex);
        m_jobs.push_back(std::move(job));
    }
    m_wake.notify_one();
}

void CRecoveryJournal::WorkerLoop()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stop || !m_jobs.empty(); });
        if (m_jobs.empty()) {
            if (m_stop)
                return;
            continue;
        }
        std::function<void()> job = std::move(m_jobs.front());
        m_jobs.pop_front();
        m_busy = true;
        lock.unlock();
        job();
        lock.lock();
        m_busy = false;
        if (m_jobs.empty())
            m_idle.notify_all();
    }
}

void CRecoveryJournal::WaitForWrites()
{
    m_hashing.waitForDone();
    std::unique_lock lock(m_mutex);
    m_idle.wait(lock, [this] { return m_jobs.empty() && !m_busy; });
}

bool CRecoveryJournal::EnsureSession()
{
    if (m_sessionLock)
        return true;
    const QString name = QStringLiteral("%1-%2").arg(QCoreApplication::applicationPid())
                             .arg(QDateTime::currentMSecsSinceEpoch());
    const QString session = QDir(m_root).filePath(name);
    if (!QDir().mkpath(session))
        return false;
    QFile::setPermissions(session, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    auto lock = std::make_unique<QLockFile>(QDir(session).filePath(QStringLiteral("lock")));
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0))
        return false;
    m_session = session;
    m_sessionLock = std::move(lock);
    return true;
}

void CRecoveryJournal::Append(const std::string& path, char kind, std::string_view body)
{
    if (m_failed.count(path) == 0 && !AppendFrame(path, kind, body))
        m_failed.insert(path);
}

QString CRecoveryJournal::NewJournalPath()
{
    return QDir(m_session).filePath(QString::number(++m_nextJournal) + QLatin1String(kSuffix));
}

QList<CRecoveryJournal::Orphan> CRecoveryJournal::FindOrphans()
{
    QList<Orphan> orphans;
    const QFileInfoList sessions = QDir(m_root).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo& session : sessions) {
        if (session.absoluteFilePath() == QFileInfo(m_session).absoluteFilePath())
            continue;
        auto lock = std::make_unique<QLockFile>(QDir(session.absoluteFilePath()).filePath(QStringLiteral("lock")));
        lock->setStaleLockTime(0);
        if (!lock->tryLock(0))
            continue; // its program is still running
        const QFileInfoList journals = QDir(session.absoluteFilePath())
                                           .entryInfoList({QStringLiteral("*") + QLatin1String(kSuffix)},
                                                          QDir::Files, QDir::Time | QDir::Reversed);
        if (journals.isEmpty()) {
            lock->unlock();
            QDir(session.absoluteFilePath()).removeRecursively();
            continue;
        }
        for (const QFileInfo& journal : journals) {
            Orphan orphan;
            orphan.journalPath = journal.absoluteFilePath();
            orphan.lastChange = journal.lastModified();
            QFile file(orphan.journalPath);
            if (file.open(QIODevice::ReadOnly)) {
                // The first frame is enough for the name.
                const std::string head = file.read(64 * 1024).toStdString();
                const Parsed parsed = Parse(head);
                const Meta meta = parsed.meta.empty() ? Meta {} : ReadMeta(parsed.meta);
                orphan.documentPath = meta.path;
                orphan.title = meta.title;
            }
            if (orphan.title.isEmpty())
                orphan.title = orphan.documentPath.isEmpty() ? tr("(a damaged journal)")
                                                             : QFileInfo(orphan.documentPath).fileName();
            orphans.append(orphan);
        }
        m_orphanLocks.push_back(std::move(lock));
    }
    return orphans;
}

void CRecoveryJournal::ReleaseOrphans()
{
    for (const auto& lock : m_orphanLocks)
        lock->unlock();
    m_orphanLocks.clear();
}

void CRecoveryJournal::Discard(const Orphan& orphan)
{
    QFile::remove(orphan.journalPath);
    const QString folder = QFileInfo(orphan.journalPath).absolutePath();
    if (!QDir(folder).entryList({QStringLiteral("*") + QLatin1String(kSuffix)}, QDir::Files).isEmpty())
        return;
    for (auto it = m_orphanLocks.begin(); it != m_orphanLocks.end(); ++it) {
        if (QFileInfo((*it)->fileName()).absolutePath() == folder) {
            (*it)->unlock();
            m_orphanLocks.erase(it);
            break;
        }
    }
    QDir(folder).removeRecursively();
}

CRecoveryJournal::Recovered CRecoveryJournal::Recover(const Orphan& orphan, CMyEdit& edit)
{
    Recovered result;
    QFile file(orphan.journalPath);
    if (!file.open(QIODevice::ReadOnly)) {
        result.problem = tr("The journal could not be read: %1.").arg(file.errorString());
        return result;
    }
    const std::string data = file.readAll().toStdString();
    file.close();
    const Parsed parsed = Parse(data);
    const Meta meta = parsed.meta.empty() ? Meta {} : ReadMeta(parsed.meta);
    if (!meta.ok) {
        result.problem = tr("The journal is damaged: nothing in it can be trusted.");
        return result;
    }
    result.documentPath = meta.path;
    result.title = meta.title;

    QStringList problems;
    if (parsed.damagedBytes > 0)
        problems << tr("The end of the journal (%1 bytes) was damaged; the last changes before the "
                       "program stopped may be missing.").arg(parsed.damagedBytes);

    // The base must be the text the changes were made to.
    std::size_t first = 0;
    QString basePath;
    if (meta.base == 2) {
        const FileIdentity now = FileIdentity::Of(meta.path);
        bool same = now == meta.identity;
        if (!same && now.exists && !parsed.baseHash.isEmpty())
            same = HashOfFile(meta.path) == parsed.baseHash;
        if (same) {
            basePath = meta.path;
        } else {
            first = LastCopy(parsed.batches);
            if (first == parsed.batches.size()) {
                result.problem = tr("The file '%1' has changed or gone since the changes were made, so "
                                    "they cannot be applied to it. Nothing was recovered.")
                                     .arg(QDir::toNativeSeparators(meta.path));
                return result;
            }
            problems << tr("The file changed since; only the changes from the last full copy of the text on "
                           "are recovered.");
        }
    }

    std::size_t applied = 0;
    bool complete = true;
    std::size_t usedBatches = first;
    const bool loaded = edit.LoadRecovered(
        Encoded(basePath),
        [&](SECEditTextStore& store) {
            for (std::size_t i = first; i < parsed.batches.size(); ++i) {
                if (!Replay(parsed.batches[i], store, applied)) {
                    complete = false;
                    return true; // keep what was proven so far
                }
                usedBatches = i + 1;
            }
            return true;
        },
        meta.encoding, meta.trailing);
    if (!loaded) {
        result.problem = tr("The file '%1' could not be read, so the changes cannot be applied to it.")
                             .arg(QDir::toNativeSeparators(meta.path));
        return result;
    }
    if (!complete)
        problems << tr("A change in the journal did not fit the text; the changes from there on are missing.");

    result.ok = true;
    result.problem = problems.join(QLatin1Char(' '));
    result.baseMeta = parsed.meta;
    if (first > 0)
        result.baseMeta.clear(); // carried on from the copy: no file underneath any more
    for (std::size_t i = first; i < usedBatches; ++i)
        result.edits.append(parsed.batches[i]);
    return result;
}

// --- CDocumentJournal --------------------------------------------------------------

CDocumentJournal::CDocumentJournal(CRecoveryJournal& owner, CMyEdit& edit) : m_owner(owner), m_edit(edit)
{
    m_timer.setSingleShot(true);
    QObject::connect(&m_timer, &QTimer::timeout, [this] { WriteNow(); });
    m_edit.SetTextChangeListener(this);
}

CDocumentJournal::~CDocumentJournal()
{
    if (m_edit.GetTextChangeListener() == this)
        m_edit.SetTextChangeListener(nullptr);
    RemoveFile();
}

void CDocumentJournal::OnTextInserted(std::ptrdiff_t offset, std::u16string_view text, std::ptrdiff_t lengthAfter)
{
    m_pending.push_back('I');
    Put<std::int64_t>(m_pending, offset);
    Put<std::int64_t>(m_pending, lengthAfter);
    Put<std::int64_t>(m_pending, std::int64_t(text.size()));
    m_pending.append(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(char16_t));
    Changed();
}

void CDocumentJournal::OnTextDeleted(std::ptrdiff_t offset, std::ptrdiff_t count, std::ptrdiff_t lengthAfter)
{
    m_pending.push_back('D');
    Put<std::int64_t>(m_pending, offset);
    Put<std::int64_t>(m_pending, count);
    Put<std::int64_t>(m_pending, lengthAfter);
    Changed();
}

void CDocumentJournal::OnTextReplaced()
{
    m_pending.clear();
    m_continuedMeta.clear();
    m_base = Base::Unknown;
}

void CDocumentJournal::Changed()
{
    if (!m_timer.isActive())
        m_timer.start(m_owner.WriteDelay());
}

void CDocumentJournal::SetFileBase(const QString& path, const FileIdentity& identity, bool keepChanges)
{
    RemoveFile();
    m_base = Base::File;
    m_documentPath = path;
    m_title = QFileInfo(path).fileName();
    m_identity = identity;
    m_continuedMeta.clear();
    if (!keepChanges)
        m_pending.clear();
    if (!m_pending.empty())
        Changed();
}

void CDocumentJournal::SetEmptyBase(const QString& title)
{
    RemoveFile();
    m_base = Base::Empty;
    m_documentPath.clear();
    m_title = title;
    m_continuedMeta.clear();
}

void CDocumentJournal::ForgetBase()
{
    RemoveFile();
    m_base = Base::Unknown;
    m_continuedMeta.clear();
    m_pending.clear();
    Changed();
}

void CDocumentJournal::ContinueFrom(const std::string& baseMeta, const std::string& edits)
{
    RemoveFile();
    if (baseMeta.empty()) {
        m_base = Base::Unknown; // the next write takes a copy
        m_pending.clear();
    } else {
        m_base = Base::File;
        m_continuedMeta = baseMeta;
        m_pending.insert(0, edits);
    }
    Changed();
}

void CDocumentJournal::RemoveFile()
{
    if (!m_fileCreated)
        return;
    m_fileCreated = false;
    m_owner.Post([path = Encoded(m_path)] { ::unlink(path.c_str()); });
}

std::string CDocumentJournal::Meta() const
{
    if (!m_continuedMeta.empty())
        return m_continuedMeta;
    std::string meta;
    meta.push_back('M');
    Put<std::uint32_t>(meta, kVersion);
    Put<std::uint8_t>(meta, static_cast<std::uint8_t>(m_base));
    Put<std::uint8_t>(meta, static_cast<std::uint8_t>(m_edit.GetEncoding()));
    Put<std::int64_t>(meta, QCoreApplication::applicationPid());
    Put<std::uint8_t>(meta, m_identity.exists ? 1 : 0);
    Put<std::int64_t>(meta, m_identity.size);
    Put<std::int64_t>(meta, m_identity.modifiedNs);
    Put<std::uint64_t>(meta, m_identity.inode);
    Put<std::uint64_t>(meta, m_identity.device);
    PutString(meta, m_base == Base::File ? m_documentPath : QString());
    PutString(meta, m_title);
    PutBytes(meta, m_edit.GetTrailingBytes());
    return meta;
}

void CDocumentJournal::WriteNow()
{
    m_timer.stop();
    if (!m_edit.IsModified()) {
        // Back to the saved text: nothing to recover.
        m_pending.clear();
        RemoveFile();
        return;
    }
    if (m_base == Base::Unknown) {
        // Nothing on disk to build on: a copy of the text is the base. Only
        // after a file went away or an unusual reset, never per keystroke.
        RemoveFile();
        std::u16string text;
        m_edit.GetAllText(text);
        m_pending.clear();
        m_pending.push_back('S');
        Put<std::int64_t>(m_pending, std::int64_t(text.size()));
        m_pending.append(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(char16_t));
        m_base = Base::Copy;
    }
    if (!m_fileCreated) {
        if (!m_owner.EnsureSession()) {
            // Nowhere to write: hold no changes in memory meanwhile; the next
            // write that succeeds takes a copy of the text.
            m_pending.clear();
            m_base = Base::Unknown;
            return;
        }
        m_path = m_owner.NewJournalPath();
        std::string contents(kMagic, sizeof(kMagic));
        contents += Frame(Meta());
        m_owner.Post([path = Encoded(m_path), contents = std::move(contents)] { CreateFile(path, contents); });
        if (m_base == Base::File && m_continuedMeta.empty()) {
            // The hash proves the base later even if the file is touched or
            // copied. Reading a large file takes a while: it runs beside the
            // writer, which records it once done, so changes never wait for it.
            CRecoveryJournal* owner = &m_owner;
            m_owner.m_hashing.start([owner, path = Encoded(m_path), file = m_documentPath, identity = m_identity] {
                const QByteArray hash = HashOfFile(file);
                if (hash.isEmpty() || !(FileIdentity::Of(file) == identity))
                    return;
                owner->Post([owner, path, hash] {
                    owner->Append(path, 'B', std::string_view(hash.constData(), std::size_t(hash.size())));
                });
            });
        }
        m_fileCreated = true;
    }
    if (!m_pending.empty()) {
        // The worker frames it: the copy and the checksum stay off this thread.
        CRecoveryJournal* owner = &m_owner;
        m_owner.Post([owner, path = Encoded(m_path), edits = std::move(m_pending)] { owner->Append(path, 'E', edits); });
        m_pending = std::string();
    }
}
