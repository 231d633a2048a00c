#include "platform/qt/QtFonts.h"
#include "view/SECEditContrast.h"

#include <QColor>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

namespace {

TEST(Contrast, RatiosFollowTheRelativeLuminanceFormula)
{
    EXPECT_NEAR(SECEditContrast::Ratio(0x000000, 0xFFFFFF), 21.0, 1e-9);
    EXPECT_NEAR(SECEditContrast::Ratio(0x123456, 0x123456), 1.0, 1e-9);
    EXPECT_NEAR(SECEditContrast::Ratio(0x767676, 0xFFFFFF), 4.54, 0.01); // the familiar mid grey
    EXPECT_TRUE(SECEditContrast::IsDark(0x1E1E1E));
    EXPECT_FALSE(SECEditContrast::IsDark(0xF0F0F0));
}

// Over many colours and backgrounds: on a dark background every colour reads,
// keeps its hue, is never darkened and is lightened no more than needed; on a
// light one, and wherever it already reads, it is left alone.
TEST(Contrast, ColoursOnDarkBackgroundsAreLightenedJustEnoughKeepingTheirHue)
{
    std::mt19937 random(13);
    std::uniform_int_distribution<std::uint32_t> anyColour(0, 0xFFFFFF);
    int lightened = 0;
    for (int i = 0; i < 20000; ++i) {
        const std::uint32_t foreground = anyColour(random);
        const std::uint32_t background = anyColour(random);
        const std::uint32_t painted = SECEditContrast::Readable(foreground, background);
        const double before = SECEditContrast::Ratio(foreground, background);
        const double after = SECEditContrast::Ratio(painted, background);
        SCOPED_TRACE(::testing::Message() << std::hex << foreground << " on " << background << " -> " << painted);
        if (!SECEditContrast::IsDark(background) || before >= SECEditContrast::kMinimumRatio) {
            ASSERT_EQ(painted, foreground);
            continue;
        }
        ++lightened;
        ASSERT_GE(after, SECEditContrast::kMinimumRatio);
        ASSERT_GE(SECEditContrast::RelativeLuminance(painted), SECEditContrast::RelativeLuminance(foreground));
        // The least lightening that reads lands close to the minimum (one
        // channel step can add more on backgrounds near black).
        ASSERT_LT(after, SECEditContrast::kMinimumRatio + 0.35);
        const QColor was = ToQColor(foreground);
        const QColor now = ToQColor(painted);
        // Hue is only defined to a few degrees where the channels differ by few steps.
        auto chroma = [](const QColor& c) { return std::max({c.red(), c.green(), c.blue()}) - std::min({c.red(), c.green(), c.blue()}); };
        if (chroma(was) >= 24 && chroma(now) >= 24) {
            const int turn = std::abs(was.hslHue() - now.hslHue());
            ASSERT_LE(std::min(turn, 360 - turn), 4);
        }
    }
    EXPECT_GT(lightened, 2000); // the dark half of the backgrounds gives plenty
}

} // namespace
