#include "AppTestSupport.h"

#include "app/CAboutDlg.h"
#include "app/CCommentDlg.h"
#include "app/CCountDlg.h"
#include "app/CDateDlg.h"
#include "app/CFindReplaceDlg.h"
#include "app/CFontColorDlg.h"
#include "app/CGetLangDlg.h"
#include "app/CGotoDlg.h"
#include "app/CHTMLFirstDlg.h"
#include "app/CNewFileDlg.h"
#include "app/COptionPropSheet.h"
#include "app/CSpellCheckDlg.h"
#include "controller/SECEditSearchSettings.h"
#include "syntax/SECEditLangConfig.h"

#include <QLabel>
#include <QPushButton>

#include <ctime>
#include <memory>

#include <gtest/gtest.h>

namespace {

// Whether the text carries a mnemonic: one '&' not doubled.
bool HasMnemonic(const QString& text)
{
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == QLatin1Char('&')) {
            if (text[i + 1] != QLatin1Char('&'))
                return true;
            ++i;
        }
    }
    return false;
}

} // namespace

// A label shows its '&' literally unless it has a buddy to give the focus to:
// every label with a mnemonic must have one, in every dialog.
TEST(DialogLabels, EveryMnemonicLabelHasABuddy)
{
    MemorySettings settings;
    RecordingMessageBox messages;
    SECEditSearchSettings search;
    auto* config = new SECEditLangConfig;
    std::tm now{};
    now.tm_year = 126;
    now.tm_mday = 1;

    std::vector<std::unique_ptr<QDialog>> dialogs;
    dialogs.push_back(std::make_unique<CAboutDlg>());
    dialogs.push_back(std::make_unique<CCommentDlg>(QString(), QString(), QString()));
    dialogs.push_back(std::make_unique<CCountDlg>(CountStatistics::Of(u"a"), std::nullopt));
    dialogs.push_back(std::make_unique<CDateDlg>(now));
    dialogs.push_back(std::make_unique<CFindReplaceDlg>(true, search, QString(), nullptr));
    dialogs.push_back(std::make_unique<CFindReplaceDlg>(false, search, QString(), nullptr));
    dialogs.push_back(std::make_unique<CFontColorDlg>(*config));
    dialogs.push_back(std::make_unique<CGetLangDlg>(QStringList{QStringLiteral("C++")}));
    dialogs.push_back(std::make_unique<CGotoDlg>(messages, 10));
    dialogs.push_back(std::make_unique<CHTMLFirstDlg>());
    dialogs.push_back(std::make_unique<CNewFileDlg>());
    dialogs.push_back(std::make_unique<COptionPropSheet>(settings, messages));
    dialogs.push_back(std::make_unique<CSpellCheckDlg>(QStringLiteral("teh"), QStringList{QStringLiteral("the")},
                                                       QStringLiteral("teh cat"), 0));
    int checked = 0;
    for (const auto& dialog : dialogs) {
        for (const QLabel* label : dialog->findChildren<QLabel*>()) {
            if (label->textFormat() == Qt::RichText || !HasMnemonic(label->text()))
                continue;
            ++checked;
            EXPECT_NE(label->buddy(), nullptr)
                << dialog->metaObject()->className() << ": " << label->text().toStdString();
        }
    }
    EXPECT_GT(checked, 10);

    // The Font and Color dialog's button reads exactly so.
    const auto* colors = dialogs[6]->findChild<QPushButton*>(QStringLiteral("chooseFont"));
    ASSERT_NE(colors, nullptr);
    EXPECT_EQ(colors->text(), QStringLiteral("C&hoose Font"));
    dialogs.clear();
    config->Release();
}
