#include "ViewTestSupport.h"
#include "tests/TestFonts.h"

#include "engine/SECEditMsg.h"
#include "platform/qt/QtFontMetrics.h"
#include "platform/qt/QtFonts.h"
#include "platform/qt/QtPainterSurface.h"
#include "syntax/LangConfigResourceLoader.h"
#include "view/SECEditContrast.h"
#include "view/SECEditSelectionHolder.h"
#include "view/SECEditSplitBox.h"
#include "view/SECEditSplitterWindow.h"
#include "view/SECEditView.h"
#include "view/SECEditViewport.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QScreen>
#include <QImage>
#include <QPainter>
#include <QScrollBar>
#include <QSplitter>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace {

constexpr int kCppResource = 154;

TestConfigPtr LoadCpp()
{
    TestConfigPtr config(new SECEditLangConfig());
    LangConfigResourceLoader loader(kCppResource);
    if (!loader.Load(*config))
        return nullptr;
    return config;
}

std::u16string ManyLines(int count)
{
    std::u16string text;
    for (int i = 1; i < count; ++i)
        text += u"int value = 42; // a comment\n";
    return text;
}

void Settle()
{
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}

// Whether any pixel of a rectangle has exactly this colour.
bool HasPixel(const QImage& image, QRect area, QRgb color)
{
    area = area.intersected(image.rect());
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFF) == (color & 0xFFFFFF))
                return true;
    return false;
}

// Whether a pixel of a rectangle is within `tolerance` of a colour in every
// channel (thin strokes have no fully covered pixels).
bool HasPixelNear(const QImage& image, QRect area, QRgb color, int tolerance)
{
    area = area.intersected(image.rect());
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb p = image.pixel(x, y);
            if (std::abs(qRed(p) - qRed(color)) <= tolerance && std::abs(qGreen(p) - qGreen(color)) <= tolerance &&
                std::abs(qBlue(p) - qBlue(color)) <= tolerance)
                return true;
        }
    return false;
}

TEST(PaneRendering, CppKeywordsAndCommentsShowTheirColours)
{
    TestConfigPtr config = LoadCpp();
    ASSERT_TRUE(config);
    config->SetFacename(kTestFontFace.toStdU16String());
    SECEdit edit;
    LoadText(edit, u"int main() // entry\n{\n    return 0; /* done\n    here */\n}\n", config.get());
    QtFontMetricsFactory metrics;
    SECEditViewport viewport(&edit, metrics);
    viewport.RefreshSettings();

    QImage image(640, 200, QImage::Format_RGB32);
    image.fill(Qt::magenta);
    {
        QPainter painter(&image);
        QtPainterSurface surface(painter);
        viewport.PaintText(surface, {0, 0, 640, 200});
    }
    // Set TAVRO_VIEW_TEST_IMAGES to a folder to look at the render.
    if (const QString dir = qEnvironmentVariable("TAVRO_VIEW_TEST_IMAGES"); !dir.isEmpty())
        image.save(dir + QStringLiteral("/cpp-render.png"));
    auto cell = [&](int line, int from, int to) {
        const PixelPoint a = viewport.PointFromPosition({line, from});
        const PixelPoint b = viewport.PointFromPosition({line, to});
        return QRect(a.x, a.y, b.x - a.x, viewport.GetLineHeight());
    };
    const QRgb blue = qRgb(0, 0, 255);
    const QRgb green = qRgb(0, 128, 0);
    // Glyph edges are anti-aliased: a stroke's pixels come near its colour.
    auto shows = [&](QRect area, QRgb color) { return HasPixelNear(image, area, color, 60); };
    EXPECT_TRUE(shows(cell(0, 0, 3), blue));      // int
    EXPECT_FALSE(shows(cell(0, 0, 3), green));
    EXPECT_TRUE(shows(cell(2, 4, 10), blue));     // return
    EXPECT_TRUE(shows(cell(0, 11, 19), green));   // // entry
    EXPECT_FALSE(shows(cell(0, 11, 19), blue));
    EXPECT_TRUE(shows(cell(3, 4, 11), green));    // inside the block comment
    EXPECT_FALSE(shows(cell(0, 4, 8), blue));     // main is no keyword
    // Everything was painted: no pixel of the image's first colour is left.
    EXPECT_FALSE(HasPixel(image, image.rect(), qRgb(255, 0, 255)));
}

