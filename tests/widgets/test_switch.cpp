#include <vector>

#include "PixelTest.h"
#include "UiInput.h"
#include "kvSwitch.h"

namespace {

TEST(SwitchGeometry, RoundHalfEven)
{
    const std::pair<double, int> cases[] = {{12.5, 12}, {13.5, 14}, {13.0, 13}, {2.4, 2}, {2.6, 3},
                                            {0.5, 0},   {-0.5, 0},  {-1.5, -2}, {-2.6, -3}};
    for (const auto& [x, expected] : cases)
        EXPECT_EQ(RoundHalfEven(x), expected) << x;
}

TEST(SwitchGeometry, ButtonRectangles)
{
    struct Case {
        TSwitchStyle style;
        TSwitchOrientation orientation;
        int w, h, hm, vm;
        bool on;
        TSwitchButtonRect expected;
    };
    const Case cases[] = {
        // The main window's switches.
        {ssSlideButton, soHorizontal, 29, 16, 2, 2, false, {2, 2, 14, 14}},
        {ssSlideButton, soHorizontal, 29, 16, 2, 2, true, {15, 2, 27, 14}},
        // nearest(13) = 13 and nearest(13.5) = 14.
        {ssSlideButton, soHorizontal, 30, 16, 2, 2, false, {2, 2, 15, 14}},
        {ssSlideButton, soHorizontal, 31, 16, 2, 2, false, {2, 2, 16, 14}},
        {ssSlideButton, soHorizontal, 31, 16, 2, 2, true, {15, 2, 29, 14}},
        // The default vertical switch: 16 x 29, nearest(12.5) = 12.
        {ssSlideButton, soVertical, 16, 29, 2, 2, true, {2, 2, 14, 14}},
        {ssSlideButton, soVertical, 16, 29, 2, 2, false, {2, 15, 14, 27}},
        {ssSlideButton, soVertical, 16, 30, 3, 1, false, {3, 15, 13, 29}},
        // A push button takes the whole inner area whatever its state.
        {ssPushButton, soVertical, 20, 20, 2, 3, true, {2, 3, 18, 17}},
        {ssPushButton, soVertical, 20, 20, 2, 3, false, {2, 3, 18, 17}},
        {ssPushButton, soHorizontal, 20, 20, 2, 3, true, {2, 3, 18, 17}},
        {ssPushButton, soHorizontal, 20, 20, 2, 3, false, {2, 3, 18, 17}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SwitchButtonRect(c.style, c.orientation, c.w, c.h, c.hm, c.vm, c.on), c.expected)
            << c.w << "x" << c.h << " style " << int(c.style) << " orientation " << int(c.orientation) << " on "
            << c.on;
}

// A switch configured like the main window's output switches.
struct MainSwitch {
    TkvSwitch sw;
    std::vector<bool> changes; // SwitchOn as seen by each OnChange
    MainSwitch()
    {
        sw.SetBounds(0, 0, 29, 16);
        sw.SetOrientation(soHorizontal);
        QObject::connect(&sw, &TkvSwitch::OnChange, &sw, [this](TkvSwitch* sender) {
            EXPECT_EQ(sender, &sw);
            changes.push_back(sender->SwitchOn());
        });
    }
    void Press(Qt::MouseButton button) { ui::SendMouse(&sw, QEvent::MouseButtonPress, button, button, {3, 3}); }
};

TEST(Switch, Defaults)
{
    TkvSwitch sw;
    EXPECT_EQ(sw.width(), 16);
    EXPECT_EQ(sw.height(), 29);
    EXPECT_EQ(sw.SwitchStyle(), ssSlideButton);
    EXPECT_EQ(sw.Orientation(), soVertical);
    EXPECT_EQ(sw.Border(), btLowered);
    EXPECT_EQ(sw.ButtonBorder(), btRaised);
    EXPECT_EQ(sw.LitOnColor(), clRed);
    EXPECT_EQ(sw.LitOffColor(), clMaroon);
    EXPECT_EQ(sw.DisabledColor(), clSilver);
    EXPECT_FALSE(sw.SwitchOn());
    EXPECT_EQ(sw.Image().size(), QSize(16, 29));
}

TEST(Switch, EachPressOrRealChangeRaisesOnChangeOnceWithTheNewDrawing)
{
    MainSwitch m;
    std::vector<TColor> seen; // the right end of the frame as drawn when OnChange came
    QObject::connect(&m.sw, &TkvSwitch::OnChange, &m.sw, [&] { seen.push_back(Px(m.sw.Image(), 20, 8)); });
    m.Press(Qt::LeftButton);
    ui::Release(&m.sw, {3, 3}); // nothing
    m.Press(Qt::RightButton);
    m.Press(Qt::MiddleButton);
    m.sw.SetSwitchOn(true); // unchanged: nothing
    m.sw.SetSwitchOn(false);
    m.sw.setEnabled(false);
    m.Press(Qt::LeftButton); // disabled: nothing
    EXPECT_EQ(m.changes, (std::vector<bool>{true, false, true, false}));
    EXPECT_EQ(seen, (std::vector<TColor>{clRed, clBlack, clRed, clBlack}));
}

TEST(Switch, EnabledDrawingOffAndOn)
{
    MainSwitch m;
    const QImage& image = m.sw.Image();
    // Lowered frame: dark grey top and left, white right and bottom.
    EXPECT_TRUE(AreaIs(image, 0, 0, 28, 1, kDarkGrey));
    EXPECT_TRUE(AreaIs(image, 0, 0, 1, 16, kDarkGrey));
    EXPECT_TRUE(AreaIs(image, 28, 0, 29, 15, clWhite));
    EXPECT_TRUE(AreaIs(image, 1, 15, 29, 16, clWhite));
    // Off: raised maroon button at (2, 2, 14, 14) on the black frame.
    EXPECT_TRUE(AreaIs(image, 2, 2, 13, 3, clWhite));
    EXPECT_TRUE(AreaIs(image, 2, 2, 3, 13, clWhite));
    EXPECT_TRUE(AreaIs(image, 13, 2, 14, 14, kDarkGrey));
    EXPECT_TRUE(AreaIs(image, 3, 13, 14, 14, kDarkGrey));
    EXPECT_TRUE(AreaIs(image, 3, 3, 13, 13, clMaroon));
    EXPECT_TRUE(AreaIs(image, 14, 1, 28, 15, clBlack));
    m.sw.SetSwitchOn(true);
    EXPECT_TRUE(AreaIs(image, 16, 3, 26, 13, clRed));
    EXPECT_EQ(Px(image, 15, 2), clWhite);
    EXPECT_EQ(Px(image, 26, 13), kDarkGrey);
    EXPECT_TRUE(AreaIs(image, 1, 1, 15, 15, clBlack));
}

TEST(Switch, DisabledDrawingUsesTheDisabledColourAndKeepsTheBevels)
{
    MainSwitch m;
    m.sw.SetSwitchOn(true);
    m.sw.setEnabled(false);
    const QImage& image = m.sw.Image();
    EXPECT_TRUE(AreaIs(image, 1, 1, 15, 15, clSilver));
    EXPECT_TRUE(AreaIs(image, 16, 3, 26, 13, clSilver));
    EXPECT_EQ(Px(image, 0, 0), kDarkGrey);
    EXPECT_EQ(Px(image, 28, 5), clWhite);
    EXPECT_EQ(Px(image, 15, 2), clWhite);
    EXPECT_EQ(Px(image, 26, 2), kDarkGrey);
    m.sw.setEnabled(true);
    EXPECT_TRUE(AreaIs(image, 16, 3, 26, 13, clRed));
}

TEST(Switch, SingleBordersOutlineFrameAndButton)
{
    MainSwitch m;
    m.sw.SetBorder(btSingle);
    m.sw.SetBorderColor(clBlue);
    m.sw.SetButtonBorder(btSingle);
    m.sw.SetButtonBorderColor(clAqua);
    const QImage& image = m.sw.Image();
    EXPECT_TRUE(AreaIs(image, 0, 0, 29, 1, clBlue));
    EXPECT_TRUE(AreaIs(image, 0, 15, 29, 16, clBlue));
    EXPECT_TRUE(AreaIs(image, 2, 2, 14, 3, clAqua));
    EXPECT_TRUE(AreaIs(image, 13, 2, 14, 14, clAqua));
    EXPECT_TRUE(AreaIs(image, 3, 3, 13, 13, clMaroon));
}

TEST(Switch, StyleChangesResize)
{
    TkvSwitch sw;
    sw.SetBounds(0, 0, 29, 16);
    sw.SetSwitchStyle(ssPushButton);
    EXPECT_EQ(sw.size(), QSize(29, 29));
    sw.SetOrientation(soHorizontal);
    EXPECT_EQ(sw.size(), QSize(29, 29)); // orientation keeps the size
    sw.SetSwitchStyle(ssSlideButton);
    EXPECT_EQ(sw.size(), QSize(58, 29));
    sw.SetSwitchStyle(ssPushButton);
    sw.SetOrientation(soVertical);
    sw.SetSwitchStyle(ssSlideButton);
    EXPECT_EQ(sw.size(), QSize(58, 116));
    EXPECT_EQ(sw.Image().size(), QSize(58, 116));
}

TEST(Switch, PushButtonLooksRaisedOffAndPressedOn)
{
    TkvSwitch sw;
    sw.SetSwitchStyle(ssPushButton); // 16 x 16
    sw.SetButtonBorder(btNone);      // a push button draws its bevel anyway
    EXPECT_EQ(Px(sw.Image(), 2, 2), clWhite);
    EXPECT_EQ(Px(sw.Image(), 13, 13), kDarkGrey);
    EXPECT_EQ(Px(sw.Image(), 8, 8), clMaroon);
    sw.SetSwitchOn(true);
    EXPECT_EQ(Px(sw.Image(), 2, 2), kDarkGrey);
    EXPECT_EQ(Px(sw.Image(), 13, 13), clWhite);
    EXPECT_EQ(Px(sw.Image(), 8, 8), clRed);
}

TEST(Switch, UnchangedPropertiesDoNotRepaint)
{
    MainSwitch m;
    const int before = m.sw.DrawCount();
    m.sw.SetBGColor(clBlack);
    m.sw.SetHorzMargin(2);
    m.sw.SetOrientation(soHorizontal);
    m.sw.SetSwitchStyle(ssSlideButton);
    EXPECT_EQ(m.sw.DrawCount(), before);
    m.sw.SetVertMargin(3);
    EXPECT_EQ(m.sw.DrawCount(), before + 1);
    EXPECT_EQ(m.sw.ButtonRect(), (TSwitchButtonRect{2, 3, 14, 13}));
}

} // namespace
