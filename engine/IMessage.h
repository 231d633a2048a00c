#pragma once

#include <string>

// A change notification: its kind and a human-readable description.
class IMessage
{
public:
    virtual unsigned int GetMessageId() const = 0;
    virtual void Sprint(std::u16string& out) const = 0;

protected:
    ~IMessage() = default;
};
