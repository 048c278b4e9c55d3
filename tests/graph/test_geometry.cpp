#include <gtest/gtest.h>

#include <climits>
#include <clocale>
#include <cmath>
#include <vector>

#include "GraphGeometry.h"

namespace {

// The main window's graph at 720 x 211: margins 85, 1, 1, 1.
const TPlotGeometry kMain = PlotGeometry(720, 211, 85, 1, 1, 1);

TEST(GraphGeometry, PlotAreaOfTheMainGraph)
{
    EXPECT_EQ(kMain.L, 85);
    EXPECT_EQ(kMain.T, 1);
    EXPECT_EQ(kMain.PW, 634);
    EXPECT_EQ(kMain.PH, 209);
}

TEST(GraphGeometry, TraceLevelsOfTheMainGraph)
{
    EXPECT_EQ(TraceLevels(kMain, 17, 1, 8), (TTraceLevels{5, 9}));
    EXPECT_EQ(TraceLevels(kMain, 17, 2, 8), (TTraceLevels{17, 21}));
    EXPECT_EQ(TraceLevels(kMain, 17, 17, 8), (TTraceLevels{201, 206}));
    // Spacing / 2 is a real half: 7 gives 3.5, so 12.29 + 3.5 = 15.79 and 24.59 - 3.5 = 21.09.
    EXPECT_EQ(TraceLevels(kMain, 17, 2, 7), (TTraceLevels{1 + 15, 1 + 21}));
}

TEST(GraphGeometry, SamplePositions)
{
    struct Case {
        TValuePosition position;
        long long i, count;
        std::optional<int> x;
    };
    const Case cases[] = {
        {vpFullWidth, 0, 64, 85},  {vpFullWidth, 1, 64, 85},  {vpFullWidth, 2, 64, 105},
        {vpFullWidth, 3, 64, 115}, {vpFullWidth, 62, 64, 708}, {vpFullWidth, 63, 64, 719},
        {vpFullWidth, 0, 1, 85},   {vpFullWidth, 1, 2, 85},   {vpFullWidth, 2, 3, 85 + 634},
        {vpPixels, 0, 64, 85},     {vpPixels, 63, 64, 148},   {vpPixels, 634, 700, 719},
        {vpPixels, 635, 700, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SampleX(kMain, c.position, c.i, c.count), c.x) << int(c.position) << " " << c.i << "/" << c.count;
}

TEST(GraphGeometry, TraceLabelFields)
{
    struct Case {
        QString text;
        int n;
        QStringList labels;
    };
    const Case cases[] = {
        {"P;;Q", 4, {"P", "Trace 2", "Q", "Trace 4"}},
        {"", 3, {"Trace 1", "Trace 2", "Trace 3"}},
        {"P;Q", 3, {"P", "Q", "Trace 3"}},
        {"A;B;C;D", 2, {"A", "B"}},
        {"A;B;", 3, {"A", "B", "Trace 3"}},
        {";", 2, {"Trace 1", "Trace 2"}},
        {"Init/Reset (Out)", 1, {"Init/Reset (Out)"}},
        {"x", 0, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TraceLabelFields(c.text, c.n), c.labels) << c.text.toStdString() << " / " << c.n;
}

TEST(GraphGeometry, LabelPositions)
{
    // Band 1 of the main graph: 12.29 - 6.15 - 6 = 0.15, truncated, then T 1 and offset 1.
    EXPECT_EQ(LabelY(kMain, 17, 1, 6, 1), 2);
    EXPECT_EQ(LabelY(kMain, 17, 17, 6, 1), 198);
    // Truncation toward zero: 0.15 - 4 = -3.85 gives -3.
    EXPECT_EQ(LabelY(kMain, 17, 1, 10, 0), 1 - 3);
}

TEST(GraphGeometry, ScaleTexts)
{
    struct Case {
        double min, max;
        int div, i, dec;
        QString text;
    };
    const Case cases[] = {
        {0, 100, 10, 0, 0, "0"},         {0, 100, 10, 1, 0, "10ms"},     {0, 100, 10, 10, 0, "100"},
        {0, 100, 10, 5, 2, "50.00ms"},   {-50, 50, 4, 0, 0, "-50"},      {-50, 50, 4, 1, 0, "-25ms"},
        {-50, 50, 4, 2, 0, "0ms"},       {0, 1, 3, 1, 2, "0.33ms"},      {0, 100, 1, 1, 0, "100"},
        {-0.4, 0, 1, 0, 0, "0"},         {0, 100, -2, 1, 0, "-50"},      {0, 2, 3, 2, -1, "1ms"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ScaleText(c.min, c.max, c.div, c.i, c.dec, "ms"), c.text) << c.min << ".." << c.max << " " << c.i;
}

TEST(GraphGeometry, ScaleTextsUseAPointWhateverTheLocale)
{
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous ? previous : "C";
    if (!std::setlocale(LC_NUMERIC, "fr_FR.UTF-8"))
        std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    EXPECT_EQ(ScaleText(0, 1, 4, 1, 2, ""), "0.25");
    std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(GraphGeometry, ScaleTextPositions)
{
    EXPECT_EQ(ScaleTextX(kMain, 10, 0, 7), 83);
    EXPECT_EQ(ScaleTextX(kMain, 10, 10, 20), 85 + 634 - 20);
    EXPECT_EQ(ScaleTextX(kMain, 10, 1, 21), 148 - 10);
}

TEST(GraphGeometry, TruncationTowardZeroWithinRange)
{
    EXPECT_EQ(TruncToInt(3.7), 3);
    EXPECT_EQ(TruncToInt(-3.7), -3);
    EXPECT_EQ(TruncToInt(std::nan("")), 0);
    EXPECT_EQ(TruncToInt(1e300), INT_MAX);
    EXPECT_EQ(TruncToInt(-1e300), INT_MIN);
}

TEST(GraphGeometry, ExtremeMarginsStayInRange)
{
    // 10 - INT_MIN - INT_MAX overflows int on the way but is 11.
    const TPlotGeometry g = PlotGeometry(10, 10, INT_MIN, INT_MAX, INT_MAX, INT_MIN);
    EXPECT_EQ(g.PW, 11);
    EXPECT_EQ(g.PH, 11);
    EXPECT_EQ(PlotGeometry(10, 10, INT_MIN, 0, 0, 0).PW, INT_MAX);
    EXPECT_EQ(PlotGeometry(100, 50, -20, 200, 0, 0).PW, -80);
}

} // namespace
