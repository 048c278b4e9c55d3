#include <gtest/gtest.h>

#include "Canvas.h"
#include "MainWindowControls.h"
#include "kvSwitch.h"
#include "kvoeLed.h"

namespace {

TColor Px(const QImage& image, int x, int y) { return PixelAt(image, x, y).value_or(0xFFFFFFFFu); }

// Colours of a 13 x 13 LED: the bevel ring, the support inside it, and the 5 x 5 light.
struct LedLook {
    TColor support, light;
};

void ExpectLed(const QImage& image, LedLook look)
{
    ASSERT_EQ(image.size(), QSize(13, 13));
    for (int y = 0; y < 13; ++y)
        for (int x = 0; x < 13; ++x) {
            TColor expected;
            if ((y == 0 && x < 12) || (x == 0 && y < 13))
                expected = clWhite; // raised: light top and left
            else if (x == 12 || y == 12)
                expected = clGray;
            else if (x >= 4 && x < 9 && y >= 4 && y < 9)
                expected = look.light;
            else
                expected = look.support;
            ASSERT_EQ(Px(image, x, y), expected) << "pixel (" << x << ", " << y << ")";
        }
}

TEST(MainWindowControls, DriverStatusLedStates)
{
    TkvoeBasicLed led;
    ConfigureDriverStatusLed(led);
    EXPECT_TRUE(led.StandBy());
    ExpectLed(led.Image(), {clSilver, clSilver});
    led.SetStandBy(false);
    ExpectLed(led.Image(), {clMaroon, clRed});
    led.SetActive(true);
    ExpectLed(led.Image(), {clLime, clLime});
}

TEST(MainWindowControls, LoopLedStates)
{
    TkvoeBasicLed led;
    ConfigureLoopLed(led);
    ExpectLed(led.Image(), {clSilver, clSilver});
    led.SetStandBy(false);
    ExpectLed(led.Image(), {clGreen, clGreen});
    led.SetActive(true);
    ExpectLed(led.Image(), {clLime, clLime});
}

TEST(MainWindowControls, OutputSwitchIsAHorizontalSlideOf29By16)
{
    TkvSwitch sw;
    ConfigureOutputSwitch(sw);
    EXPECT_EQ(sw.size(), QSize(29, 16));
    EXPECT_EQ(sw.Orientation(), soHorizontal);
    EXPECT_EQ(sw.ButtonRect(), (TSwitchButtonRect{2, 2, 14, 14}));
    EXPECT_EQ(Px(sw.Image(), 8, 8), clMaroon);
    EXPECT_EQ(Px(sw.Image(), 20, 8), clBlack);
    sw.SetSwitchOn(true);
    EXPECT_EQ(sw.ButtonRect(), (TSwitchButtonRect{15, 2, 27, 14}));
    EXPECT_EQ(Px(sw.Image(), 20, 8), clRed);
    EXPECT_EQ(Px(sw.Image(), 8, 8), clBlack);
}

} // namespace
