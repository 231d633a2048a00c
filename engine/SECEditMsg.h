#pragma once

#include "engine/IMessage.h"
#include "engine/IQueryGuid.h"
#include "engine/IRefCount.h"

#include <string>
#include <string_view>

// Interface identifiers answered by QueryGuid.
inline constexpr SECGuid SECIID_IQueryGuid{0x5e, 0xc0, 0x00, 0x01, 0x7a, 0x51, 0x4f, 0x0e,
                                           0x9a, 0x21, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01};
inline constexpr SECGuid SECIID_IRefCount{0x5e, 0xc0, 0x00, 0x01, 0x7a, 0x51, 0x4f, 0x0e,
                                          0x9a, 0x21, 0x00, 0x00, 0x00, 0x00, 0x00, 0x02};
inline constexpr SECGuid SECIID_IMessage{0x5e, 0xc0, 0x00, 0x01, 0x7a, 0x51, 0x4f, 0x0e,
                                         0x9a, 0x21, 0x00, 0x00, 0x00, 0x00, 0x00, 0x03};
inline constexpr SECGuid SECIID_ISubject{0x5e, 0xc0, 0x00, 0x01, 0x7a, 0x51, 0x4f, 0x0e,
                                         0x9a, 0x21, 0x00, 0x00, 0x00, 0x00, 0x00, 0x04};
inline constexpr SECGuid SECIID_IObserver{0x5e, 0xc0, 0x00, 0x01, 0x7a, 0x51, 0x4f, 0x0e,
                                          0x9a, 0x21, 0x00, 0x00, 0x00, 0x00, 0x00, 0x05};

// A change notification sent by the text engine to its observers. Kinds
// 22575 to 22585 are built on the sender's stack and are valid only during the
// delivery call; edit commands (22586) live in the undo history.
//
// The reference count starts at 1 (the creator's reference); Release deletes
// the object when it reaches 0, so never Release one built on the stack.
class SECEditMsg : public IQueryGuid, public IRefCount, public IMessage
{
public:
    enum Kind : unsigned int
    {
        FontUpdate = 22575,
        SplitterSync = 22576,
        InitController = 22582,
        InvalidateColoring = 22583,
        InvalidateGutter = 22584,
        InvalidateLines = 22585,
        EditCommand = 22586,      // SECEditCommand: an insert or a delete
        CompositeCommand = 22587, // SECEditCompositeCommand: never reaches observers
        ReplaceCommand = 22588,   // SECEditReplaceCommand: many replacements inside lines
    };

    explicit SECEditMsg(unsigned int kind) noexcept : m_kind(kind) {}
    virtual ~SECEditMsg() = default;
    SECEditMsg(const SECEditMsg&) = delete;
    SECEditMsg& operator=(const SECEditMsg&) = delete;

    bool QueryGuid(const SECGuid& guid, void** out) override;
    unsigned long AddRef() override;
    unsigned long Release() override;
    unsigned int GetMessageId() const override { return m_kind; }
    void Sprint(std::u16string& out) const override;

    // The standard description of a kind ("Font Update Message", ...); empty
    // for an unknown kind.
    static std::u16string_view DescriptionOf(unsigned int kind) noexcept;

private:
    unsigned int m_kind;
    unsigned long m_refs = 1;
};
