#pragma once

#include <cstddef>

// Where a file reader puts the characters it decodes: straight into memory
// the receiver owns, so a large file is copied once.
class ITextLoadSink
{
public:
    // Starts (or starts over) a load of at most `maxCount` characters;
    // anything received before is dropped. False when there is no room.
    virtual bool Begin(std::size_t maxCount) = 0;
    // Room for `count` more characters.
    virtual char16_t* Prepare(std::size_t count) = 0;
    // The first `count` characters of the room just prepared are text.
    virtual void Commit(std::size_t count) = 0;

protected:
    ~ITextLoadSink() = default;
};