// Whatever fonts the machine has, the built-in faces and missing ones paint in
// the desktop's fixed-width font, and a face the user chose is kept.
TEST(EditorFont, BuiltInAndMissingFacesBecomeTheDesktopFixedFont)
{
    auto fixed = [](const char16_t* face) { return MakeQFont({face, 10, 0, 0, true, false, false}); };
    auto fixedWidth = [](const QFont& font) {
        const QFontMetricsF metrics(font);
        return metrics.horizontalAdvance(QLatin1Char('i')) == metrics.horizontalAdvance(QLatin1Char('M'));
    };
    const QFont desktop = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    const QString standIn = QFontInfo(fixed(u"Courier")).family();
    for (const char16_t* face : {u"Courier", u"courier new", u"", u"No Such Face Mono"}) {
        const QFont font = fixed(face);
        EXPECT_TRUE(fixedWidth(font)) << QString::fromUtf16(face).toStdString();
        EXPECT_EQ(QFontInfo(font).family(), standIn) << QString::fromUtf16(face).toStdString();
        if (fixedWidth(desktop)) {
            EXPECT_EQ(QFontInfo(font).family(), QFontInfo(desktop).family());
        }
    }
    EXPECT_EQ(QFontInfo(fixed(kTestFontFace.toStdU16String().c_str())).family(), kTestFontFace);
    // The size stays the configuration's, whatever size the desktop's font has.
    const double dpi = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->logicalDotsPerInchY() : 96;
    EXPECT_EQ(fixed(u"Courier").pixelSize(), int(std::lround(10 * dpi / 72)));
    // Proportional faces (the gutter's numbers) are asked for as named.
    EXPECT_EQ(MakeQFont({u"Ariel", 0, 12, 8, false, false, false}).family(), QStringLiteral("Ariel"));
}

TEST(PaneRendering, AutomaticColoursFollowTheDesktopPalette)
{
    TestConfigPtr config = LoadCpp();
    ASSERT_TRUE(config);
    SECEdit edit;
    LoadText(edit, u"int x;", config.get());
    SECEditView view(&edit);
    view.GetViewport().RefreshSettings();
    QPalette dark = view.palette();
    dark.setColor(QPalette::Base, QColor(20, 20, 20));
    dark.setColor(QPalette::Text, QColor(230, 230, 230));
    view.setPalette(dark);

    const SECEditViewSettings& settings = view.GetViewport().GetSettings();
    EXPECT_EQ(settings.GetTextColors().foreground, 0xE6E6E6u);
    EXPECT_EQ(settings.GetTextColors().background, 0x141414u);
    EXPECT_EQ(settings.GetSelectionColors().background, 0xE6E6E6u);
    // Keywords sit on the automatic background; their blue, too dark to read
    // there, is painted lighter and still blue, while the configuration keeps it.
    const SECEditGroupColors& keyword = settings.GetGroupColors(5);
    EXPECT_EQ(keyword.background, 0x141414u);
    EXPECT_GE(SECEditContrast::Ratio(keyword.foreground, keyword.background), SECEditContrast::kMinimumRatio);
    EXPECT_EQ(ToQColor(keyword.foreground).hslHue(), 240);
    EXPECT_EQ(config->GetColorGroups()[5].foreground, 0xFF0000u);
    // Readable colours are left as they are.
    EXPECT_EQ(settings.GetSelectionColors().foreground, 0x141414u);
}

TEST(PaneWidget, ScrollingOneLineRepaintsOnlyTheExposedRow)
{
    SECEdit edit;
    LoadText(edit, ManyLines(300), nullptr);
    SECEditView view(&edit);
    view.resize(500, 300);
    view.show();
    Settle();
    const int lineHeight = view.GetViewport().GetLineHeight();
    const QRect client = view.viewport()->rect();
    ASSERT_GT(view.verticalScrollBar()->maximum(), 10);

    view.verticalScrollBar()->setValue(1);
    Settle();
    EXPECT_EQ(view.GetViewport().GetFirstVisibleLine(), 1);
    const QRect painted = view.GetLastPaintRegion().boundingRect();
    EXPECT_LE(painted.height(), lineHeight);
    EXPECT_EQ(painted.bottom(), client.bottom());

    // A keystroke on one line repaints that row (and the gutter's change mark).
    edit.InsertTextAt(3, 0, u"x");
    Settle();
    const QRegion region = view.GetLastPaintRegion();
    EXPECT_TRUE(region.contains(QRect(100, 2 * lineHeight, 10, lineHeight)));
    EXPECT_FALSE(region.contains(QPoint(100, 5 * lineHeight + 1)));
}

