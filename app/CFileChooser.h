#pragma once

#include "app/IFileChooser.h"

// The desktop's own file dialogs.
class CFileChooser final : public IFileChooser
{
public:
    QString ChooseOpenFile(QWidget* parent, const QString& title, const QString& folder,
                           const QString& filter) override;
    QString ChooseSaveFile(QWidget* parent, const QString& title, const QString& proposed,
                           const QString& filter, const QString& defaultSuffix) override;
};
