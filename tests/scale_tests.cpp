// The desktop's scale for the loading window and the message boxes, from what the desktop and
// SDL say of the resolution.
#include "platform/Scale_un.h"

#include <gtest/gtest.h>

#include <limits>

TEST(DesktopScale, At96DpiOrWithNothingKnownNothingChanges) {
    EXPECT_EQ(DesktopScale(96, 0), 1.0);
    EXPECT_EQ(DesktopScale(0, 96), 1.0);
    EXPECT_EQ(DesktopScale(0, 0), 1.0);
    EXPECT_EQ(DesktopScale(-5, -1), 1.0);
    EXPECT_EQ(Scaled(400, DesktopScale(96, 0)), 400);
    EXPECT_EQ(Scaled(15, DesktopScale(0, 0)), 15);
}

TEST(DesktopScale, XftDpiIsTakenBeforeTheDisplaysDpi) {
    EXPECT_EQ(DesktopScale(192, 96), 2.0);
    EXPECT_EQ(DesktopScale(96, 192), 1.0); // the desktop chose 96 on a fine screen
    EXPECT_EQ(DesktopScale(0, 192), 2.0);  // nothing set: the display's resolution
    EXPECT_EQ(DesktopScale(144, 0), 1.5);
    EXPECT_EQ(DesktopScale(120, 0), 1.25);
}

TEST(DesktopScale, GoesInQuarterStepsBetweenOneAndFour) {
    // A monitor a few dots finer or coarser than 96 keeps the design size.
    EXPECT_EQ(DesktopScale(0, 100.5), 1.0);
    EXPECT_EQ(DesktopScale(0, 90), 1.0);
    EXPECT_EQ(DesktopScale(72, 0), 1.0); // never smaller than designed
    EXPECT_EQ(DesktopScale(110, 0), 1.25);
    EXPECT_EQ(DesktopScale(200, 0), 2.0);
    EXPECT_EQ(DesktopScale(384, 0), 4.0);
    EXPECT_EQ(DesktopScale(10000, 0), 4.0);
    EXPECT_EQ(DesktopScale(std::numeric_limits<double>::infinity(), 0), 1.0);
}

TEST(DesktopScale, LengthsAreRoundedToWholePixels) {
    EXPECT_EQ(Scaled(15, 2), 30);
    EXPECT_EQ(Scaled(15, 1.25), 19); // 18.75
    EXPECT_EQ(Scaled(1, 1.25), 1);
    EXPECT_EQ(Scaled(1, 1.5), 2);
    EXPECT_EQ(Scaled(400, 1.5), 600);
}

TEST(DpiOfResource, ReadsAPositiveNumberBetweenBlanks) {
    EXPECT_EQ(DpiOfResource("192"), 192.0);
    EXPECT_EQ(DpiOfResource("  144.5\t"), 144.5);
    EXPECT_EQ(DpiOfResource("96"), 96.0);
}

TEST(DpiOfResource, AnythingElseIsNoValue) {
    for (const char* value :
         {"", "   ", "high", "192dpi", "192 96", "-96", "0", "nan", "inf", "1e999"})
        EXPECT_EQ(DpiOfResource(value), 0.0) << "'" << value << "'";
}

TEST(PixelDensity, IsThePixelsOfAWindowForEachUnitOfItsSize) {
    const struct {
        int pixels, units;
        double density;
    } cases[] = {
        {800, 400, 2}, {1200, 400, 3}, {600, 400, 1.5}, {400, 400, 1},
        {0, 400, 1},   {800, 0, 1},    {-5, 400, 1},    {200, 400, 1}, // never fewer pixels
    };
    for (const auto& c : cases)
        EXPECT_EQ(PixelDensity(c.pixels, c.units), c.density) << c.pixels << " for " << c.units;
}
