#include "engine/SECEditMsg.h"

#include <string>

bool SECEditMsg::QueryGuid(const SECGuid& guid, void** out)
{
    if (!out)
        return false;
    if (guid == SECIID_IQueryGuid)
        *out = static_cast<IQueryGuid*>(this);
    else if (guid == SECIID_IRefCount)
        *out = static_cast<IRefCount*>(this);
    else if (guid == SECIID_IMessage)
        *out = static_cast<IMessage*>(this);
    else
    {
        *out = nullptr;
        return false;
    }
    AddRef();
    return true;
}

unsigned long SECEditMsg::AddRef()
{
    return ++m_refs;
}

unsigned long SECEditMsg::Release()
{
    const unsigned long left = --m_refs;
    if (left == 0)
        delete this;
    return left;
}

void SECEditMsg::Sprint(std::u16string& out) const
{
    out = DescriptionOf(m_kind);
}

std::u16string_view SECEditMsg::DescriptionOf(unsigned int kind) noexcept
{
    switch (kind)
    {
    case FontUpdate:
        return u"Font Update Message";
    case SplitterSync:
        return u"Splitter Synchronization Message";
    case InitController:
        return u"Initialize the controller";
    case InvalidateColoring:
        return u"Invalidate the coloring cache and refresh";
    case InvalidateGutter:
        return u"Invalidate the Gutter Area";
    case InvalidateLines:
        return u"Invalidate Lines %d to %d";
    case EditCommand:
        return u"Insert text having length %d at line %d, column %d";
    case CompositeCommand:
        return u"SECEditCompositeCommand";
    case ReplaceCommand:
        return u"Replace %d occurrences from line %d to line %d";
    default:
        return {};
    }
}
