#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <set>
#include <string>

// Spelling with the system's Hunspell dictionaries, behind two operations:
// Probe, whether a dictionary can be loaded at all, and Check, which walks
// the text's misspelt words through a callback and hands the corrected text
// back.
class SpellChecker
{
public:
    // What the user decided for one misspelt word.
    struct Decision
    {
        enum Kind { Ignore, IgnoreAll, Change, ChangeAll, Cancel };
        Kind kind = Ignore;
        QString replacement;
    };
    // Asked for each misspelt word: the word, its suggestions, and the text
    // as corrected so far with the word's place in it.
    using Ask = std::function<Decision(const QString& word, const QStringList& suggestions,
                                       const QString& text, int start)>;

    enum class Result { NoErrors, Corrected, Cancelled, NoDictionary };

    // The folders searched for "<language>.dic" and ".aff"; the language is
    // the locale's, then en_US, then any dictionary found.
    explicit SpellChecker(QStringList folders = {QStringLiteral("/usr/share/hunspell"),
                                                 QStringLiteral("/usr/share/myspell")},
                          QString language = {});
    ~SpellChecker();
    SpellChecker(const SpellChecker&) = delete;
    SpellChecker& operator=(const SpellChecker&) = delete;

    bool Probe();
    // Whether a dictionary's two files are there, without loading them.
    bool HasDictionary() const;
    // The text goes in and comes back corrected, whatever was decided before
    // a Cancel included.
    Result Check(std::u16string& text, const Ask& ask);

    bool IsCorrect(const QString& word);
    QStringList Suggest(const QString& word);
    QString DictionaryName() const { return m_dictionaryName; }

private:
    bool Load();

    struct Handle;
    QStringList m_folders;
    QString m_language;
    QString m_dictionaryName;
    std::unique_ptr<Handle> m_handle;
    bool m_tried = false;
};
