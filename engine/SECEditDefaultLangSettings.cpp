#include "engine/SECEditDefaultLangSettings.h"

#include "engine/IObserver.h"
#include "engine/SECEditMsg.h"

#include <algorithm>

SECEditDefaultLangSettings::SECEditDefaultLangSettings() = default;
SECEditDefaultLangSettings::~SECEditDefaultLangSettings() = default;

SECEditDefaultLangSettings* SECEditDefaultLangSettings::GetShared()
{
    // Never destroyed: engines may outlive static destruction order.
    static SECEditDefaultLangSettings* const shared = new SECEditDefaultLangSettings();
    shared->AddRef();
    return shared;
}

bool SECEditDefaultLangSettings::QueryGuid(const SECGuid& guid, void** out)
{
    if (!out)
        return false;
    if (guid == SECIID_IQueryGuid)
        *out = static_cast<IQueryGuid*>(this);
    else if (guid == SECIID_IRefCount)
        *out = static_cast<IRefCount*>(this);
    else if (guid == SECIID_ISubject)
        *out = static_cast<ISubject*>(this);
    else
    {
        *out = nullptr;
        return false;
    }
    AddRef();
    return true;
}

unsigned long SECEditDefaultLangSettings::AddRef()
{
    return ++m_refs;
}

unsigned long SECEditDefaultLangSettings::Release()
{
    const unsigned long left = --m_refs;
    if (left == 0)
        delete this;
    return left;
}

void SECEditDefaultLangSettings::AddObserver(IObserver* observer)
{
    m_observers.Add(observer);
}

void SECEditDefaultLangSettings::RemoveObserver(IObserver* observer)
{
    m_observers.Remove(observer);
}

void SECEditDefaultLangSettings::UpdateAllObservers(IObserver* sender, IMessage* message)
{
    m_observers.Deliver(this, sender, message);
}

int SECEditDefaultLangSettings::ClassifyWord(std::u16string_view word, std::uint16_t& group) const
{
    if (word.empty() || word[0] < u'0' || word[0] > u'9')
        return 0;
    group = static_cast<std::uint16_t>(ColorGroupKind::Number);
    return static_cast<int>(word.size());
}

const SECEditDelimiter* SECEditDefaultLangSettings::FindDelimiter(const char16_t*, int, int, DelimiterMode) const
{
    return nullptr;
}

bool SECEditDefaultLangSettings::IsCharInClass(char16_t c, CharClass charClass) const
{
    if (charClass != Delimiter)
        return false;
    const bool punctuation = (c >= u'!' && c <= u'/') || (c >= u':' && c <= u'@') || (c >= u'[' && c <= u'`') ||
                             (c >= u'{' && c <= u'~');
    return punctuation && c != u'_';
}

std::uint16_t SECEditDefaultLangSettings::GetKindColorGroupIndex(ColorGroupKind kind) const
{
    return static_cast<std::uint16_t>(kind);
}

int SECEditDefaultLangSettings::FindColorGroupByName(std::u16string_view) const
{
    return -1;
}

void SECEditDefaultLangSettings::SetTabSize(int tabSize)
{
    m_tabSize = std::clamp(tabSize, 1, 64);
}
