#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <stdexcept>

#include "PixelTest.h"
#include "ReferenceGraph.h"
#include "kvDGraph.h"

namespace {

TEST(Graph, Defaults)
{
    TkvDGraph graph;
    EXPECT_EQ(graph.Width(), 433);
    EXPECT_EQ(graph.Height(), 305);
    EXPECT_EQ(graph.Image().size(), QSize(433, 305));
    EXPECT_EQ(graph.NumTraces(), 12);
    EXPECT_EQ(graph.Spacing(), 12);
    EXPECT_EQ(graph.TraceLabelsVertOffset(), 1);
    EXPECT_EQ(graph.GridType(), gtBoth);
    EXPECT_EQ(graph.ValuePosition(), vpPixels);
    EXPECT_EQ(graph.BGColor(), clSilver);
    EXPECT_TRUE(graph.CTL3D());
    EXPECT_EQ(graph.Border(), btRaised);
    EXPECT_EQ(graph.GraphColor(), clBlack);
    EXPECT_EQ(graph.GridColor(), clGreen);
    EXPECT_EQ(graph.TracesColor(), clAqua);
    EXPECT_EQ(graph.LeftMargin(), 55);
    EXPECT_EQ(graph.RightMargin(), 4);
    EXPECT_EQ(graph.TopMargin(), 4);
    EXPECT_EQ(graph.BottomMargin(), 4);
    EXPECT_EQ(graph.RightOffset(), 2);
    EXPECT_EQ(graph.HorzMinVal(), 0.0f);
    EXPECT_EQ(graph.HorzMaxVal(), 100.0f);
    EXPECT_EQ(graph.HorzUnit(), "ms");
    EXPECT_EQ(graph.HorzDiv(), 10);
    EXPECT_EQ(graph.HorzDecNum(), 0);
    EXPECT_EQ(graph.ScaleText().Byte(), 0x01);
    EXPECT_EQ(graph.TextColor(), clBlue);
    EXPECT_EQ(graph.TextSize(), 8);
    EXPECT_EQ(graph.MaxItems(), 0);
    EXPECT_TRUE(graph.LstValues().isEmpty());
}

TEST(Graph, ScaleTextIsAByteSet)
{
    EXPECT_EQ((TScaleText{stLeft, stTop}).Byte(), 0x09);
    EXPECT_EQ((TScaleText{stRight, stBottom}).Byte(), 0x06);
    const TScaleText s = TScaleText::FromByte(0x0C);
    EXPECT_FALSE(s.Contains(stLeft));
    EXPECT_FALSE(s.Contains(stRight));
    EXPECT_TRUE(s.Contains(stBottom));
    EXPECT_TRUE(s.Contains(stTop));
}

// A small graph without texts: 50 pixels wide, plot from x 10 to 40 over the whole height, a
// band of 10 pixels for each trace; with two traces and spacing 4, traces at 2/8 and 12/18.
struct SmallGraph {
    TkvDGraph graph;
    explicit SmallGraph(int traces = 2, int spacing = 4)
    {
        graph.SetBounds(0, 0, 50, 10 * traces);
        graph.SetScaleText(TScaleText{});
        graph.SetGridType(gtNone);
        graph.SetCTL3D(false);
        graph.SetBorder(btNone);
        graph.SetBGColor(clNavy);
        graph.SetNumTraces(traces);
        graph.SetSpacing(spacing);
        graph.SetLeftMargin(10);
        graph.SetRightMargin(10);
        graph.SetTopMargin(0);
        graph.SetBottomMargin(0);
    }
    void Samples(std::initializer_list<const char*> samples)
    {
        graph.Clear();
        for (const char* s : samples)
            graph.AddValues(QString::fromLatin1(s), false);
        graph.Paint();
    }
    TColor At(int x, int y) const { return Px(graph.Image(), x, y); }
};

TEST(Graph, SquareWaveLevelsEdgesAndEndPoints)
{
    SmallGraph s;
    s.graph.SetRightOffset(0);
    // Trace 1: 1 1 1 0 0 1 at x = 10 .. 15; trace 2 stays low.
    s.Samples({"10", "10", "10", "00", "00", "10"});
    const QImage& image = s.graph.Image();
    EXPECT_TRUE(AreaIs(image, 10, 2, 14, 3, clAqua)); // high held from 10 to the edge at 13
    EXPECT_TRUE(AreaIs(image, 13, 3, 14, 8, clAqua)); // falling edge at sample 3
    EXPECT_TRUE(AreaIs(image, 13, 8, 15, 9, clAqua)); // low held
    EXPECT_TRUE(AreaIs(image, 15, 3, 16, 9, clAqua)); // rising edge at sample 5
    EXPECT_EQ(s.At(15, 2), clBlack);                   // the last end point is not painted
    EXPECT_TRUE(AreaIs(image, 16, 0, 40, 10, clBlack));
    EXPECT_TRUE(AreaIs(image, 11, 3, 13, 8, clBlack));
    // Trace 2: low from 10 to 14, the last sample's position not painted.
    EXPECT_TRUE(AreaIs(image, 10, 18, 15, 19, clAqua));
    EXPECT_EQ(s.At(15, 18), clBlack);
    EXPECT_TRUE(AreaIs(image, 10, 12, 40, 18, clBlack));
}

TEST(Graph, RightOffsetShiftsEverySampleButTheStart)
{
    SmallGraph s; // RightOffset 2
    s.Samples({"00", "00", "00", "10"});
    const QImage& image = s.graph.Image();
    // Start at (10, 8), first line back to (8, 8), then samples at 9, 10, 11.
    EXPECT_TRUE(AreaIs(image, 8, 8, 11, 9, clAqua));
    EXPECT_TRUE(AreaIs(image, 11, 3, 12, 9, clAqua)); // rising edge of sample 3 at 13 - 2
    EXPECT_EQ(s.At(11, 2), clBlack);
    EXPECT_EQ(s.At(7, 8), clNavy);
    EXPECT_TRUE(AreaIs(image, 12, 0, 40, 10, clBlack));
}

TEST(Graph, OneThenZeroDrawsAFallingEdgeAtTheSecondSample)
{
    SmallGraph s;
    s.graph.SetRightOffset(0);
    s.Samples({"01", "00", "00"});
    // Trace 2 (levels 12 and 18): starts high at (10, 12); the edge at x 10 first goes down to
    // the low start level and back up; sample 1 falls at x 11.
    const QImage& image = s.graph.Image();
    EXPECT_TRUE(AreaIs(image, 10, 12, 11, 19, clAqua)); // start: down to the low level and back up
    EXPECT_TRUE(AreaIs(image, 11, 12, 12, 19, clAqua)); // the falling edge at sample 1
    EXPECT_EQ(s.At(12, 18), clBlack); // end point
    EXPECT_TRUE(AreaIs(image, 12, 10, 40, 20, clBlack));
}

TEST(Graph, AForeignCharacterEndsOnlyItsTrace)
{
    SmallGraph s(4, 2); // low levels at 9, 19, 29, 39
    s.graph.SetRightOffset(0);
    s.Samples({"0000", "0000", "0000", "00x0", "0000", "00", "0000", "0000", "0000", "0000"});
    const QImage& image = s.graph.Image();
    EXPECT_TRUE(AreaIs(image, 10, 9, 19, 10, clAqua));  // trace 1 up to sample 9
    EXPECT_TRUE(AreaIs(image, 10, 19, 19, 20, clAqua)); // trace 2
    EXPECT_TRUE(AreaIs(image, 10, 29, 12, 30, clAqua)); // trace 3 ends at sample 3: the pen stops at 12
    EXPECT_TRUE(AreaIs(image, 12, 29, 40, 30, clBlack));
    EXPECT_TRUE(AreaIs(image, 10, 39, 14, 40, clAqua)); // trace 4 ends at the short sample 5
    EXPECT_TRUE(AreaIs(image, 14, 39, 40, 40, clBlack));
    // Malformed samples are stored unchanged.
    EXPECT_EQ(s.graph.LstValues()[3], "00x0");
    EXPECT_EQ(s.graph.LstValues()[5], "00");
}

TEST(Graph, PixelPositionsLeaveOutSamplesBeyondThePlot)
{
    SmallGraph s; // PW 30
    s.graph.SetRightOffset(0);
    s.graph.Clear();
    for (int i = 0; i < 40; ++i)
        s.graph.AddValues(QString::fromLatin1(i <= 30 ? "00" : "11"), false);
    s.graph.Paint();
    const QImage& image = s.graph.Image();
    EXPECT_TRUE(AreaIs(image, 10, 8, 40, 9, clAqua)); // samples 0 to 30
    EXPECT_TRUE(AreaIs(image, 40, 0, 50, 20, clNavy)); // nothing of samples 31 on
    EXPECT_TRUE(AreaIs(image, 10, 0, 40, 8, clBlack));
}

TEST(Graph, FullWidthWithOneOrTwoSamplesDrawsOnlyAtTheLeftEdge)
{
    SmallGraph s;
    s.graph.SetValuePosition(vpFullWidth);
    for (auto samples : {std::initializer_list<const char*>{"11"}, {"11", "11"}}) {
        s.Samples(samples);
        const QImage& image = s.graph.Image();
        // From (10, 2) down to (8, 8), then up the edge at x 8.
        EXPECT_TRUE(AreaIs(image, 8, 3, 9, 9, clAqua)) << samples.size();
        EXPECT_EQ(s.At(8, 2), clNavy) << samples.size(); // the end point, also of sample 1's empty line
        EXPECT_TRUE(AreaIs(image, 11, 0, 40, 20, clBlack)) << samples.size();
    }
    // Three samples: the newest at L + PW, drawn 2 pixels further left.
    s.Samples({"00", "00", "10"});
    EXPECT_TRUE(AreaIs(s.graph.Image(), 10, 8, 38, 9, clAqua));
    EXPECT_TRUE(AreaIs(s.graph.Image(), 38, 3, 39, 9, clAqua));
    EXPECT_TRUE(AreaIs(s.graph.Image(), 11, 3, 38, 8, clBlack));
}

TEST(Graph, BordersOfTheWholeControl)
{
    struct Case {
        TBorderType border;
        TColor topLeft, bottomRight, left, right;
    };
    const Case cases[] = {
        {btNone, clNavy, clNavy, clNavy, clNavy},
        {btSingle, clBlack, clBlack, clBlack, clBlack},
        {btRaised, clWhite, kDarkGrey, clWhite, kDarkGrey},
        {btLowered, kDarkGrey, clWhite, kDarkGrey, clWhite},
    };
    for (const Case& c : cases) {
        SmallGraph s;
        s.graph.SetBorder(c.border);
        s.graph.Paint();
        EXPECT_EQ(s.At(0, 0), c.topLeft) << int(c.border);
        EXPECT_EQ(s.At(49, 19), c.bottomRight) << int(c.border);
        EXPECT_EQ(s.At(0, 10), c.left) << int(c.border);
        EXPECT_EQ(s.At(49, 10), c.right) << int(c.border);
        EXPECT_EQ(s.At(1, 10), clNavy) << int(c.border);
    }
}

// The main window's graph without its texts, at the size of the worked example.
struct MainLikeGraph {
    TkvDGraph graph;
    MainLikeGraph()
    {
        graph.SetBounds(0, 0, 720, 211);
        graph.SetNumTraces(17);
        graph.SetSpacing(8);
        graph.SetBGColor(clNavy);
        graph.SetBorder(btNone);
        graph.SetGraphColor(clNavy);
        graph.SetTextColor(clAqua);
        graph.SetLeftMargin(85);
        graph.SetRightMargin(1);
        graph.SetTopMargin(1);
        graph.SetBottomMargin(1);
        graph.SetScaleText(TScaleText{});
    }
};

// The frame, and the grid lines and band separators at the positions of the worked example.
TEST(Graph, SunkenFrameAndGridOfTheMainGraph)
{
    MainLikeGraph m;
    const QImage& image = m.graph.Image();
    EXPECT_TRUE(AreaIs(image, 84, 0, 85, 210, kDarkGrey));  // left
    EXPECT_TRUE(AreaIs(image, 84, 0, 719, 1, kDarkGrey));   // top
    EXPECT_TRUE(AreaIs(image, 719, 0, 720, 211, clWhite));  // right
    EXPECT_TRUE(AreaIs(image, 84, 210, 719, 211, clWhite)); // bottom
    for (int x : {148, 211, 275, 338, 402, 465, 528, 592, 655}) {
        EXPECT_TRUE(AreaIs(image, x, 1, x + 1, 210, clGreen)) << x;
        EXPECT_EQ(Px(image, x - 1, 5), clNavy) << x;
    }
    for (int y : {13, 25, 37, 50, 62, 74, 87, 99, 111, 123, 136, 148, 160, 173, 185, 197}) {
        EXPECT_TRUE(AreaIs(image, 85, y, 719, y + 1, clGreen)) << y;
        EXPECT_EQ(Px(image, 100, y + 1), clNavy) << y;
    }
    EXPECT_TRUE(AreaIs(image, 0, 0, 84, 211, clNavy));
}

TEST(Graph, NoTracesDrawsNeitherSeparatorsLabelsNorTraces)
{
    MainLikeGraph m;
    m.graph.SetScaleText(TScaleText{stLeft});
    m.graph.SetNumTraces(0);
    m.graph.AddValues(QStringLiteral("11111111111111111"), true);
    const QImage& image = m.graph.Image();
    EXPECT_TRUE(AreaIs(image, 0, 0, 84, 211, clNavy));
    EXPECT_TRUE(AreaIs(image, 85, 1, 148, 210, clNavy));
    EXPECT_TRUE(AreaIs(image, 148, 1, 149, 210, clGreen));
}

TEST(Graph, OneDivisionDrawsNoGridLineAndTwoScaleTexts)
{
    MainLikeGraph m;
    m.graph.SetTopMargin(30);
    m.graph.SetBottomMargin(30);
    m.graph.SetHorzDiv(1);
    m.graph.SetScaleText(TScaleText{stBottom, stTop});
    const QImage& image = m.graph.Image();
    for (int x = 85; x < 719; ++x)
        ASSERT_NE(Px(image, x, 100), clGreen) << x;
    // Ink of "0" just left of the plot and of "100" ending at its right edge, above and below.
    QImage probe = WhiteImage(1, 1);
    TCanvas measure(probe);
    measure.SetFont({QStringLiteral("Arial"), 8, clAqua});
    const int h = measure.TextHeight(QStringLiteral("0"));
    const int w100 = measure.TextWidth(QStringLiteral("100"));
    auto inked = [&](int x1, int y1, int x2, int y2) {
        int n = 0;
        for (int y = y1; y < y2; ++y)
            for (int x = x1; x < x2; ++x)
                n += Px(image, x, y) != clNavy && Px(image, x, y) != clWhite && Px(image, x, y) != kDarkGrey;
        return n;
    };
    const int bottom = 30 + 151 + 4; // T + PH + 4
    const int top = 30 - 4 - h;
    EXPECT_GT(inked(83, bottom, 83 + measure.TextWidth("0"), bottom + h), 0);
    EXPECT_GT(inked(719 - w100, bottom, 719, bottom + h), 0);
    EXPECT_GT(inked(83, top, 83 + measure.TextWidth("0"), top + h), 0);
    EXPECT_GT(inked(719 - w100, top, 719, top + h), 0);
    EXPECT_EQ(inked(100, bottom, 719 - w100, bottom + h), 0); // no inner step
    EXPECT_EQ(inked(0, 0, 83, 211), 0);                        // no labels
}

TEST(Graph, ScaleWithoutDivisionsStopsAfterTheLabels)
{
    MainLikeGraph m;
    m.graph.SetScaleText(TScaleText{stLeft, stBottom});
    m.graph.AddValues(QStringLiteral("11111111111111111"), false);
    m.graph.SetHorzDiv(0); // redraws, swallowing the failure
    const QImage& image = m.graph.Image();
    int labelInk = 0;
    for (int y = 0; y < 211; ++y)
        for (int x = 0; x < 81; ++x)
            labelInk += Px(image, x, y) != clNavy;
    EXPECT_GT(labelInk, 0);
    EXPECT_TRUE(AreaIs(image, 85, 2, 148, 13, clNavy)); // no trace in band 1
    EXPECT_TRUE(AreaIs(image, 84, 0, 85, 210, kDarkGrey));
    EXPECT_THROW(m.graph.DrawGraph(), TGraphDrawError);
    const int before = m.graph.DrawCount();
    EXPECT_NO_THROW(m.graph.Paint());
    EXPECT_EQ(m.graph.DrawCount(), before + 1);
}

TEST(Graph, LabelCellsStandWhereTheirBandsPutThem)
{
    MainLikeGraph m; // plot from x 85 to 640 (right margin 80), y 1 to 210, three bands
    m.graph.SetRightMargin(80);
    m.graph.SetNumTraces(3);
    m.graph.SetTraceLabels(QStringLiteral("Ack (In);;Busy"));
    const QString labels[] = {QStringLiteral("Ack (In)"), QStringLiteral("Trace 2"), QStringLiteral("Busy")};
    const QRect margins[] = {QRect(0, 0, 84, 211), QRect(641, 0, 79, 211)};
    for (const TTextType side : {stLeft, stRight}) {
        m.graph.SetScaleText(TScaleText{side});
        // The reference: each label's cell drawn alone, right-aligned 4 pixels left of the
        // plot or 4 pixels right of it, centred on the middle of its band, 1 pixel lower.
        QImage reference = WhiteImage(720, 211);
        reference.fill(ToRgb(clNavy));
        TCanvas canvas(reference);
        canvas.SetBrushColor(clNavy);
        canvas.SetFont({QStringLiteral("Arial"), 8, clAqua});
        for (int t = 1; t <= 3; ++t) {
            const QString& label = labels[t - 1];
            const int y = int(209.0 / 3 * t - 209.0 / 6 - canvas.TextHeight(label) / 2) + 1 + 1;
            canvas.TextOut(side == stLeft ? 85 - 4 - canvas.TextWidth(label) : 640 + 4, y, label);
        }
        canvas.Flush();
        for (const QRect& margin : margins)
            EXPECT_EQ(m.graph.Image().copy(margin), reference.copy(margin)) << side << " " << margin.x();
    }
}

TEST(Graph, TraceLabelsVertOffsetShowsAtTheNextRedraw)
{
    MainLikeGraph m;
    m.graph.SetScaleText(TScaleText{stLeft});
    const QImage before = m.graph.Image().copy();
    const int draws = m.graph.DrawCount();
    m.graph.SetTraceLabelsVertOffset(5);
    EXPECT_EQ(m.graph.DrawCount(), draws);
    EXPECT_EQ(m.graph.Image(), before);
    m.graph.Paint();
    // The labels moved down by 4 pixels.
    EXPECT_EQ(m.graph.Image().copy(0, 20, 84, 150), before.copy(0, 16, 84, 150));
}

// Random changes of the properties and the history, one at a time: after each, a redraw shows
// exactly what the straightforward drawing of the same graph shows, so no property's change
// leaves a picture of an earlier drawing behind.
TEST(Graph, EveryRedrawEqualsTheStraightforwardDrawing)
{
    std::mt19937 random(33);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    auto colour = [&] { return (std::array{clBlack, clNavy, clAqua, clGreen, clWhite, clRed})[pick(0, 5)]; };
    auto sample = [&] {
        QString s;
        for (int n = pick(0, 22); n > 0; --n)
            s += QLatin1Char(pick(0, 40) == 0 ? 'x' : pick(0, 1) ? '1' : '0');
        return s;
    };
    TkvDGraph graph;
    const std::function<void()> changes[] = {
        [&] { graph.SetBounds(0, 0, pick(0, 260), pick(0, 180)); },
        [&] { graph.SetBounds(0, 0, graph.Width(), graph.Height()); }, // a new, blank image
        [&] { graph.SetNumTraces(std::uint16_t(pick(0, 20))); },
        [&] { graph.SetSpacing(pick(-3, 13)); },
        [&] { graph.SetTraceLabels(pick(0, 1) ? QStringLiteral("Ack (In);;Busy") : QString()); },
        [&] { graph.SetTraceLabelsVertOffset(pick(-6, 6)); },
        [&] { graph.SetGridType(TGridType(pick(0, 3))); },
        [&] { graph.SetValuePosition(TValuePosition(pick(0, 1))); },
        [&] { graph.SetBGColor(colour()); },
        [&] { graph.SetCTL3D(pick(0, 1)); },
        [&] { graph.SetBorder(TBorderType(pick(0, 3))); },
        [&] { graph.SetGraphColor(colour()); },
        [&] { graph.SetGridColor(colour()); },
        [&] { graph.SetTracesColor(colour()); },
        [&] { graph.SetTextColor(colour()); },
        [&] { graph.SetLeftMargin(pick(-10, 90)); },
        [&] { graph.SetRightMargin(pick(-10, 40)); },
        [&] { graph.SetTopMargin(pick(-10, 40)); },
        [&] { graph.SetBottomMargin(pick(-10, 40)); },
        [&] { graph.SetRightOffset(pick(-4, 6)); },
        [&] { graph.SetHorzMinVal(float(pick(-50, 50))); },
        [&] { graph.SetHorzMaxVal(float(pick(-50, 500))); },
        [&] { graph.SetHorzUnit(pick(0, 1) ? QStringLiteral("ms") : QStringLiteral("µs")); },
        [&] { graph.SetHorzDiv(pick(-1, 12)); },
        [&] { graph.SetHorzDecNum(pick(-1, 3)); },
        [&] { graph.SetScaleText(TScaleText::FromByte(std::uint8_t(pick(0, 15)))); },
        [&] { graph.SetTextSize(pick(-12, 14)); },
        [&] { graph.SetMaxItems(pick(-1, 80)); },
        [&] {
            for (int n = pick(1, 70); n > 0; --n)
                graph.AddValues(sample(), false);
        },
        [&] { graph.DeleteValues(pick(0, 3), false); },
        [&] { graph.Clear(); },
    };
    for (int step = 0; step < 400; ++step) {
        changes[pick(0, std::size(changes) - 1)]();
        graph.Paint();
        ASSERT_TRUE(graph.Image() == ReferenceGraphImage(graph)) << "step " << step;
    }
}

TEST(Graph, SettersRedrawOnlyOnARealChange)
{
    TkvDGraph graph;
    const int before = graph.DrawCount();
    graph.SetNumTraces(12);
    graph.SetHorzMinVal(0.0f);
    graph.SetHorzUnit(QStringLiteral("ms"));
    graph.SetScaleText(TScaleText{stLeft});
    graph.SetBGColor(clSilver);
    graph.SetMaxItems(0);
    EXPECT_EQ(graph.DrawCount(), before);
    graph.SetHorzMaxVal(100.5f);
    graph.SetTraceLabels(QStringLiteral("a"));
    EXPECT_EQ(graph.DrawCount(), before + 2);
}

TEST(GraphHistory, MaxItemsKeepsTheNewestAndNoLimitOnlyGrows)
{
    TkvDGraph graph;
    for (int i = 0; i < 200; ++i)
        EXPECT_EQ(graph.AddValues(QStringLiteral("0"), false), i + 1);
    graph.Clear();
    graph.SetMaxItems(64);
    for (int i = 0; i < 64; ++i)
        EXPECT_EQ(graph.AddValues(QString::number(i), false), i + 1);
    EXPECT_EQ(graph.AddValues(QStringLiteral("new"), false), 64);
    EXPECT_EQ(graph.LstValues().front(), "1");
    EXPECT_EQ(graph.LstValues()[63], "new");
}

TEST(GraphHistory, ChangingMaxItemsTrimsAndAlwaysRedraws)
{
    TkvDGraph graph;
    for (int i = 0; i < 25; ++i)
        graph.AddValues(QString::number(i), false);
    int draws = graph.DrawCount();
    graph.SetMaxItems(10);
    EXPECT_EQ(graph.DrawCount(), draws + 1);
    ASSERT_EQ(graph.LstValues().size(), 10);
    EXPECT_EQ(graph.LstValues().front(), "15");
    EXPECT_EQ(graph.LstValues().back(), "24");
    draws = graph.DrawCount();
    graph.SetMaxItems(0);
    graph.SetMaxItems(-1);
    graph.SetMaxItems(100);
    EXPECT_EQ(graph.LstValues().size(), 10);
    EXPECT_EQ(graph.DrawCount(), draws + 3);
}

TEST(GraphHistory, DeleteValues)
{
    TkvDGraph graph;
    for (const char* s : {"a", "b", "c"})
        graph.AddValues(QString::fromLatin1(s), false);
    const int draws = graph.DrawCount();
    EXPECT_EQ(graph.DeleteValues(3, true), 0); // past the end: nothing
    EXPECT_EQ(graph.LstValues().size(), 3);
    EXPECT_EQ(graph.DeleteValues(0, false), 2);
    EXPECT_EQ(graph.LstValues(), (QStringList{"b", "c"}));
    EXPECT_EQ(graph.DrawCount(), draws);
    EXPECT_THROW(graph.DeleteValues(-1, true), std::out_of_range);
    EXPECT_EQ(graph.LstValues().size(), 2);
    EXPECT_EQ(graph.DeleteValues(1, true), 1);
    EXPECT_EQ(graph.DrawCount(), draws + 1);
    EXPECT_EQ(graph.LstValues(), (QStringList{"b"}));
}

TEST(GraphHistory, AddWithoutRedrawAndClearOnEmptyRedraws)
{
    TkvDGraph graph;
    int draws = graph.DrawCount();
    graph.AddValues(QStringLiteral("1"), false);
    EXPECT_EQ(graph.DrawCount(), draws);
    graph.AddValues(QStringLiteral("1"), true);
    EXPECT_EQ(graph.DrawCount(), draws + 1);
    graph.Clear();
    draws = graph.DrawCount();
    graph.Clear();
    EXPECT_EQ(graph.DrawCount(), draws + 1);
    EXPECT_TRUE(graph.LstValues().isEmpty());
}

TEST(GraphHistory, SetBoundsGivesANewImageOfTheNewSize)
{
    TkvDGraph graph;
    graph.SetBounds(3, 4, 200, 100);
    EXPECT_EQ(graph.geometry(), QRect(3, 4, 200, 100));
    EXPECT_EQ(graph.Image().size(), QSize(200, 100));
    graph.SetWidth(150);
    EXPECT_EQ(graph.Image().size(), QSize(150, 100));
}

TEST(GraphFile, SavesTheLastDrawingAsAnUncompressedBitmap)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    SmallGraph s;
    s.graph.SetRightOffset(0);
    s.Samples({"00", "00"});
    const QImage drawn = s.graph.Image().copy();
    s.graph.AddValues(QStringLiteral("11"), false); // not drawn yet
    const QString path = dir.filePath(QStringLiteral("graph.bmp"));
    s.graph.SaveGraphToFile(path);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    ASSERT_GT(bytes.size(), 54);
    EXPECT_EQ(bytes.left(2), "BM");
    EXPECT_EQ(bytes[30], 0); // BI_RGB: no compression
    const QImage loaded(path);
    EXPECT_EQ(loaded.convertToFormat(QImage::Format_RGB32), drawn);
    // Failures are silent.
    s.graph.SaveGraphToFile(dir.filePath(QStringLiteral("missing/dir/graph.bmp")));
    s.graph.SaveGraphToFile(QString());
}

} // namespace
