#include "app/CFileChooser.h"

#include <QFileDialog>

QString CFileChooser::ChooseOpenFile(QWidget* parent, const QString& title, const QString& folder,
                                     const QString& filter)
{
    QFileDialog dialog(parent, title, folder, filter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // A name that does not exist yet is allowed: opening it asks to create it.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("asc"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

QString CFileChooser::ChooseSaveFile(QWidget* parent, const QString& title, const QString& proposed,
                                     const QString& filter, const QString& defaultSuffix)
{
    QFileDialog dialog(parent, title, QString(), filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(defaultSuffix);
    if (!proposed.isEmpty())
        dialog.selectFile(proposed);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}
