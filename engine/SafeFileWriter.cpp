#include "engine/SafeFileWriter.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <random>
#include <string_view>

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string FolderOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ResolveLink(const std::string& path)
{
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
        return path;
    // Saving replaces the file the link points to and keeps the link.
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (!resolved)
        return path;
    std::string target(resolved);
    std::free(resolved);
    return target;
}

bool g_namedOnly = false;

bool AllDigits(std::string_view text)
{
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

// The process that made a temporary called ".NAME.PID-NUMBER.tmp", or 0 when
// the name is not one of ours.
pid_t OwnerOf(std::string_view name)
{
    constexpr std::string_view suffix = ".tmp";
    if (name.size() < 8 || name[0] != '.' || name.substr(name.size() - suffix.size()) != suffix)
        return 0;
    name.remove_suffix(suffix.size());
    const std::size_t dot = name.find_last_of('.');
    if (dot == 0 || dot == std::string_view::npos)
        return 0;
    const std::string_view tag = name.substr(dot + 1);
    const std::size_t dash = tag.find('-');
    if (dash == std::string_view::npos || !AllDigits(tag.substr(0, dash)) || !AllDigits(tag.substr(dash + 1)) ||
        dash > 9)
        return 0;
    return static_cast<pid_t>(std::stol(std::string(tag.substr(0, dash))));
}

// Earlier versions named the temporary ".NAME.NUMBER.tmp", without the id.
bool IsOldTemporaryOf(std::string_view entry, const std::string& name)
{
    constexpr std::string_view suffix = ".tmp";
    if (entry.size() < name.size() + 7 || entry[0] != '.' || entry.substr(1, name.size()) != name ||
        entry[name.size() + 1] != '.' || entry.substr(entry.size() - suffix.size()) != suffix)
        return false;
    return AllDigits(entry.substr(name.size() + 2, entry.size() - name.size() - 2 - suffix.size()));
}

// A save killed between naming its temporary and the rename leaves the
// temporary behind. Ours carry the saving process's id: those of processes
// that are gone, owned by this user, are removed. So are the target's own
// temporaries in the earlier naming, once nothing has written to them for
// an hour.
void RemoveStaleTemporaries(const std::string& folder, const std::string& name)
{
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return;
    const int dirFd = ::dirfd(dir);
    const time_t now = ::time(nullptr);
    while (const dirent* entry = ::readdir(dir)) {
        const pid_t owner = OwnerOf(entry->d_name);
        const bool old = owner <= 0 && IsOldTemporaryOf(entry->d_name, name);
        if (!old && (owner <= 0 || owner == ::getpid() || ::kill(owner, 0) == 0 || errno != ESRCH))
            continue;
        struct stat info {};
        if (::fstatat(dirFd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(info.st_mode) &&
            info.st_uid == ::geteuid() && (!old || now - info.st_mtime > 3600))
            ::unlinkat(dirFd, entry->d_name, 0);
    }
    ::closedir(dir);
}

} // namespace

void SafeFileWriter::UseNamedTemporariesOnly(bool namedOnly)
{
    g_namedOnly = namedOnly;
}

SafeFileWriter::SafeFileWriter(std::string path) : m_path(std::move(path)) {}

SafeFileWriter::~SafeFileWriter()
{
    Abort();
}

bool SafeFileWriter::Fail(const char* what, int errorNumber)
{
    if (m_error.empty()) {
        m_error = std::string(what) + " '" + m_path + "': " + std::strerror(errorNumber) + ".";
    }
    Abort();
    return false;
}

bool SafeFileWriter::Open()
{
    Abort();
    m_error.clear();
    m_target = ResolveLink(m_path);

    struct stat existing {};
    const bool exists = ::stat(m_target.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode))
        return Fail("Unable to save", EISDIR);

    RemoveStaleTemporaries(FolderOf(m_target), NameOf(m_target));
    // The bytes go into a file without a name, which vanishes by itself
    // whatever stops this process; it is named only just before the rename.
    // Where the file system cannot do that, into a named temporary.
    m_fd = g_namedOnly ? -1
                       : ::open(FolderOf(m_target).c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
    if (m_fd < 0 && !g_namedOnly && errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
        return Fail("Unable to save", errno);
    if (m_fd < 0 && !CreateNamed())
        return Fail("Unable to save", errno);
    if (exists) {
        // Keep the owner and group where allowed (root saving another's file)
        // and always the permission bits.
        if (existing.st_uid != ::geteuid() || existing.st_gid != ::getegid()) {
            [[maybe_unused]] const int ignored = ::fchown(m_fd, existing.st_uid, existing.st_gid);
        }
        if (::fchmod(m_fd, existing.st_mode & 07777) != 0)
            return Fail("Unable to save", errno);
    }
    return true;
}

std::string SafeFileWriter::TemporaryName() const
{
    thread_local std::mt19937 random(std::random_device{}());
    return FolderOf(m_target) + "/." + NameOf(m_target) + "." + std::to_string(::getpid()) + "-" +
           std::to_string(random() % 1000000) + ".tmp";
}

bool SafeFileWriter::CreateNamed()
{
    int fd = -1;
    for (int attempt = 0; attempt < 100; ++attempt) {
        m_temporary = TemporaryName();
        fd = ::open(m_temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            break;
    }
    if (fd < 0) {
        const int error = errno;
        m_temporary.clear();
        errno = error;
        return false;
    }
    m_fd = fd;
    return true;
}

bool SafeFileWriter::NameUnnamed()
{
    const std::string self = "/proc/self/fd/" + std::to_string(m_fd);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = TemporaryName();
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            m_temporary = name;
            return true;
        }
        if (errno != EEXIST)
            break;
    }
    // Without /proc the file cannot be named: its bytes are copied into a
    // named temporary instead.
    const int unnamed = m_fd;
    m_fd = -1;
    struct stat info {};
    const bool known = ::fstat(unnamed, &info) == 0;
    bool ok = CreateNamed();
    if (ok && known) {
        if (info.st_uid != ::geteuid() || info.st_gid != ::getegid()) {
            [[maybe_unused]] const int ignored = ::fchown(m_fd, info.st_uid, info.st_gid);
        }
        ok = ::fchmod(m_fd, info.st_mode & 07777) == 0;
    }
    std::string buffer(std::size_t{1} << 20, '\0');
    for (off_t at = 0; ok;) {
        const ssize_t n = ::pread(unnamed, buffer.data(), buffer.size(), at);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ok = n == 0 && ::fsync(m_fd) == 0;
            break;
        }
        at += n;
        ok = Write(buffer.data(), static_cast<std::size_t>(n));
    }
    const int error = errno;
    ::close(unnamed);
    errno = error;
    return ok;
}

