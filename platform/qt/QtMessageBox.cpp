#include "platform/qt/QtMessageBox.h"

#include <QApplication>
#include <QMessageBox>

QtMessageBox::QtMessageBox(QWidget* parent) : m_parent(parent) {}

IMessageBox::Answer QtMessageBox::Show(const std::u16string& text, Buttons buttons, Icon icon)
{
    QMessageBox::StandardButtons standard = QMessageBox::Ok;
    switch (buttons) {
    case Buttons::Ok: standard = QMessageBox::Ok; break;
    case Buttons::OkCancel: standard = QMessageBox::Ok | QMessageBox::Cancel; break;
    case Buttons::YesNo: standard = QMessageBox::Yes | QMessageBox::No; break;
    case Buttons::YesNoCancel: standard = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel; break;
    }
    QMessageBox::Icon qtIcon = QMessageBox::NoIcon;
    switch (icon) {
    case Icon::None: qtIcon = QMessageBox::NoIcon; break;
    case Icon::Information: qtIcon = QMessageBox::Information; break;
    case Icon::Warning: qtIcon = QMessageBox::Warning; break;
    case Icon::Error: qtIcon = QMessageBox::Critical; break;
    case Icon::Question: qtIcon = QMessageBox::Question; break;
    }

    QWidget* parent = m_parent ? m_parent : QApplication::activeWindow();
    QMessageBox box(qtIcon, QStringLiteral("Tavro"),
                    QString::fromStdU16String(text), standard, parent);
    if (standard.testFlag(QMessageBox::Cancel))
        box.setEscapeButton(QMessageBox::Cancel);
    else if (standard.testFlag(QMessageBox::No))
        box.setEscapeButton(QMessageBox::No);

    switch (box.exec()) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    case QMessageBox::Cancel: return Answer::Cancel;
    case QMessageBox::Ok: return Answer::Ok;
    default:
        // Closed by the window manager: the safe answer is the one that changes nothing.
        return standard.testFlag(QMessageBox::Cancel) ? Answer::Cancel
             : standard.testFlag(QMessageBox::No) ? Answer::No
                                                   : Answer::Ok;
    }
}
