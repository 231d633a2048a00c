#include "engine/SECEdit.h"
#include "engine/SECEditTextStore.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// An engine holding `text` the way a file is loaded: straight into the store.
void LoadText(SECEdit& edit, std::u16string_view text)
{
    edit.ResetContent();
    edit.GetTextStore()->AppendText(text);
    edit.FinishLoad();
}

std::u16string Everything(const SECEdit& edit)
{
    std::u16string text;
    edit.GetAllText(text);
    return text;
}

} // namespace

TEST(LineEnds, BreaksFollowTheLoadedTextsConvention)
{
    SECEdit edit;

    // A text whose lines end in bare line feeds gets bare line feeds from the
    // editor too, for the long-line rule as for anything else.
    LoadText(edit, u"ab\ncd\n");
    EXPECT_TRUE(edit.BreaksWithLineFeedOnly());
    EXPECT_EQ(edit.GetLineEndString(), u"\n");
    const std::u16string wide(3000, u'x');
    ASSERT_TRUE(edit.InsertTextAt(1, 0, wide));
    EXPECT_EQ(Everything(edit).find(u'\r'), std::u16string::npos);
    EXPECT_EQ(edit.GetLineLength(1), 2048);

    // Carriage return plus line feed stays what it was, and so does a first
    // line that ends after a stray carriage return.
    LoadText(edit, u"ab\r\ncd");
    EXPECT_EQ(edit.GetLineEndString(), u"\r\n");
    LoadText(edit, u"a\rb\ncd");
    EXPECT_EQ(edit.GetLineEndString(), u"\r\n");

    // A single line has no convention, and a reset forgets the loaded one.
    LoadText(edit, u"abc");
    EXPECT_EQ(edit.GetLineEndString(), u"\r\n");
    LoadText(edit, u"ab\ncd");
    edit.ResetContent();
    EXPECT_EQ(edit.GetLineEndString(), u"\r\n");
}

TEST(LineEnds, AnOverWideLineInALineFeedFileIsBrokenWithLineFeeds)
{
    SECEdit edit;
    LoadText(edit, u"top\n" + std::u16string(5000, u'y') + u"\n");
    EXPECT_EQ(Everything(edit).find(u'\r'), std::u16string::npos);
    EXPECT_EQ(edit.GetLineLength(1), 2048);
    EXPECT_EQ(edit.GetLineLength(2), 2048);
    EXPECT_EQ(edit.GetLineLength(3), 904);
}
