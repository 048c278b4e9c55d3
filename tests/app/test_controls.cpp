#include "MainWindowControls.h"
#include "PixelTest.h"
#include "kvDGraph.h"
#include "kvSwitch.h"
#include "kvoeLed.h"

namespace {

// A 13 x 13 LED: the raised bevel ring, the support inside it, and the 5 x 5 light.
void ExpectLed(const QImage& image, TColor support, TColor light)
{
    ASSERT_EQ(image.size(), QSize(13, 13));
    ExpectRaisedBevel(image, clWhite, clGray, clGray);
    EXPECT_TRUE(AreaIs(image, 4, 4, 9, 9, light));
    for (const QRect r : {QRect(1, 1, 11, 3), QRect(1, 9, 11, 3), QRect(1, 4, 3, 5), QRect(9, 4, 3, 5)})
        EXPECT_TRUE(AreaIs(image, r.left(), r.top(), r.right() + 1, r.bottom() + 1, support));
}

// Both start in stand-by, silver all over, and turn lime when active.
TEST(MainWindowControls, StatusLedStates)
{
    const struct {
        const char* name;
        void (*configure)(TkvoeBasicLed&);
        TColor inactiveSupport, inactiveLight;
    } leds[] = {{"driver", ConfigureDriverStatusLed, clMaroon, clRed}, {"loop", ConfigureLoopLed, clGreen, clGreen}};
    for (const auto& l : leds) {
        SCOPED_TRACE(l.name);
        TkvoeBasicLed led;
        l.configure(led);
        EXPECT_TRUE(led.StandBy());
        ExpectLed(led.Image(), clSilver, clSilver);
        led.SetStandBy(false);
        ExpectLed(led.Image(), l.inactiveSupport, l.inactiveLight);
        led.SetActive(true);
        ExpectLed(led.Image(), clLime, clLime);
    }
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

TEST(MainWindowControls, MainGraphDrawsTheWorkedExample)
{
    TkvDGraph graph;
    ConfigureMainGraph(graph);
    EXPECT_EQ(graph.NumTraces(), 17);
    EXPECT_EQ(TraceLabelFields(graph.TraceLabels(), 17).at(15), "Init/Reset (Out)");
    EXPECT_EQ(graph.ScaleText(), TScaleText{stLeft});
    graph.SetBounds(0, 0, 720, 211);
    graph.SetValuePosition(vpFullWidth);
    const QString low(17, QLatin1Char('0'));
    for (int i = 0; i < 64; ++i)
        graph.AddValues(i == 3 ? QStringLiteral("1") + low.mid(1) : low, false);
    graph.Paint();
    const QImage& image = graph.Image();
    const struct {
        int x, y;
        TColor colour;
    } points[] = {
        // The sunken frame, a grid line of each kind.
        {84, 100, kDarkGrey}, {719, 100, clWhite}, {148, 100, clGreen}, {300, 13, clGreen},
        // Trace 1: low from the start, up at sample 3 (115 - 2), down again at sample 4 (125 - 2).
        {83, 9, clAqua}, {100, 9, clAqua}, {113, 7, clAqua}, {118, 5, clAqua}, {118, 9, clNavy}, {123, 7, clAqua},
        // Trace 17 low up to the newest sample at 719 - 2, whose point is not painted.
        {716, 206, clAqua}, {717, 206, clNavy}, {400, 201, clNavy}};
    for (const auto& p : points)
        EXPECT_EQ(Px(image, p.x, p.y), p.colour) << "pixel (" << p.x << ", " << p.y << ")";
    // Labels stand in the left margin.
    int ink = 0;
    for (int y = 0; y < 211; ++y)
        for (int x = 0; x < 82; ++x)
            ink += Px(image, x, y) != clNavy;
    EXPECT_GT(ink, 17 * 10);
}

} // namespace
