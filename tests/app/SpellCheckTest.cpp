#include "AppTestSupport.h"

#include "app/CMainFrame.h"
#include "app/CSpellCheckDlg.h"
#include "app/CTavroController.h"
#include "app/CTavroDoc.h"
#include "app/CToolCommands.h"
#include "app/SpellChecker.h"
#include "app/SpellWords.h"
#include "app/TavroCommandIds.h"
#include "engine/SECEdit.h"

#include <QAction>
#include <QLineEdit>

#include <gtest/gtest.h>

namespace {

std::vector<std::u16string> Words(std::u16string_view text)
{
    std::vector<std::u16string> out;
    for (const SpellWords::Word& word : SpellWords::Split(text))
        out.emplace_back(text.substr(word.start, word.length));
    return out;
}

bool HaveEnglish()
{
    return SpellChecker({QStringLiteral("/usr/share/hunspell")}, QStringLiteral("en_US")).Probe();
}

} // namespace

TEST(SpellWords, SplitsLettersKeepsInnerApostrophesAndSkipsNames)
{
    EXPECT_EQ(Words(u"Don't stop, 'quoted' words!"),
              (std::vector<std::u16string>{u"Don't", u"stop", u"quoted", u"words"}));
    EXPECT_EQ(Words(u"var_name x86 2024 caf\u00e9 na\u00efve"),
              (std::vector<std::u16string>{u"caf\u00e9", u"na\u00efve"}));
    EXPECT_EQ(Words(u"a\r\nb\u2014c"), (std::vector<std::u16string>{u"a", u"b", u"c"}));
    EXPECT_TRUE(Words(u"").empty());
}

TEST(SpellChecker, WithoutADictionaryProbeFailsAndNothingIsChanged)
{
    QTemporaryDir empty;
    SpellChecker checker({empty.path()}, QStringLiteral("xx_XX"));
    EXPECT_FALSE(checker.Probe());
    std::u16string text = u"Teh cat";
    EXPECT_EQ(checker.Check(text, {}), SpellChecker::Result::NoDictionary);
    EXPECT_EQ(text, u"Teh cat");
}

TEST(SpellChecker, DecisionsChangeIgnoreAndCancelCorrectTheText)
{
    if (!HaveEnglish())
        GTEST_SKIP() << "no en_US dictionary";
    SpellChecker checker({QStringLiteral("/usr/share/hunspell")}, QStringLiteral("en_US"));
    std::u16string clean = u"The cat sat.\n";
    EXPECT_EQ(checker.Check(clean, {}), SpellChecker::Result::NoErrors);

    std::u16string text = u"Teh cat, teh dogg and zzqx.\r\nTeh end";
    QStringList asked;
    QStringList suggestionsForTeh;
    const auto ask = [&](const QString& word, const QStringList& suggestions, const QString& context, int at) {
        asked << word;
        EXPECT_EQ(context.mid(at, word.size()), word);
        if (word == QStringLiteral("Teh")) {
            suggestionsForTeh = suggestions;
            return SpellChecker::Decision{SpellChecker::Decision::ChangeAll, QStringLiteral("The")};
        }
        if (word == QStringLiteral("teh"))
            return SpellChecker::Decision{SpellChecker::Decision::Change, QStringLiteral("the")};
        if (word == QStringLiteral("dogg"))
            return SpellChecker::Decision{SpellChecker::Decision::IgnoreAll, {}};
        return SpellChecker::Decision{SpellChecker::Decision::Cancel, {}};
    };
    EXPECT_EQ(checker.Check(text, ask), SpellChecker::Result::Cancelled);
    // Change All answered the second "Teh" without asking; Cancel kept what came before.
    EXPECT_EQ(asked, (QStringList{QStringLiteral("Teh"), QStringLiteral("teh"), QStringLiteral("dogg"),
                                  QStringLiteral("zzqx")}));
    EXPECT_EQ(text, u"The cat, the dogg and zzqx.\r\nTeh end");
    EXPECT_TRUE(suggestionsForTeh.contains(QStringLiteral("The"))) << suggestionsForTeh.join(u',').toStdString();
}

TEST(CheckSpelling, ReplacesTheSelectionAsOneUndoStepAndExplainsWhatItCannotDo)
{
    if (!HaveEnglish())
        GTEST_SKIP() << "no en_US dictionary";
    AppHarness h;
    ASSERT_TRUE(h.Start());
    CTavroDoc* doc = h.app->OpenDocumentFile(h.Write(QStringLiteral("s.txt"), "Teh cat\nsat hree\n"));
    auto* tools = h.app->MainFrame()->findChild<CToolCommands*>();
    tools->SetSpellChecker(std::make_unique<SpellChecker>(QStringList{QStringLiteral("/usr/share/hunspell")},
                                                          QStringLiteral("en_US")));
    QAction* command = h.app->MainFrame()->Action(TavroCmd::CheckSpelling);
    EXPECT_FALSE(command->isEnabled()) << "nothing selected";
    tools->SetDialogRunner([](QDialog& dialog) {
        auto& spell = dynamic_cast<CSpellCheckDlg&>(dialog);
        spell.GetChangeTo()->setText(QStringLiteral("fixed"));
        spell.Decide(SpellChecker::Decision::Change);
        return int(QDialog::Accepted);
    });

    tools->OnCheckSpelling();
    EXPECT_EQ(h.messages.texts, QStringList{QStringLiteral("Select the text to check first.")});

    CTavroController& controller = *tools->ActiveController();
    controller.OnFocus(true); // the pane the user works in
    h.messages.texts.clear();
    controller.MoveCaretTo(0, 0);
    controller.ExtendSelectionTo(2, 0, true); // as Shift+Down twice does
    EXPECT_TRUE(command->isEnabled());
    const int undoBefore = doc->GetEdit().GetUndoCount();
    tools->OnCheckSpelling();
    EXPECT_TRUE(h.messages.texts.isEmpty()) << h.messages.texts.join(u'|').toStdString();
    std::u16string text;
    doc->GetEdit().GetText(text, 0, 0, 2, 0);
    EXPECT_EQ(text, u"fixed cat\nsat fixed\n");
    EXPECT_EQ(doc->GetEdit().GetUndoCount(), undoBefore + 1);
    // The corrected text stays selected.
    EXPECT_EQ(controller.GetSelectedText(), text);

    // Nothing wrong: a message, and no edit.
    tools->OnCheckSpelling();
    EXPECT_EQ(h.messages.texts, QStringList{QStringLiteral("No errors found.")});
    EXPECT_EQ(doc->GetEdit().GetUndoCount(), undoBefore + 1);

    QTemporaryDir empty;
    tools->SetSpellChecker(std::make_unique<SpellChecker>(QStringList{empty.path()}, QStringLiteral("en_US")));
    EXPECT_FALSE(command->isEnabled()) << "no dictionary";
    controller.ExtendSelectionTo(1, 0, true);
    EXPECT_FALSE(command->isEnabled()) << "no dictionary, whatever is selected";
}