bool SafeFileWriter::Write(const void* data, std::size_t size)
{
    if (m_fd < 0)
        return m_error.empty() ? Fail("Unable to save", EBADF) : false;
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::write(m_fd, p, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return Fail("Unable to write", errno);
        }
        p += n;
        size -= static_cast<std::size_t>(n);
        m_written += static_cast<std::uint64_t>(n);
    }
    if (m_progress && !m_progress(m_written))
        return Fail("Stopped saving", ECANCELED);
    return true;
}

bool SafeFileWriter::Commit()
{
    m_progress = nullptr;
    if (m_fd < 0)
        return m_error.empty() ? Fail("Unable to save", EBADF) : false;
    if (::fsync(m_fd) != 0)
        return Fail("Unable to write", errno);
    if (m_temporary.empty() && !NameUnnamed())
        return Fail("Unable to save", errno);
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0)
        return Fail("Unable to write", errno);
    if (::rename(m_temporary.c_str(), m_target.c_str()) != 0)
        return Fail("Unable to save", errno);
    m_temporary.clear();
    // Make the rename itself durable; the data is safe either way.
    const int folder = ::open(FolderOf(m_target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    return true;
}

void SafeFileWriter::Abort() noexcept
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (!m_temporary.empty()) {
        ::unlink(m_temporary.c_str());
        m_temporary.clear();
    }
}

bool SafeFileWriter::IsReadOnly(const std::string& path)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || S_ISDIR(info.st_mode))
        return false;
    if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        return true;
    return ::access(path.c_str(), W_OK) != 0;
}
