#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>

// Writes a file so that a failure never harms the one already there: the
// bytes go to a temporary file in the target's folder, which is flushed to
// disk and then renamed over the target, taking over its permission bits.
// The temporary has no name until just before the rename, so a process
// killed while saving leaves nothing behind; where the file system cannot
// make unnamed files it is named ".NAME.PID-NUMBER.tmp" from the start, and
// such files left by processes that are gone are removed on the next save
// into the folder. A writer destroyed without Commit() removes its temporary.
// Every failure leaves a message naming the file and the system's reason.
class SafeFileWriter
{
public:
    explicit SafeFileWriter(std::string path);
    ~SafeFileWriter();
    SafeFileWriter(const SafeFileWriter&) = delete;
    SafeFileWriter& operator=(const SafeFileWriter&) = delete;

    bool Open();
    bool Write(const void* data, std::size_t size);
    bool Commit();
    void Abort() noexcept;

    // Told the bytes written so far after every write until Commit(); when
    // it answers false the write fails (the save was stopped) and the
    // temporary goes. Commit itself is never stopped.
    void SetProgress(std::function<bool(std::uint64_t written)> progress) { m_progress = std::move(progress); }

    // The message for the first failure; empty while everything went well.
    const std::string& Error() const noexcept { return m_error; }
    // The file that will be replaced: the path, or what its symbolic link points to.
    const std::string& Target() const noexcept { return m_target; }

    // Whether `path` names an existing file that must not be overwritten: one
    // without any write permission bit, or one this user may not write.
    static bool IsReadOnly(const std::string& path);
    // Always use named temporaries, as on a file system without unnamed
    // files (for tests).
    static void UseNamedTemporariesOnly(bool namedOnly);

private:
    bool Fail(const char* what, int errorNumber);
    std::string TemporaryName() const;
    bool CreateNamed();
    bool NameUnnamed();

    std::string m_path;
    std::string m_target;
    std::string m_temporary;
    std::string m_error;
    int m_fd = -1;
    std::function<bool(std::uint64_t)> m_progress;
    std::uint64_t m_written = 0;
};