// Counts the paint events a widget receives.
struct PaintCount : QObject
{
    bool eventFilter(QObject*, QEvent* event) override
    {
        count += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
    int count = 0;
};

TEST(PaneWidget, ScrollBarsRepaintWhenTheirLookChanges)
{
    SECEdit edit;
    LoadText(edit, ManyLines(5000), nullptr);
    SECEditView view(&edit);
    view.resize(500, 300);
    view.show();
    Settle();
    QScrollBar* bar = view.verticalScrollBar();
    PaintCount paints;
    bar->installEventFilter(&paints);
    const int maximum = bar->maximum();

    // A line more in a long document moves the handle by no pixel.
    edit.InsertTextAt(3, 0, u"\n");
    Settle();
    EXPECT_EQ(bar->maximum(), maximum + 1);
    EXPECT_EQ(paints.count, 0);

    // Most of the text gone: the handle grows, and scrolling moves it.
    edit.DeleteText(20, 0, 4990, 0);
    Settle();
    EXPECT_EQ(bar->maximum(), edit.GetLineCount() - view.GetViewport().GetVisibleLineCount());
    EXPECT_GE(paints.count, 1);
    paints.count = 0;
    bar->setValue(bar->maximum());
    Settle();
    EXPECT_GE(paints.count, 1);
    paints.count = 0;

    // Back to one short line: nothing left to scroll.
    edit.DeleteText(0, 0, edit.GetLineCount() - 1, 0);
    Settle();
    EXPECT_EQ(bar->maximum(), 0);
    EXPECT_FALSE(bar->isEnabled());
    EXPECT_GE(paints.count, 1);
}

TEST(PaneWidget, WheelScrollsByLines)
{
    SECEdit edit;
    LoadText(edit, ManyLines(300), nullptr);
    SECEditView view(&edit);
    view.resize(500, 300);
    view.show();
    Settle();
    QWheelEvent wheel(QPointF(50, 50), view.viewport()->mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, -120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view.viewport(), &wheel);
    EXPECT_EQ(view.GetViewport().GetFirstVisibleLine(), QApplication::wheelScrollLines());
}

TEST(SplitterWindow, SplitsIntoFourPanesThatFollowTheirRowAndColumn)
{
    SECEdit edit;
    LoadText(edit, ManyLines(300), nullptr);
    int made = 0;
    SECEditSplitterWindow window([&](QWidget* parent) {
        ++made;
        return new SECEditView(&edit, parent);
    });
    window.resize(800, 600);
    window.show();
    Settle();
    EXPECT_FALSE(window.SplitRow(3)); // too close to the edge for a pane
    ASSERT_TRUE(window.SplitRow(300));
    EXPECT_FALSE(window.SplitRow(200)); // two rows at most
    ASSERT_TRUE(window.SplitColumn(400));
    Settle();
    EXPECT_EQ(made, 4);
    ASSERT_EQ(window.GetRowCount(), 2);
    ASSERT_EQ(window.GetColumnCount(), 2);
    SECEditView* topLeft = window.GetPane(0, 0);
    SECEditView* topRight = window.GetPane(0, 1);
    SECEditView* bottomLeft = window.GetPane(1, 0);
    ASSERT_TRUE(topLeft && topRight && bottomLeft);
    EXPECT_NEAR(topLeft->height(), 300, 10);

    // No split box is offered once both splits are made.
    for (auto* box : window.findChildren<SECEditSplitBox*>())
        EXPECT_FALSE(box->isVisible());

    topLeft->verticalScrollBar()->setValue(20);
    topLeft->horizontalScrollBar()->setValue(3);
    EXPECT_EQ(topRight->GetViewport().GetFirstVisibleLine(), 20);
    EXPECT_EQ(topRight->verticalScrollBar()->value(), 20);
    EXPECT_EQ(bottomLeft->GetViewport().GetFirstVisibleLine(), 0);
    EXPECT_EQ(bottomLeft->GetViewport().GetFirstVisibleColumn(), 3);
    bottomLeft->verticalScrollBar()->setValue(7);
    EXPECT_EQ(window.GetPane(1, 1)->GetViewport().GetFirstVisibleLine(), 7);
    EXPECT_EQ(topLeft->GetViewport().GetFirstVisibleLine(), 20);

    // Closing the top row leaves the bottom row, which now leads.
    window.DeleteRow(0);
    Settle();
    EXPECT_EQ(window.GetRowCount(), 1);
    EXPECT_EQ(window.GetPane(0, 0), bottomLeft);
    bottomLeft->verticalScrollBar()->setValue(9);
    EXPECT_EQ(window.GetPane(0, 1)->GetViewport().GetFirstVisibleLine(), 9);
    window.DeleteColumn(1);
    EXPECT_EQ(window.GetColumnCount(), 1);
    EXPECT_EQ(window.GetPane(0, 1), nullptr);
    EXPECT_EQ(window.GetActivePane(), bottomLeft);
    // Splitting again at once, before the old panes are gone.
    ASSERT_TRUE(window.SplitColumn(200));
    Settle();
    EXPECT_NEAR(window.GetPane(0, 0)->width(), 200, 10);
}

TEST(SplitterWindow, NewPanesOpenWhereTheirNeighbourStands)
{
    SECEdit edit;
    LoadText(edit, ManyLines(300), nullptr);
    SECEditSplitterWindow window([&](QWidget* parent) { return new SECEditView(&edit, parent); });
    window.resize(800, 600);
    window.show();
    Settle();
    window.GetPane(0, 0)->verticalScrollBar()->setValue(40);
    ASSERT_TRUE(window.SplitColumn(400));
    Settle();
    EXPECT_EQ(window.GetPane(0, 1)->GetViewport().GetFirstVisibleLine(), 40);
}

} // namespace

