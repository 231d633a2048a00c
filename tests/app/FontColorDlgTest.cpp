#include "DialogTestSupport.h"
#include "tests/TestFonts.h"

#include "app/CChildFrame.h"
#include "app/CColorButton.h"
#include "app/CEditorSettingsPage.h"
#include "app/CFontColorDlg.h"
#include "app/CFontColorSample.h"
#include "engine/SECEdit.h"
#include "engine/SECEditMsg.h"
#include "platform/qt/QtFonts.h"
#include "syntax/SECEditLangConfig.h"
#include "view/SECEditContrast.h"
#include "view/SECEditSplitterWindow.h"

#include <QCheckBox>
#include <QFontInfo>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>

#include <gtest/gtest.h>

namespace {

constexpr std::uint32_t kRed = 0x0000FF;
constexpr std::uint32_t kBlue = 0xFF0000;
constexpr std::uint32_t kYellow = 0x00FFFF;

// A configuration of its own, so no test touches the languages of the
// program's registry: Text, Text Selection, Number, Operator (not offered),
// Keyword and Comment with a fixed red foreground.
struct OwnConfig
{
    SECEditLangConfig* config = new SECEditLangConfig;

    OwnConfig()
    {
        config->SetName(u"Test");
        auto& groups = config->GetColorGroups();
        groups[3].configurable = false;
        SECEditColorGroup keyword;
        keyword.displayName = u"Keyword";
        groups.push_back(keyword);
        SECEditColorGroup comment;
        comment.displayName = u"Comment";
        comment.foreground = kRed;
        comment.foregroundAutomatic = false;
        groups.push_back(comment);
    }
    ~OwnConfig() { config->Release(); }
    std::vector<SECEditColorGroup>& Groups() { return config->GetColorGroups(); }
};

QStringList Listed(const CFontColorDlg& dialog)
{
    QStringList names;
    for (int row = 0; row < dialog.GetGroupList()->count(); ++row)
        names.append(dialog.GetGroupList()->item(row)->text());
    return names;
}

std::uint32_t WindowText(const QWidget& w)
{
    return FromQColor(w.palette().color(QPalette::Active, QPalette::Text));
}

std::uint32_t Window(const QWidget& w)
{
    return FromQColor(w.palette().color(QPalette::Active, QPalette::Base));
}

} // namespace

TEST(FontColorDialog, OffersTheConfigurableGroupsAndShowsTheFirst)
{
    OwnConfig own;
    CFontColorDlg dialog(*own.config);
    EXPECT_EQ(Listed(dialog), (QStringList{QStringLiteral("Text"), QStringLiteral("Text Selection"),
                                           QStringLiteral("Number"), QStringLiteral("Keyword"),
                                           QStringLiteral("Comment")}));
    EXPECT_EQ(dialog.GetSelectedGroup(), 0);
    // Text is automatic: the desktop's colours, which the user can't pick while the box is ticked.
    EXPECT_TRUE(dialog.GetForegroundAutomaticBox()->isChecked());
    EXPECT_FALSE(dialog.GetForegroundButton()->isEnabled());
    EXPECT_EQ(FromQColor(dialog.GetForegroundButton()->GetColor()), WindowText(dialog));
    EXPECT_EQ(FromQColor(dialog.GetBackgroundButton()->GetColor()), Window(dialog));

    ASSERT_TRUE(dialog.SelectGroup(5));
    EXPECT_FALSE(dialog.GetForegroundAutomaticBox()->isChecked());
    EXPECT_TRUE(dialog.GetForegroundButton()->isEnabled());
    EXPECT_EQ(FromQColor(dialog.GetForegroundButton()->GetColor()), kRed);
    EXPECT_EQ(FromQColor(dialog.GetSample()->GetForeground()), kRed);
    EXPECT_FALSE(dialog.SelectGroup(3)); // not configurable, so not listed

    // The built-in face is painted in the desktop's fixed-width font, and named so; it stays stored as it was.
    EXPECT_EQ(dialog.GetFaceName(), QStringLiteral("Courier"));
    EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("faceName"))->text(),
              QFontInfo(MakeQFont({u"", 10, 0, 0, true, false, false})).family());
    EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("fontSize"))->text(), QStringLiteral("10 pt"));
}

