#pragma once

#include <QString>

class QWidget;

// The open and save dialogs, behind an interface so tests can answer them.
// Both return an empty string when the user cancels.
class IFileChooser
{
public:
    virtual ~IFileChooser() = default;

    // filter: Qt filter list, entries separated by ";;".
    virtual QString ChooseOpenFile(QWidget* parent, const QString& title, const QString& folder,
                                   const QString& filter) = 0;
    virtual QString ChooseSaveFile(QWidget* parent, const QString& title, const QString& proposed,
                                   const QString& filter, const QString& defaultSuffix) = 0;
};