namespace {

// The painter surface joins fills and defers glyphs; what it draws must still
// be every cell's own background with its text on top.
TEST(PaneRendering, SelectionWhiteSpaceMarksAndOtherScriptsSurviveBatching)
{
    TestConfigPtr config = MakeTestConfig(4, true);
    config->SetFacename(kTestFontFace.toStdU16String());
    SECEdit edit;
    LoadText(edit, u"ab cd\t\u03A9\u4E2D x\nsecond line", config.get());
    QtFontMetricsFactory metrics;
    SECEditViewport viewport(&edit, metrics);
    SECEditSelectionHolder holder;
    holder.SetViewport(&viewport);
    holder.GetGutterSettings().mode = SECEditGutterSettings::NoGutter;
    holder.SetSelection({0, 1}, {0, 4});
    viewport.SetPresentationState(&holder);
    viewport.RefreshSettings();

    QImage image(400, 60, QImage::Format_RGB32);
    image.fill(Qt::magenta);
    {
        QPainter painter(&image);
        QtPainterSurface surface(painter);
        viewport.PaintText(surface, {0, 0, 400, 60});
    }
    if (const QString dir = qEnvironmentVariable("TAVRO_VIEW_TEST_IMAGES"); !dir.isEmpty())
        image.save(dir + QStringLiteral("/batching.png"));
    const int h = viewport.GetLineHeight();
    auto cell = [&](int line, int from, int to) {
        const PixelPoint a = viewport.PointFromPosition({line, from});
        const PixelPoint b = viewport.PointFromPosition({line, to});
        return QRect(a.x, a.y, b.x - a.x, h);
    };
    auto backgroundOf = [&](QRect r) { return image.pixel(r.left(), r.top()) & 0xFFFFFF; };
    EXPECT_EQ(backgroundOf(cell(0, 0, 1)), 0xFFFFFFu);
    EXPECT_EQ(backgroundOf(cell(0, 1, 2)), 0x000000u);
    // The selected space shows its mark in the selection's text colour.
    EXPECT_EQ(backgroundOf(cell(0, 2, 3)), 0x000000u);
    EXPECT_TRUE(HasPixelNear(image, cell(0, 2, 3), qRgb(255, 255, 255), 100));
    EXPECT_EQ(backgroundOf(cell(0, 4, 5)), 0xFFFFFFu);
    // The tab's mark, and characters outside the cached range, are drawn.
    EXPECT_TRUE(HasPixelNear(image, cell(0, 5, 6), qRgb(0, 0, 0), 100));
    EXPECT_TRUE(HasPixelNear(image, cell(0, 6, 8).adjusted(1, 1, -1, -1), qRgb(0, 0, 0), 100));
    EXPECT_TRUE(HasPixelNear(image, cell(1, 0, 6), qRgb(0, 0, 0), 100));
    EXPECT_FALSE(HasPixel(image, image.rect(), qRgb(255, 0, 255)));
}

} // namespace