TEST(FontColorDialog, AutomaticGroupsFollowTheTextGroupAndSelectionShowsItSwapped)
{
    OwnConfig own;
    CFontColorDlg dialog(*own.config);
    ASSERT_TRUE(dialog.SelectGroup(0));
    dialog.GetBackgroundAutomaticBox()->click(); // off: the shown colour stays
    EXPECT_EQ(dialog.GetGroups()[0].background, Window(dialog));
    EXPECT_TRUE(dialog.GetBackgroundButton()->isEnabled());
    dialog.SetColorChooser([](QWidget*, const QColor&) { return std::optional<QColor>(ToQColor(kYellow)); });
    dialog.GetBackgroundButton()->click();
    dialog.SetForeground(ToQColor(kBlue));

    const auto& groups = dialog.GetGroups();
    EXPECT_EQ(groups[0].background, kYellow);
    EXPECT_EQ(groups[0].foreground, kBlue);
    EXPECT_FALSE(groups[0].foregroundAutomatic);
    for (std::size_t i : {2u, 3u, 4u}) { // Operator too, though the user can't choose it
        EXPECT_EQ(groups[i].background, kYellow) << i;
        EXPECT_EQ(groups[i].foreground, kBlue) << i;
    }
    EXPECT_EQ(groups[5].foreground, kRed); // not automatic: its own colour
    EXPECT_EQ(groups[5].background, kYellow);
    EXPECT_EQ(groups[1].foreground, kYellow);
    EXPECT_EQ(groups[1].background, kBlue);

    // Automatic again: back to the desktop's colour, and the others with it.
    dialog.GetBackgroundAutomaticBox()->click();
    EXPECT_EQ(groups[0].background, Window(dialog));
    EXPECT_EQ(groups[4].background, Window(dialog));
    EXPECT_EQ(groups[1].foreground, Window(dialog));

    // A cancelled colour chooser changes nothing.
    ASSERT_TRUE(dialog.SelectGroup(5));
    dialog.SetColorChooser([](QWidget*, const QColor&) { return std::optional<QColor>(); });
    dialog.GetForegroundButton()->click();
    EXPECT_EQ(groups[5].foreground, kRed);
}

TEST(FontColorDialog, OnADarkPaletteTheSampleShowsTheColourAsPaintedAndTheChosenOneIsKept)
{
    OwnConfig own;
    CFontColorDlg dialog(*own.config);
    QPalette dark = dialog.palette();
    dark.setColor(QPalette::Base, QColor(25, 25, 25));
    dark.setColor(QPalette::Text, QColor(220, 220, 220));
    dialog.setPalette(dark);
    ASSERT_TRUE(dialog.SelectGroup(5));
    constexpr std::uint32_t kNavy = 0x800000;
    dialog.SetForeground(ToQColor(kNavy));
    EXPECT_EQ(dialog.GetGroups()[5].foreground, kNavy);
    EXPECT_EQ(FromQColor(dialog.GetForegroundButton()->GetColor()), kNavy);
    const std::uint32_t shown = FromQColor(dialog.GetSample()->GetForeground());
    EXPECT_GE(SECEditContrast::Ratio(shown, 0x191919), SECEditContrast::kMinimumRatio);
    EXPECT_EQ(ToQColor(shown).hslHue(), ToQColor(kNavy).hslHue());
    dialog.Apply();
    EXPECT_EQ(own.Groups()[5].foreground, kNavy);
}

TEST(FontColorDialog, ChooseFontAndResetAllBackToWhatTheDialogOpenedWith)
{
    OwnConfig own;
    own.config->SetSize(12);
    own.Groups()[4].foreground = kBlue;
    own.Groups()[4].foregroundAutomatic = false;
    const std::vector<SECEditColorGroup> opened = own.Groups();

    CFontColorDlg dialog(*own.config);
    QFont asked;
    dialog.SetFontChooser([&asked](QWidget*, const QFont& initial) {
        asked = initial;
        QFont chosen(kTestFontFace);
        chosen.setPointSize(15);
        return std::optional<QFont>(chosen);
    });
    const QString shown = QFontInfo(dialog.GetWorkingFont()).family();
    dialog.findChild<QPushButton*>(QStringLiteral("chooseFont"))->click();
    EXPECT_EQ(asked.family(), shown);
    EXPECT_EQ(asked.pointSize(), 12);
    EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("faceName"))->text(), kTestFontFace);
    EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("fontSize"))->text(), QStringLiteral("15 pt"));
    ASSERT_TRUE(dialog.SelectGroup(4));
    dialog.SetForeground(ToQColor(kRed));
    ASSERT_TRUE(dialog.SelectGroup(2));
    dialog.GetForegroundAutomaticBox()->click();

    dialog.GetEditorPage()->GetTabSize()->setValue(9);
    dialog.GetEditorPage()->GetAutoIndent()->setChecked(true);

    dialog.findChild<QPushButton*>(QStringLiteral("resetAll"))->click();
    EXPECT_EQ(dialog.GetEditorPage()->GetTabSize()->value(), 4);
    EXPECT_FALSE(dialog.GetEditorPage()->GetAutoIndent()->isChecked());
    EXPECT_EQ(dialog.GetFaceName(), QStringLiteral("Courier"));
    EXPECT_EQ(dialog.GetPointSize(), 12);
    EXPECT_EQ(dialog.GetGroups()[4].foreground, kBlue);
    EXPECT_TRUE(dialog.GetGroups()[2].foregroundAutomatic);
    EXPECT_EQ(dialog.GetSelectedGroup(), 0);
    // Nothing reached the configuration.
    EXPECT_EQ(own.Groups(), opened);
    EXPECT_EQ(own.config->GetFacename(), u"Courier");
}

