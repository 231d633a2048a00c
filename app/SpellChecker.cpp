#include "app/SpellChecker.h"

#include "app/SpellWords.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLocale>
#include <QStringDecoder>
#include <QStringEncoder>

#ifdef TAVRO_HAVE_HUNSPELL
#include <hunspell/hunspell.h>
#endif

struct SpellChecker::Handle
{
#ifdef TAVRO_HAVE_HUNSPELL
    Hunhandle* hunspell = nullptr;
    ~Handle()
    {
        if (hunspell)
            Hunspell_destroy(hunspell);
    }
#endif
    QStringEncoder encoder;
    QStringDecoder decoder;
};

SpellChecker::SpellChecker(QStringList folders, QString language)
    : m_folders(std::move(folders)), m_language(std::move(language))
{
    if (m_language.isEmpty())
        m_language = QLocale::system().name();
}

SpellChecker::~SpellChecker() = default;

bool SpellChecker::Load()
{
    if (m_tried)
        return m_handle != nullptr;
    m_tried = true;
#ifdef TAVRO_HAVE_HUNSPELL
    QStringList candidates{m_language, QStringLiteral("en_US")};
    for (const QString& folder : std::as_const(m_folders)) {
        for (const QString& dic : QDir(folder).entryList({QStringLiteral("*.dic")}, QDir::Files, QDir::Name))
            candidates.append(QFileInfo(dic).completeBaseName());
    }
    for (const QString& name : std::as_const(candidates)) {
        for (const QString& folder : std::as_const(m_folders)) {
            const QString base = QDir(folder).filePath(name);
            if (!QFileInfo::exists(base + QStringLiteral(".aff")) || !QFileInfo::exists(base + QStringLiteral(".dic")))
                continue;
            Hunhandle* hunspell = Hunspell_create(QFile::encodeName(base + QStringLiteral(".aff")).constData(),
                                                  QFile::encodeName(base + QStringLiteral(".dic")).constData());
            if (!hunspell)
                continue;
            auto handle = std::make_unique<Handle>();
            handle->hunspell = hunspell;
            const char* encoding = Hunspell_get_dic_encoding(hunspell);
            // Dictionaries name their encoding; one we can't convert is read as UTF-8.
            const auto known = QStringConverter::encodingForName(encoding ? encoding : "UTF-8");
            const QStringConverter::Encoding chosen = known.value_or(QStringConverter::Utf8);
            handle->encoder = QStringEncoder(chosen);
            handle->decoder = QStringDecoder(chosen);
            m_handle = std::move(handle);
            m_dictionaryName = name;
            return true;
        }
    }
#endif
    return false;
}

bool SpellChecker::Probe()
{
    return Load();
}

bool SpellChecker::HasDictionary() const
{
#ifdef TAVRO_HAVE_HUNSPELL
    for (const QString& folder : std::as_const(m_folders)) {
        const QDir dir(folder);
        for (const QString& dic : dir.entryList({QStringLiteral("*.dic")}, QDir::Files)) {
            if (QFileInfo::exists(dir.filePath(QFileInfo(dic).completeBaseName() + QStringLiteral(".aff"))))
                return true;
        }
    }
#endif
    return false;
}

bool SpellChecker::IsCorrect([[maybe_unused]] const QString& word)
{
    if (!Load())
        return true;
#ifdef TAVRO_HAVE_HUNSPELL
    const QByteArray bytes = m_handle->encoder.encode(word);
    return Hunspell_spell(m_handle->hunspell, bytes.constData()) != 0;
#else
    return true;
#endif
}

QStringList SpellChecker::Suggest([[maybe_unused]] const QString& word)
{
    QStringList out;
    if (!Load())
        return out;
#ifdef TAVRO_HAVE_HUNSPELL
    const QByteArray bytes = m_handle->encoder.encode(word);
    char** list = nullptr;
    const int count = Hunspell_suggest(m_handle->hunspell, &list, bytes.constData());
    for (int i = 0; i < count; ++i)
        out.append(m_handle->decoder.decode(QByteArray(list[i])));
    if (list)
        Hunspell_free_list(m_handle->hunspell, &list, count);
#endif
    return out;
}

SpellChecker::Result SpellChecker::Check(std::u16string& text, const Ask& ask)
{
    if (!Load())
        return Result::NoDictionary;
    std::set<QString> ignored;
    QHash<QString, QString> changeAll;
    bool found = false;
    std::u16string out;
    out.reserve(text.size());
    std::size_t copied = 0;
    for (const SpellWords::Word& word : SpellWords::Split(text)) {
        out.append(text, copied, word.start - copied);
        copied = word.start + word.length;
        const QString original = QString::fromStdU16String(text.substr(word.start, word.length));
        if (ignored.count(original) || IsCorrect(original)) {
            out += original.toStdU16String();
            continue;
        }
        found = true;
        if (const auto it = changeAll.constFind(original); it != changeAll.constEnd()) {
            out += it->toStdU16String();
            continue;
        }
        const Decision decision = ask ? ask(original, Suggest(original),
                                            QString::fromStdU16String(out + text.substr(word.start)),
                                            int(out.size()))
                                      : Decision{Decision::Cancel, {}};
        switch (decision.kind) {
        case Decision::Cancel:
            // Keep what was corrected so far; the rest stays as it was.
            out.append(text, word.start);
            text = std::move(out);
            return Result::Cancelled;
        case Decision::IgnoreAll:
            ignored.insert(original);
            [[fallthrough]];
        case Decision::Ignore:
            out += original.toStdU16String();
            break;
        case Decision::ChangeAll:
            changeAll.insert(original, decision.replacement);
            [[fallthrough]];
        case Decision::Change:
            out += decision.replacement.toStdU16String();
            break;
        }
    }
    out.append(text, copied);
    text = std::move(out);
    return found ? Result::Corrected : Result::NoErrors;
}
