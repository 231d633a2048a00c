#pragma once

#include <cstdint>
#include <functional>
#include <string>

// Runs the reading or writing of a file so that a big one shows how far it
// has come and can be stopped, while the windows keep painting.
class IFileProgress
{
public:
    enum class Kind
    {
        Open,
        Save,
    };
    // Told how many of `total` bytes are done; false once the user asked to
    // stop. Callable from any thread.
    using Step = std::function<bool(std::uint64_t done, std::uint64_t total)>;

    // Runs `work` to its end and returns when it has ended. Above the size
    // threshold the work runs on a thread of its own while a progress window
    // shows; below it, here, with a step that never stops it. An exception
    // leaving `work` comes out of Run on the calling thread.
    virtual void Run(Kind kind, const std::string& path, std::uint64_t bytes,
                     const std::function<void(const Step&)>& work) = 0;

protected:
    ~IFileProgress() = default;
};
