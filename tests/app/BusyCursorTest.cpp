#include "platform/qt/QtBusyCursor.h"

#include <QCursor>
#include <QGuiApplication>

#include <gtest/gtest.h>

TEST(BusyCursor, NestedScopesRestoreTheCursorAndExtraEndsAreHarmless)
{
    QtBusyCursor cursor;
    ASSERT_EQ(QGuiApplication::overrideCursor(), nullptr);
    {
        BusyCursorScope outer(&cursor);
        ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        {
            BusyCursorScope inner(&cursor);
        }
        EXPECT_NE(QGuiApplication::overrideCursor(), nullptr);
    }
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    cursor.End(); // never takes away someone else's override
    QGuiApplication::setOverrideCursor(QCursor(Qt::CrossCursor));
    cursor.End();
    EXPECT_NE(QGuiApplication::overrideCursor(), nullptr);
    QGuiApplication::restoreOverrideCursor();
}