namespace {

TEST(SplitterWindow, DraggingTheBoxesSplitsAndDraggingADividerAwayJoins)
{
    SECEdit edit;
    LoadText(edit, ManyLines(300), nullptr);
    SECEditSplitterWindow window([&](QWidget* parent) { return new SECEditView(&edit, parent); });
    window.resize(800, 600);
    window.show();
    Settle();

    auto boxOf = [&](bool rows) -> SECEditSplitBox* {
        for (auto* box : window.findChildren<SECEditSplitBox*>())
            if (box->SplitsRows() == rows && box->isVisible())
                return box;
        return nullptr;
    };
    auto drag = [&](QWidget* widget, QPoint to) {
        const QPoint from = widget->rect().center();
        QTest::mousePress(widget, Qt::LeftButton, {}, from);
        QTest::mouseMove(widget, (from + to) / 2);
        QTest::mouseMove(widget, to);
        QTest::mouseRelease(widget, Qt::LeftButton, {}, to);
        Settle();
    };

    SECEditSplitBox* rowBox = boxOf(true);
    ASSERT_TRUE(rowBox);
    // Released near where it started, the box leaves the window alone.
    drag(rowBox, rowBox->rect().center() + QPoint(0, 2));
    EXPECT_EQ(window.GetRowCount(), 1);
    drag(rowBox, rowBox->mapFrom(&window, QPoint(400, 250)));
    ASSERT_EQ(window.GetRowCount(), 2);
    EXPECT_NEAR(window.GetPane(0, 0)->height(), 250, 10);
    EXPECT_EQ(boxOf(true), nullptr);

    SECEditSplitBox* columnBox = boxOf(false);
    ASSERT_TRUE(columnBox);
    drag(columnBox, columnBox->mapFrom(&window, QPoint(500, 100)));
    ASSERT_EQ(window.GetColumnCount(), 2);
    EXPECT_NEAR(window.GetPane(0, 0)->width(), 500, 10);
    // Both rows share the column divider.
    EXPECT_EQ(window.GetPane(0, 0)->width(), window.GetPane(1, 0)->width());

    // Dragging the row divider to the top closes the top row.
    auto* rows = window.findChild<QSplitter*>();
    ASSERT_TRUE(rows);
    QSplitterHandle* handle = rows->handle(1);
    ASSERT_TRUE(handle);
    SECEditView* bottomRight = window.GetPane(1, 1);
    drag(handle, handle->mapFrom(&window, QPoint(400, 0)));
    EXPECT_EQ(window.GetRowCount(), 1);
    EXPECT_EQ(window.GetPane(0, 1), bottomRight);
}

} // namespace

namespace {

TEST(PaneWidget, LineNumbersWidenTheGutterAndNarrowTheTextArea)
{
    SECEdit edit;
    LoadText(edit, ManyLines(100), nullptr);
    SECEditView view(&edit);
    view.resize(500, 300);
    view.show();
    Settle();
    const int width = view.GetViewport().GetAverageCharWidth();
    EXPECT_EQ(view.GetGutterMode(), 45314);
    EXPECT_EQ(view.GetViewport().GetTextLeft(), 20);
    const int columns = view.horizontalScrollBar()->pageStep();
    view.SetGutterMode(45311);
    EXPECT_EQ(view.GetViewport().GetTextLeft(), 20 + 3 * 8);
    EXPECT_EQ(view.horizontalScrollBar()->pageStep(), (view.viewport()->width() - 44) / width);
    EXPECT_LE(view.horizontalScrollBar()->pageStep(), columns);
}

} // namespace

TEST(PaneWidget, TheLastPaneWorkedInKeepsShowingItsSelection)
{
    // A find dialog or a menu takes the keyboard, but the match it selected
    // in the pane the user worked in must stay visible there.
    SECEdit edit;
    LoadText(edit, ManyLines(20), nullptr);
    SECEditView first(&edit);
    SECEditView second(&edit);
    SECEditSelectionHolder firstState;
    SECEditSelectionHolder secondState;
    firstState.SetViewport(&first.GetViewport());
    secondState.SetViewport(&second.GetViewport());
    firstState.SetSelection({0, 1}, {0, 4});
    secondState.SetSelection({1, 1}, {1, 4});
    firstState.SetKeepsFocusLook(false);
    secondState.SetKeepsFocusLook(false);
    first.SetPresentationState(&firstState);
    second.SetPresentationState(&secondState);
    first.show();
    second.show();
    Settle();

    QTest::mouseClick(first.viewport(), Qt::LeftButton, {}, QPoint(40, 5));
    Settle();
    EXPECT_TRUE(first.IsActivePane());
    EXPECT_FALSE(second.IsActivePane());
    EXPECT_TRUE(first.GetViewport().IsSelectionShown());

    QTest::mouseClick(second.viewport(), Qt::LeftButton, {}, QPoint(40, 5));
    Settle();
    EXPECT_TRUE(second.IsActivePane());
    EXPECT_FALSE(first.IsActivePane());
    EXPECT_TRUE(second.GetViewport().IsSelectionShown());
    if (!first.hasFocus() && !first.viewport()->hasFocus()) {
        EXPECT_FALSE(first.GetViewport().IsSelectionShown());
    }
}
