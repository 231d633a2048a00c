#include "platform/qt/QtBusyCursor.h"

#include <QCursor>
#include <QGuiApplication>

void QtBusyCursor::Begin()
{
    ++m_depth;
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

void QtBusyCursor::End()
{
    if (m_depth == 0)
        return;
    --m_depth;
    QGuiApplication::restoreOverrideCursor();
}
