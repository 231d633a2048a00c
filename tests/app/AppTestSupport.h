#pragma once

#include "app/CTavroApp.h"
#include "app/CTavroCommandLine.h"
#include "app/IFileChooser.h"
#include "platform/IMessageBox.h"
#include "platform/ISettingsStore.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QStringList>
#include <QTemporaryDir>

#include <deque>
#include <memory>
#include <ostream>
#include <string>

// Readable failure output for Qt strings.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QStringList& list, std::ostream* out)
{
    *out << '[' << list.join(QStringLiteral(", ")).toStdString() << ']';
}

// Settings held in memory; section names compared without regard to case.
class MemorySettings final : public ISettingsStore
{
public:
    std::u16string ReadString(std::u16string_view section, std::u16string_view key,
                              std::u16string_view defaultValue) const override
    {
        const auto it = m_values.find(Key(section, key));
        return it == m_values.end() ? std::u16string(defaultValue) : it->toStdU16String();
    }
    int ReadInt(std::u16string_view section, std::u16string_view key, int defaultValue) const override
    {
        const auto it = m_values.find(Key(section, key));
        if (it == m_values.end())
            return defaultValue;
        bool ok = false;
        const int value = it->toInt(&ok);
        return ok ? value : defaultValue;
    }
    bool WriteString(std::u16string_view section, std::u16string_view key, std::u16string_view value) override
    {
        m_values.insert(Key(section, key), QString::fromStdU16String(std::u16string(value)));
        return true;
    }
    bool WriteInt(std::u16string_view section, std::u16string_view key, int value) override
    {
        m_values.insert(Key(section, key), QString::number(value));
        return true;
    }
    bool Has(std::u16string_view section, std::u16string_view key) const { return m_values.contains(Key(section, key)); }

private:
    static QString Key(std::u16string_view section, std::u16string_view key)
    {
        return QString::fromStdU16String(std::u16string(section)).toCaseFolded() + QLatin1Char('/')
             + QString::fromStdU16String(std::u16string(key));
    }
    QMap<QString, QString> m_values;
};

// Records every message and answers with the prepared answers in order
// (then with `fallback`).
class RecordingMessageBox final : public IMessageBox
{
public:
    Answer Show(const std::u16string& text, Buttons buttons, Icon) override
    {
        texts.append(QString::fromStdU16String(text));
        this->buttons.push_back(buttons);
        if (answers.empty())
            return fallback;
        const Answer answer = answers.front();
        answers.pop_front();
        return answer;
    }

    QStringList texts;
    std::deque<Buttons> buttons;
    std::deque<Answer> answers;
    Answer fallback = Answer::Cancel;
};

// Answers the file dialogs with prepared names (empty: cancelled) and
// remembers what they were asked.
class ScriptedFileChooser final : public IFileChooser
{
public:
    QString ChooseOpenFile(QWidget*, const QString& title, const QString& folder, const QString& filter) override
    {
        lastTitle = title;
        lastFolder = folder;
        lastFilter = filter;
        return Next();
    }
    QString ChooseSaveFile(QWidget*, const QString& title, const QString& proposed, const QString& filter,
                           const QString& defaultSuffix) override
    {
        lastTitle = title;
        lastProposed = proposed;
        lastFilter = filter;
        lastSuffix = defaultSuffix;
        return Next();
    }

    QStringList names;
    QString lastTitle, lastFolder, lastFilter, lastProposed, lastSuffix;
    int asked = 0;

private:
    QString Next()
    {
        ++asked;
        return names.isEmpty() ? QString() : names.takeFirst();
    }
};

// One application with recorded messages and scripted dialogs, over a
// temporary folder for its files.
struct AppHarness
{
    MemorySettings settings;
    RecordingMessageBox messages;
    ScriptedFileChooser files;
    QTemporaryDir dir;
    std::unique_ptr<CTavroApp> app;

    AppHarness()
    {
        app = std::make_unique<CTavroApp>(settings, messages, files);
        app->SetRecoveryFolder(dir.filePath(QStringLiteral("recovery")));
    }

    bool Start(const QStringList& arguments = {})
    {
        const CTavroCommandLine commandLine =
            CTavroCommandLine::Parse(QStringList{QStringLiteral("tavro")} + arguments, dir.path());
        return app->InitInstance(commandLine, false);
    }

    QString Path(const QString& name) const { return dir.filePath(name); }

    QString Write(const QString& name, const QByteArray& bytes) const
    {
        QFile file(Path(name));
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
        return Path(name);
    }

    static QByteArray Read(const QString& path)
    {
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        return file.readAll();
    }
};
