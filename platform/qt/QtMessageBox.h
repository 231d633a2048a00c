#pragma once

#include "platform/IMessageBox.h"

#include <QString>

class QWidget;

// Message boxes shown with QMessageBox, titled with the program's name and
// owned by the given window (or the active window when none is given).
class QtMessageBox final : public IMessageBox
{
public:
    explicit QtMessageBox(QWidget* parent = nullptr);

    Answer Show(const std::u16string& text, Buttons buttons = Buttons::Ok,
                Icon icon = Icon::None) override;

    void SetParent(QWidget* parent) { m_parent = parent; }

private:
    QWidget* m_parent;
};
