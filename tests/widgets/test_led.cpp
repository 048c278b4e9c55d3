#include <gtest/gtest.h>

#include "PixelTest.h"
#include "kvoeLed.h"

namespace {

TEST(LightOrigin, CentresTruncatingTowardZeroThenOffsets)
{
    struct Case {
        int ledW, ledH, lightW, lightH, dx, dy;
        QPoint expected;
    };
    const Case cases[] = {
        {13, 13, 5, 5, 0, 0, {4, 4}},   {13, 13, 4, 4, 0, 0, {4, 4}},   // 4.5 gives 4
        {13, 13, 20, 20, 0, 0, {-3, -3}}, // -3.5 gives -3, not -4
        {12, 12, 5, 5, 1, -1, {4, 2}},  {13, 9, 13, 9, 0, 0, {0, 0}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LightOrigin(c.ledW, c.ledH, c.lightW, c.lightH, c.dx, c.dy), c.expected)
            << c.ledW << "x" << c.ledH << " light " << c.lightW << "x" << c.lightH;
}

TEST(Led, ConstructionGivesAnInactiveLedWithBlackLightOnGrey)
{
    TkvoeBasicLed led;
    EXPECT_EQ(led.size(), QSize(13, 13));
    EXPECT_FALSE(led.Active());
    EXPECT_FALSE(led.StandBy());
    EXPECT_EQ(led.Light().Width(), 5);
    EXPECT_EQ(led.Light().BorderStyle(), bsNone);
    EXPECT_EQ(led.Support().BorderStyle(), bsRaised);
    EXPECT_EQ(led.Support().Width(), 13);
    const QImage& image = led.Image();
    ASSERT_EQ(image.size(), QSize(13, 13));
    EXPECT_TRUE(AreaIs(image, 4, 4, 9, 9, clBlack));
    EXPECT_TRUE(AreaIs(image, 1, 1, 12, 4, clGray));
    EXPECT_TRUE(AreaIs(image, 9, 1, 12, 12, clGray));
    ExpectRaisedBevel(image, clWhite, clGray, clGray);
}

TEST(Led, StandByWinsOverActiveAndClearingItShowsActive)
{
    TkvoeBasicLed led;
    led.SetActive(true);
    EXPECT_TRUE(AreaIs(led.Image(), 4, 4, 9, 9, clLime));
    EXPECT_TRUE(AreaIs(led.Image(), 1, 1, 12, 4, clGreen));
    led.SetStandBy(true);
    EXPECT_TRUE(AreaIs(led.Image(), 1, 1, 12, 12, clSilver));
    led.SetStandBy(false);
    EXPECT_TRUE(led.Active());
    EXPECT_TRUE(AreaIs(led.Image(), 4, 4, 9, 9, clLime));
    EXPECT_TRUE(AreaIs(led.Image(), 9, 1, 12, 12, clGreen));
}

TEST(Led, UnchangedValuesDoNotRepaint)
{
    TkvoeBasicLed led;
    const int before = led.DrawCount();
    led.SetActive(false);
    led.SetStandBy(false);
    led.SetLightHorzOffset(0);
    led.Light().SetActiveColor(clLime);
    EXPECT_EQ(led.DrawCount(), before);
    led.SetActive(true);
    EXPECT_GT(led.DrawCount(), before);
}

TEST(Led, ShapeChangesRepaintTheOwner)
{
    TkvoeBasicLed led;
    led.SetActive(true);
    const int before = led.DrawCount();
    led.Light().SetActiveColor(clBlue);
    EXPECT_EQ(led.DrawCount(), before + 1);
    EXPECT_TRUE(AreaIs(led.Image(), 4, 4, 9, 9, clBlue));
    led.Support().SetHilightColor(clRed);
    ExpectRaisedBevel(led.Image(), clRed, clGray, clGray);
}

TEST(Led, OffsetsMoveTheLight)
{
    TkvoeBasicLed led;
    led.SetLightHorzOffset(2);
    led.SetLightVertOffset(-1);
    EXPECT_TRUE(AreaIs(led.Image(), 6, 3, 11, 8, clBlack));
    EXPECT_TRUE(AreaIs(led.Image(), 4, 4, 6, 8, clGray));
}

TEST(Led, ALightLargerThanTheLedIsClipped)
{
    TkvoeBasicLed led;
    led.Light().SetWidth(20);
    led.Light().SetHeight(20);
    EXPECT_TRUE(AreaIs(led.Image(), 0, 0, 13, 13, clBlack));
}

TEST(Led, OnlyRectangleRoundRectAndEllipseAreAccepted)
{
    TkvoeBasicLed led;
    for (TShapeType refused : {stSquare, stRoundSquare, stCircle}) {
        led.Light().SetShape(refused);
        EXPECT_EQ(led.Light().Shape(), stRectangle);
    }
    led.Light().SetShape(stEllipse);
    EXPECT_EQ(led.Light().Shape(), stEllipse);
    led.Light().SetShape(stCircle);
    EXPECT_EQ(led.Light().Shape(), stEllipse);
}

TEST(Led, ANonRectangularLightStandsOnTheSupportsColourOfTheState)
{
    TkvoeBasicLed led;
    led.Light().SetWidth(7);
    led.Light().SetHeight(7);
    led.Light().SetShape(stEllipse);
    // The light spans (3, 3) to (10, 10); its corners are behind the ellipse.
    for (auto [standBy, active, corner, body] :
         {std::tuple{true, false, clSilver, clSilver}, {false, true, clGreen, clLime},
          {false, false, clGray, clBlack}}) {
        led.SetStandBy(standBy);
        led.SetActive(active);
        EXPECT_EQ(Px(led.Image(), 3, 3), corner) << standBy << active;
        EXPECT_EQ(Px(led.Image(), 9, 9), corner) << standBy << active;
        EXPECT_EQ(Px(led.Image(), 6, 6), body) << standBy << active;
    }
}

TEST(Led, BevelRingsFollowBorderWidthAndStyle)
{
    TkvoeBasicLed led;
    led.Support().SetBorderWidth(2);
    const QImage& image = led.Image();
    EXPECT_EQ(Px(image, 1, 1), clWhite);
    EXPECT_EQ(Px(image, 1, 10), clWhite);
    EXPECT_EQ(Px(image, 11, 1), clGray);
    EXPECT_EQ(Px(image, 2, 11), clGray);
    EXPECT_EQ(Px(image, 2, 2), clGray); // body, inactive grey
    led.Support().SetInactiveColor(clMaroon);
    led.Support().SetBorderStyle(bsLowered);
    EXPECT_EQ(Px(led.Image(), 0, 0), clGray);
    EXPECT_EQ(Px(led.Image(), 12, 12), clWhite);
    EXPECT_EQ(Px(led.Image(), 2, 2), clMaroon);
}

TEST(Led, SingleBorderOutlinesTheBodyInTheBorderColour)
{
    TkvoeBasicLed led;
    led.Support().SetBorderStyle(bsSingle);
    EXPECT_TRUE(AreaIs(led.Image(), 0, 0, 13, 1, clBlue));
    EXPECT_TRUE(AreaIs(led.Image(), 12, 0, 13, 13, clBlue));
    EXPECT_TRUE(AreaIs(led.Image(), 1, 1, 4, 12, clGray));
}

TEST(Led, SetBoundsResizesImageAndSupport)
{
    TkvoeBasicLed led;
    led.SetBounds(0, 0, 21, 17);
    EXPECT_EQ(led.Image().size(), QSize(21, 17));
    EXPECT_EQ(led.Support().Width(), 21);
    EXPECT_EQ(led.Support().Height(), 17);
    led.Paint();
    EXPECT_TRUE(AreaIs(led.Image(), 8, 6, 13, 11, clBlack)); // (21 - 5) / 2 = 8, (17 - 5) / 2 = 6
    EXPECT_EQ(Px(led.Image(), 20, 16), clGray);
}

} // namespace
