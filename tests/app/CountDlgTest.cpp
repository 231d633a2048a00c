#include "DialogTestSupport.h"

#include "app/CCountDlg.h"
#include "engine/SECEdit.h"
#include "view/SECEditSelectionHolder.h"

#include <QLineEdit>
#include <QRadioButton>

#include <gtest/gtest.h>

namespace {

QStringList Fields(const CCountDlg& dialog)
{
    QStringList texts;
    for (const char* name : {"printable", "all", "words", "lines"})
        texts.append(dialog.findChild<QLineEdit*>(QString::fromLatin1(name))->text());
    return texts;
}

QStringList List(const char* a, const char* b, const char* c, const char* d)
{
    return {QString::fromLatin1(a), QString::fromLatin1(b), QString::fromLatin1(c), QString::fromLatin1(d)};
}

} // namespace

TEST(CountDialog, WithoutSelectionOnlyTheWholeTextCanBeCounted)
{
    for (const std::optional<CountStatistics>& none : {std::optional<CountStatistics>(),
                                                       std::optional<CountStatistics>(CountStatistics::Of(u""))}) {
        CCountDlg dialog(CountStatistics::Of(u""), none);
        EXPECT_EQ(dialog.GetScope(), CCountDlg::All);
        EXPECT_FALSE(dialog.findChild<QRadioButton*>(QStringLiteral("scopeSelection"))->isEnabled());
        EXPECT_TRUE(dialog.findChild<QRadioButton*>(QStringLiteral("scopeAll"))->isChecked());
        EXPECT_EQ(Fields(dialog), List("0", "0", "0", "1"));
        dialog.SetScope(CCountDlg::Selection); // refused: there is nothing to count
        EXPECT_EQ(dialog.GetScope(), CCountDlg::All);
    }
}

TEST(CountDialog, StartsOnTheSelectionAndSwitchesScopeWithTheButtons)
{
    CCountDlg dialog(CountStatistics::Of(u"ab\r\nc d"), CountStatistics::Of(u"b\r\n"));
    EXPECT_EQ(dialog.GetScope(), CCountDlg::Selection);
    EXPECT_EQ(Fields(dialog), List("1", "3", "1", "2"));
    dialog.findChild<QRadioButton*>(QStringLiteral("scopeAll"))->click();
    EXPECT_EQ(dialog.GetScope(), CCountDlg::All);
    EXPECT_EQ(Fields(dialog), List("4", "7", "3", "2"));
    dialog.findChild<QRadioButton*>(QStringLiteral("scopeSelection"))->click();
    EXPECT_EQ(Fields(dialog), List("1", "3", "1", "2"));
}

TEST(CountDialog, DocumentAndSelectionCountedFromTheEngine)
{
    AppHarness h;
    ASSERT_TRUE(h.Start());
    CTavroDoc* doc = OpenWith(h, QStringLiteral("two.txt"), "ab\r\nc");
    ASSERT_NE(doc, nullptr);
    const SECEdit& edit = doc->GetEdit();
    const CountStatistics whole = CCountDlg::CountDocument(edit);
    EXPECT_EQ(whole.AllCharacters(), 5); // the line end the engine holds is counted
    EXPECT_EQ(whole.PrintableCharacters(), 3);
    EXPECT_EQ(whole.Words(), 2);
    EXPECT_EQ(whole.Lines(), 2);

    SECEditView* pane = DialogCommands(h).ActivePane();
    ASSERT_NE(pane, nullptr);
    SECEditSelectionHolder selection;
    selection.SetViewport(&pane->GetViewport());
    EXPECT_FALSE(CCountDlg::CountSelection(edit, selection).has_value());

    // Ending just after the line feed: one line more than the selection shows.
    selection.SetSelection({0, 1}, {1, 0});
    std::optional<CountStatistics> counts = CCountDlg::CountSelection(edit, selection);
    ASSERT_TRUE(counts.has_value());
    EXPECT_EQ(counts->AllCharacters(), 3);
    EXPECT_EQ(counts->Lines(), 2);

    // Selected backwards: the same text.
    selection.SetSelection({1, 1}, {0, 0});
    counts = CCountDlg::CountSelection(edit, selection);
    ASSERT_TRUE(counts.has_value());
    EXPECT_EQ(counts->AllCharacters(), 5);

    // Whole lines include the last line's end when another line follows.
    selection.SetSelection({0, 1}, {0, 1}, LineSelection);
    counts = CCountDlg::CountSelection(edit, selection);
    ASSERT_TRUE(counts.has_value());
    EXPECT_EQ(counts->AllCharacters(), 4);
    EXPECT_EQ(counts->Words(), 1);
}

TEST(CountDialog, ColumnBlockCountsItsPiecesOfEachLineEachWithALineBreak)
{
    AppHarness h;
    ASSERT_TRUE(h.Start());
    const struct
    {
        const char* text;
        int all, printable, words, lines;
    } cases[] = {
        {"abcd\r\nghij\r\nmnop", 12, 6, 3, 4}, // "bc", "hi", "no", each with its CR LF
        {"abcd\nx\nwxyz", 7, 4, 2, 4},            // the short middle line gives only its break
    };
    for (const auto& c : cases) {
        CTavroDoc* doc = OpenWith(h, QStringLiteral("block%1.txt").arg(c.all), c.text);
        ASSERT_NE(doc, nullptr);
        SECEditView* pane = DialogCommands(h).ActivePane();
        ASSERT_NE(pane, nullptr);
        SECEditSelectionHolder selection;
        selection.SetViewport(&pane->GetViewport());
        selection.SetSelection({0, 1}, {2, 3}, ColumnSelection); // columns 1 to 3 of three lines
        const std::optional<CountStatistics> counts = CCountDlg::CountSelection(doc->GetEdit(), selection);
        ASSERT_TRUE(counts.has_value()) << c.text;
        EXPECT_EQ(counts->AllCharacters(), c.all) << c.text;
        EXPECT_EQ(counts->PrintableCharacters(), c.printable) << c.text;
        EXPECT_EQ(counts->Words(), c.words) << c.text;
        EXPECT_EQ(counts->Lines(), c.lines) << c.text;
    }
}

TEST(CountDialog, CountCommandShowsTheActiveDocumentAndChangesNothing)
{
    AppHarness h;
    ASSERT_TRUE(h.Start());
    CTavroDoc* doc = OpenWith(h, QStringLiteral("words.txt"), "one two\tthree\n");
    ASSERT_NE(doc, nullptr);
    QStringList shown;
    int scope = -2;
    CDialogCommands& commands = DialogCommands(h, [&](QDialog& dialog) {
        auto& count = dynamic_cast<CCountDlg&>(dialog);
        shown = Fields(count);
        scope = count.GetScope();
        return int(QDialog::Accepted);
    });
    commands.OnCount();
    EXPECT_EQ(scope, CCountDlg::All);
    EXPECT_EQ(shown, List("11", "14", "3", "2"));
    EXPECT_FALSE(doc->IsModified());
}
