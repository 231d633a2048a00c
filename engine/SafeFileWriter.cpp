#include "engine/SafeFileWriter.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <random>

#include <fcntl.h>
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

} // namespace

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

    const std::string prefix = FolderOf(m_target) + "/." + NameOf(m_target) + ".";
    std::random_device seed;
    std::mt19937 random(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        m_temporary = prefix + std::to_string(random() % 1000000) + ".tmp";
        m_fd = ::open(m_temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (m_fd >= 0 || errno != EEXIST)
            break;
    }
    if (m_fd < 0) {
        const int error = errno;
        m_temporary.clear();
        return Fail("Unable to save", error);
    }
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
    }
    return true;
}

bool SafeFileWriter::Commit()
{
    if (m_fd < 0)
        return m_error.empty() ? Fail("Unable to save", EBADF) : false;
    if (::fsync(m_fd) != 0)
        return Fail("Unable to write", errno);
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
