#pragma once

#include "engine/SECEditObserverList.h"
#include "engine/SECEditLangSettings.h"

#include <vector>

// The "Default" language: tab size 4, tabs kept, case matters, nothing
// coloured but numbers (a word that begins with a digit), no delimiters. ASCII
// punctuation other than '_' breaks words. Used when no registry is installed
// and by tests; the setters change a field only and notify nobody.
class SECEditDefaultLangSettings : public SECEditLangSettings
{
public:
    SECEditDefaultLangSettings();
    ~SECEditDefaultLangSettings() override;

    // The process-wide instance, with one reference added for the caller.
    static SECEditDefaultLangSettings* GetShared();

    bool QueryGuid(const SECGuid& guid, void** out) override;
    unsigned long AddRef() override;
    unsigned long Release() override;
    void AddObserver(IObserver* observer) override;
    void RemoveObserver(IObserver* observer) override;
    void UpdateAllObservers(IObserver* sender, IMessage* message) override;

    const std::u16string& GetName() const override { return m_name; }
    int GetTabSize() const override { return m_tabSize; }
    bool GetReplaceTabs() const override { return m_replaceTabs; }
    bool GetMatchCase() const override { return m_matchCase; }
    int ClassifyWord(std::u16string_view word, std::uint16_t& group) const override;
    const SECEditDelimiter* FindDelimiter(const char16_t* text, int available, int tokenLength,
                                          DelimiterMode mode) const override;
    bool IsCharInClass(char16_t c, CharClass charClass) const override;
    std::uint16_t GetKindColorGroupIndex(ColorGroupKind kind) const override;
    int FindColorGroupByName(std::u16string_view displayName) const override;

    // Tab sizes outside 1..64 are clamped.
    void SetTabSize(int tabSize);
    void SetReplaceTabs(bool replace) { m_replaceTabs = replace; }
    void SetName(std::u16string name) { m_name = std::move(name); }

private:
    std::u16string m_name = u"Default";
    int m_tabSize = 4;
    bool m_replaceTabs = false;
    bool m_matchCase = true;
    unsigned long m_refs = 1;
    SECEditObserverList m_observers;
};