TEST(FontColorDialog, OkRepaintsEveryDocumentOfTheLanguageAndCancelNone)
{
    AppHarness h;
    ASSERT_TRUE(h.Start());
    CTavroDoc* first = OpenWith(h, QStringLiteral("a.txt"), "alpha\n");
    CTavroDoc* second = OpenWith(h, QStringLiteral("b.txt"), "beta\n");
    CTavroDoc* other = OpenWith(h, QStringLiteral("c.txt"), "gamma\n");
    ASSERT_TRUE(first && second && other);
    OwnConfig own;
    for (CTavroDoc* doc : {first, second}) {
        doc->GetEdit().SetLangConfig(own.config);
        SECEditMsg recolour(SECEditMsg::InvalidateColoring);
        doc->GetEdit().OnUpdate(own.config, &recolour);
    }
    h.app->MainFrame()->ActivateChildFrame(first->GetFrames().first());
    const auto paneOf = [](CTavroDoc* doc) {
        return qobject_cast<SECEditSplitterWindow*>(doc->GetFrames().first()->GetPaneHost())->GetActivePane();
    };
    const SECEditViewSettings before = paneOf(other)->GetViewport().GetSettings();

    bool ok = false;
    CDialogCommands& commands = DialogCommands(h, [&ok](QDialog& dialog) {
        auto& colors = dynamic_cast<CFontColorDlg&>(dialog);
        QFont chosen(QStringLiteral("DejaVu Sans Mono"));
        chosen.setPointSize(16);
        colors.SetWorkingFont(chosen);
        colors.SelectGroup(0);
        colors.SetBackground(ToQColor(kYellow));
        CEditorSettingsPage& editor = *colors.GetEditorPage();
        editor.GetTabSize()->setValue(99); // beyond the range: the largest
        editor.GetInsertSpaces()->setChecked(true);
        editor.GetAutoIndent()->setChecked(true);
        editor.GetShowWhitespace()->setChecked(true);
        editor.GetVirtualWhitespace()->setChecked(true);
        return int(ok ? QDialog::Accepted : QDialog::Rejected);
    });
    const int tabStopBefore = paneOf(second)->GetViewport().GetTabStopWidth();
    commands.OnChooseFont(); // cancelled
    EXPECT_EQ(own.config->GetSize(), 10);
    EXPECT_EQ(own.config->GetTabSize(), 4);
    EXPECT_FALSE(own.config->GetShowWhitespace());
    EXPECT_TRUE(own.Groups()[0].backgroundAutomatic);
    EXPECT_EQ(paneOf(second)->GetViewport().GetSettings().font.pointSize, 10);

    ok = true;
    commands.OnChooseFont();
    EXPECT_EQ(own.config->GetFacename(), u"DejaVu Sans Mono");
    EXPECT_EQ(own.config->GetSize(), 16);
    EXPECT_EQ(own.Groups()[0].background, kYellow);
    EXPECT_EQ(own.config->GetTabSize(), 64);
    EXPECT_TRUE(own.config->GetReplaceTabs() && own.config->GetAutoIndent() && own.config->GetShowWhitespace() &&
                own.config->GetVirtualWhitespace());
    for (CTavroDoc* doc : {first, second}) {
        const SECEditViewSettings& settings = paneOf(doc)->GetViewport().GetSettings();
        // Re-measured at once: 64 columns of a 16-point font, white space shown.
        EXPECT_EQ(settings.tabSize, 64);
        EXPECT_TRUE(settings.showWhitespace && settings.virtualWhitespace);
        EXPECT_GT(paneOf(doc)->GetViewport().GetTabStopWidth(), 16 * tabStopBefore);
        EXPECT_EQ(settings.font.face, u"DejaVu Sans Mono");
        EXPECT_EQ(settings.font.pointSize, 16);
        EXPECT_EQ(settings.GetTextColors().background, kYellow);
        EXPECT_EQ(settings.groups[4].background, kYellow); // an automatic group follows Text
    }
    EXPECT_EQ(paneOf(other)->GetViewport().GetSettings().font, before.font);
    EXPECT_EQ(paneOf(other)->GetViewport().GetSettings().groups, before.groups);
    for (CTavroDoc* doc : {first, second})
        doc->GetEdit().SetLanguage(u"Default");
}
