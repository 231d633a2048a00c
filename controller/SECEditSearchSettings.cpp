#include "controller/SECEditSearchSettings.h"

#include <algorithm>

SECEditSearchSettings& SECEditSearchSettings::Instance()
{
    static SECEditSearchSettings settings;
    return settings;
}

void SECEditSearchSettings::AddToHistory(std::vector<std::u16string>& history, const std::u16string& text)
{
    if (text.empty())
        return;
    history.erase(std::remove(history.begin(), history.end(), text), history.end());
    history.insert(history.begin(), text);
    if (history.size() > HistorySize)
        history.resize(HistorySize);
}
