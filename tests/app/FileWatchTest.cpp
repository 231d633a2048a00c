#include "AppTestSupport.h"

#include "app/CChildFrame.h"
#include "app/CFileWatch.h"
#include "app/CTavroController.h"
#include "app/CTavroDoc.h"
#include "app/CTavroView.h"
#include "engine/SECEditLineMarks.h"

#include <QFrame>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

std::u16string Text(const CMyEdit& edit)
{
    std::u16string text;
    edit.GetAllText(text);
    return text;
}

// Another program replacing the file the way most do: a new file renamed over it.
void ReplaceFile(const QString& path, const QByteArray& bytes)
{
    QFile out(path + QStringLiteral(".other"));
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(bytes);
    out.close();
    ASSERT_EQ(::rename(QFile::encodeName(out.fileName()).constData(), QFile::encodeName(path).constData()), 0);
}

CTavroView* FirstPane(CTavroDoc* doc)
{
    return doc->GetFrames().constFirst()->GetPaneHost()->findChild<CTavroView*>();
}

} // namespace

TEST(FileWatch, UnmodifiedDocumentIsReadAgainInPlace)
{
    AppHarness h;
    ASSERT_TRUE(h.Start());
    QByteArray lines;
    for (int i = 0; i < 60; ++i)
        lines += "line " + QByteArray::number(i) + "\n";
    const QString path = h.Write(QStringLiteral("watched.txt"), lines);
    CTavroDoc* doc = h.app->OpenDocumentFile(path);
    ASSERT_NE(doc, nullptr);
    CMyEdit& edit = doc->GetEdit();
    edit.SetLineMark(5, SECEditLineMarks::BookmarkMark, true);
    edit.SetLineMark(50, SECEditLineMarks::BookmarkMark, true);
    CTavroView* pane = FirstPane(doc);
    ASSERT_NE(pane, nullptr);
    pane->GetController().MoveCaretTo(30, 4);

    // Our own save is no change.
    edit.InsertTextAt(59, 0, u"x");
    ASSERT_TRUE(h.app->DoFileSave(doc));
    h.app->FileWatch()->CheckAll();
    EXPECT_TRUE(doc->FileNotice().isEmpty());
    EXPECT_TRUE(h.app->FileWatch()->LastNote().isEmpty());

    // Another program shortens the file: bookmarks and the caret stay where
    // their lines still exist, the history starts afresh.
    ReplaceFile(path, "changed\n" + lines.left(lines.indexOf("line 40")));
    h.app->FileWatch()->CheckAll();
    EXPECT_EQ(Text(edit).substr(0, 8), u"changed\n");
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(edit.GetUndoCount(), 0);
    EXPECT_TRUE(edit.TestLineMark(5, SECEditLineMarks::BookmarkMark));
    EXPECT_EQ(edit.CountLineMarks(SECEditLineMarks::BookmarkMark), 1);
    EXPECT_EQ(pane->GetController().GetCaretPos(), SECEditTextPos(30, 4));
    EXPECT_TRUE(h.app->FileWatch()->LastNote().contains(QStringLiteral("watched.txt")));
    EXPECT_TRUE(doc->FileNotice().isEmpty());
}

TEST(FileWatch, ModifiedDocumentGetsANoticeAndSaveAsksFirst)
{
    AppHarness h;
    ASSERT_TRUE(h.Start());
    const QString path = h.Write(QStringLiteral("both.txt"), "ours\n");
    CTavroDoc* doc = h.app->OpenDocumentFile(path);
    ASSERT_NE(doc, nullptr);
    doc->GetEdit().InsertTextAt(0, 0, u"mine ");
    ReplaceFile(path, "theirs\n");
    h.app->FileWatch()->CheckAll();

    // A notice in the window, nothing modal, the text untouched.
    EXPECT_TRUE(h.messages.texts.isEmpty());
    EXPECT_TRUE(doc->FileNoticeOffersReload());
    QFrame* bar = doc->GetFrames().constFirst()->GetFileNoticeBar();
    EXPECT_FALSE(bar->isHidden());
    EXPECT_EQ(Text(doc->GetEdit()), u"mine ours\n");

    // Save asks before overwriting the other program's version; No keeps it.
    h.messages.answers = {IMessageBox::Answer::No};
    EXPECT_FALSE(h.app->DoFileSave(doc));
    ASSERT_EQ(h.messages.texts.size(), 1);
    EXPECT_TRUE(h.messages.texts[0].contains(QStringLiteral("both.txt")));
    EXPECT_EQ(AppHarness::Read(path), "theirs\n");

    // Reload asks first; No changes nothing, Yes takes the file's text.
    QPushButton* reload = bar->findChild<QPushButton*>(QStringLiteral("ReloadButton"));
    h.messages.answers = {IMessageBox::Answer::No};
    reload->click();
    EXPECT_EQ(Text(doc->GetEdit()), u"mine ours\n");
    h.messages.answers = {IMessageBox::Answer::Yes};
    reload->click();
    EXPECT_EQ(Text(doc->GetEdit()), u"theirs\n");
    EXPECT_FALSE(doc->IsModified());
    EXPECT_TRUE(bar->isHidden());

    // Keep Mine: the next Save overwrites without asking again.
    doc->GetEdit().InsertTextAt(0, 0, u"again ");
    ReplaceFile(path, "third\n");
    h.app->FileWatch()->CheckAll();
    bar->findChild<QPushButton*>(QStringLiteral("KeepMineButton"))->click();
    EXPECT_TRUE(bar->isHidden());
    h.messages.texts.clear();
    EXPECT_TRUE(h.app->DoFileSave(doc));
    EXPECT_TRUE(h.messages.texts.isEmpty());
    EXPECT_EQ(AppHarness::Read(path), "again theirs\n");

    // Deleted: reported, and Save writes it again.
    QFile::remove(path);
    h.app->FileWatch()->CheckAll();
    EXPECT_TRUE(doc->IsModified());
    EXPECT_TRUE(doc->FileNotice().contains(QStringLiteral("deleted")));
    EXPECT_FALSE(doc->FileNoticeOffersReload());
    EXPECT_TRUE(h.app->DoFileSave(doc));
    EXPECT_EQ(AppHarness::Read(path), "again theirs\n");
    EXPECT_TRUE(doc->FileNotice().isEmpty());
}
