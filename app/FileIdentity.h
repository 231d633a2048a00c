#pragma once

#include <QString>

#include <cstdint>

// What tells one version of a file from another without reading it: size,
// modification time to the nanosecond, and the inode (a program that saves by
// writing a new file and renaming it over the old one changes the inode).
struct FileIdentity
{
    bool exists = false;
    std::int64_t size = 0;
    std::int64_t modifiedNs = 0;
    std::uint64_t inode = 0;
    std::uint64_t device = 0;

    // The file the path names now (symbolic links followed).
    static FileIdentity Of(const QString& path);

    bool operator==(const FileIdentity&) const = default;
};
