#include "app/CountStatistics.h"

void CountStatistics::Add(std::u16string_view text) noexcept
{
    m_all += static_cast<std::int64_t>(text.size());
    for (const char16_t c : text) {
        if (IsSeparator(c)) {
            m_inWord = false;
            m_lineFeeds += c == u'\n';
            continue;
        }
        ++m_printable;
        m_words += !m_inWord;
        m_inWord = true;
    }
}
