#include <QImage>
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <utility>

#include "Canvas.h"
#include "PixelTest.h"

namespace {

// A white image and a canvas on it, with a red pen and a blue brush.
struct Sheet {
    QImage image;
    TCanvas canvas;
    Sheet(int w, int h) : image(WhiteImage(w, h)), canvas(image)
    {
        canvas.SetPenColor(clRed);
        canvas.SetBrushColor(clBlue);
    }
};

TEST(Canvas, ColourConversionKeepsComponents)
{
    const TColor c = MakeColor(1, 2, 3);
    EXPECT_EQ(ToRgb(c), qRgb(1, 2, 3));
    EXPECT_EQ(FromRgb(qRgb(1, 2, 3)), c);
}

TEST(Canvas, RectangleOutlinesFillsAndLeavesRightColumnAndBottomRow)
{
    Sheet s(12, 12);
    s.canvas.Rectangle(2, 3, 7, 9);
    EXPECT_TRUE(AreaIs(s.image, 2, 3, 7, 4, clRed));  // top row
    EXPECT_TRUE(AreaIs(s.image, 2, 8, 7, 9, clRed));  // bottom row painted is y2 - 1
    EXPECT_TRUE(AreaIs(s.image, 2, 3, 3, 9, clRed));  // left column
    EXPECT_TRUE(AreaIs(s.image, 6, 3, 7, 9, clRed));  // right column painted is x2 - 1
    EXPECT_TRUE(AreaIs(s.image, 3, 4, 6, 8, clBlue)); // inside
    EXPECT_TRUE(AreaIs(s.image, 7, 0, 8, 12, clWhite));
    EXPECT_TRUE(AreaIs(s.image, 0, 9, 12, 10, clWhite));
    EXPECT_TRUE(AreaIs(s.image, 0, 0, 12, 3, clWhite));
    EXPECT_TRUE(AreaIs(s.image, 0, 0, 2, 12, clWhite));
}

TEST(Canvas, RectangleWithSwappedCornersAndClipping)
{
    Sheet s(6, 6);
    s.canvas.SetBrushColor(clRed);
    s.canvas.Rectangle(4, 4, -3, -3);
    EXPECT_TRUE(AreaIs(s.image, 0, 0, 4, 4, clRed));
    EXPECT_TRUE(AreaIs(s.image, 4, 0, 6, 6, clWhite));
    s.canvas.Rectangle(-10, -10, 100, 100);
    EXPECT_TRUE(AreaIs(s.image, 0, 0, 6, 6, clRed));
}

TEST(Canvas, WidePenOutlinesInsideTheBounds)
{
    Sheet s(10, 10);
    s.canvas.SetPenWidth(2);
    s.canvas.Rectangle(0, 0, 8, 8);
    EXPECT_TRUE(AreaIs(s.image, 0, 0, 8, 2, clRed));
    EXPECT_TRUE(AreaIs(s.image, 0, 6, 8, 8, clRed));
    EXPECT_TRUE(AreaIs(s.image, 2, 2, 6, 6, clBlue));
    EXPECT_TRUE(AreaIs(s.image, 8, 0, 10, 10, clWhite));
}

TEST(Canvas, FillRectUsesTheBrushOnly)
{
    Sheet s(8, 8);
    s.canvas.SetBrushColor(clGreen);
    s.canvas.FillRect(1, 1, 5, 4);
    EXPECT_TRUE(AreaIs(s.image, 1, 1, 5, 4, clGreen));
    EXPECT_EQ(Px(s.image, 5, 1), clWhite);
    EXPECT_EQ(Px(s.image, 1, 4), clWhite);
}

// Lines paint from the pen position up to but excluding the end point, and move the pen.
struct LineCase {
    int x0, y0, x1, y1;
};

class CanvasLine : public ::testing::TestWithParam<LineCase> {};

TEST_P(CanvasLine, PaintsEveryStepButTheEndPoint)
{
    const LineCase c = GetParam();
    QImage image = WhiteImage(20, 20);
    TCanvas canvas(image);
    canvas.SetPenColor(clBlack);
    canvas.MoveTo(c.x0, c.y0);
    canvas.LineTo(c.x1, c.y1);
    EXPECT_EQ(canvas.PenX(), c.x1);
    EXPECT_EQ(canvas.PenY(), c.y1);
    std::set<std::pair<int, int>> painted;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            if (Px(image, x, y) == clBlack)
                painted.insert({x, y});
    const int steps = std::max(std::abs(c.x1 - c.x0), std::abs(c.y1 - c.y0));
    EXPECT_EQ(int(painted.size()), steps);
    if (steps > 0) {
        EXPECT_TRUE(painted.count({c.x0, c.y0}));
    }
    EXPECT_FALSE(painted.count({c.x1, c.y1}));
    // One pixel per step along the major axis, each within half a pixel of the ideal line.
    for (const auto& [x, y] : painted) {
        const double t = std::abs(c.x1 - c.x0) >= std::abs(c.y1 - c.y0) ? double(x - c.x0) / (c.x1 - c.x0)
                                                                         : double(y - c.y0) / (c.y1 - c.y0);
        EXPECT_GE(t, 0.0);
        EXPECT_LT(t, 1.0);
        EXPECT_LE(std::abs(c.x0 + t * (c.x1 - c.x0) - x), 0.5 + 1e-9);
        EXPECT_LE(std::abs(c.y0 + t * (c.y1 - c.y0) - y), 0.5 + 1e-9);
    }
}

INSTANTIATE_TEST_SUITE_P(Lines, CanvasLine,
                         ::testing::Values(LineCase{1, 1, 6, 1}, LineCase{6, 1, 1, 1}, LineCase{3, 2, 3, 9},
                                           LineCase{3, 9, 3, 2}, LineCase{0, 0, 5, 5}, LineCase{10, 10, 4, 16},
                                           LineCase{0, 0, 13, 4}, LineCase{2, 15, 5, 3}, LineCase{7, 7, 7, 7}));

TEST(Canvas, PolylineJoinsPaintEachCornerOnce)
{
    Sheet s(6, 6);
    s.canvas.MoveTo(0, 4);
    s.canvas.LineTo(0, 0);
    s.canvas.LineTo(4, 0);
    EXPECT_TRUE(AreaIs(s.image, 0, 1, 1, 5, clRed));
    EXPECT_TRUE(AreaIs(s.image, 0, 0, 4, 1, clRed));
    EXPECT_EQ(Px(s.image, 4, 0), clWhite);
}

TEST(Canvas, LinesOutsideTheImageAreClipped)
{
    Sheet s(10, 10);
    s.canvas.MoveTo(-50, 2);
    s.canvas.LineTo(50, 2);
    s.canvas.MoveTo(-5, -5);
    s.canvas.LineTo(30, 30);
    s.canvas.MoveTo(4, -100);
    s.canvas.LineTo(4, 100);
    EXPECT_TRUE(AreaIs(s.image, 0, 2, 10, 3, clRed));
    EXPECT_TRUE(AreaIs(s.image, 4, 0, 5, 10, clRed));
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(Px(s.image, i, i), clRed);
}

TEST(Canvas, FarAwayEndPointsOnlyCostTheVisiblePixels)
{
    Sheet s(10, 10);
    s.canvas.MoveTo(5, -2000000000);
    s.canvas.LineTo(5, 2000000000);
    s.canvas.MoveTo(-1000000000, -1000000000);
    s.canvas.LineTo(1000000000, 1000000000);
    EXPECT_TRUE(AreaIs(s.image, 5, 0, 6, 10, clRed));
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(Px(s.image, i, i), clRed);
    EXPECT_EQ(Px(s.image, 0, 9), clWhite);
    s.canvas.Ellipse(-1000000, 0, 1000010, 10);
    EXPECT_EQ(Px(s.image, 5, 5), clBlue);
    EXPECT_EQ(Px(s.image, 5, 0), clRed); // the top of the ellipse is outline, a very flat one
}

TEST(Canvas, EllipseStaysInsideItsBoundsAndTouchesEachSide)
{
    Sheet s(12, 10);
    s.canvas.Ellipse(1, 1, 10, 8); // 9 x 7
    EXPECT_EQ(Px(s.image, 5, 4), clBlue);
    EXPECT_EQ(Px(s.image, 5, 1), clRed);
    EXPECT_EQ(Px(s.image, 1, 4), clRed);
    EXPECT_EQ(Px(s.image, 1, 1), clWhite);
    EXPECT_TRUE(AreaIs(s.image, 10, 0, 12, 10, clWhite));
    EXPECT_TRUE(AreaIs(s.image, 0, 8, 12, 10, clWhite));
    // Symmetric about both axes of the bounds: the bottom and right sides and the other corners
    // mirror the pixels above.
    for (int y = 1; y < 8; ++y)
        for (int x = 1; x < 10; ++x) {
            EXPECT_EQ(Px(s.image, x, y), Px(s.image, 10 - x, y)) << x << "," << y;
            EXPECT_EQ(Px(s.image, x, y), Px(s.image, x, 8 - y)) << x << "," << y;
        }
}

TEST(Canvas, RoundRectCutsOnlyTheCorners)
{
    Sheet s(12, 12);
    s.canvas.RoundRect(0, 0, 10, 10, 4, 4);
    for (const auto& [x, y] : {std::pair{0, 0}, {9, 0}, {0, 9}, {9, 9}})
        EXPECT_EQ(Px(s.image, x, y), clWhite) << x << "," << y;
    EXPECT_EQ(Px(s.image, 1, 0), clRed);
    EXPECT_EQ(Px(s.image, 0, 1), clRed);
    EXPECT_EQ(Px(s.image, 8, 9), clRed);
    EXPECT_TRUE(AreaIs(s.image, 2, 0, 8, 1, clRed));
    EXPECT_TRUE(AreaIs(s.image, 0, 2, 1, 8, clRed));
    EXPECT_TRUE(AreaIs(s.image, 1, 1, 9, 9, clBlue)); // the outline steps diagonally round each corner
    EXPECT_TRUE(AreaIs(s.image, 10, 0, 12, 12, clWhite));
}

TEST(Canvas, TextCellIsOpaqueInTheBrushColourAndMeasured)
{
    QImage image = WhiteImage(120, 60);
    TCanvas canvas(image);
    canvas.SetFont({QStringLiteral("Arial"), 8, clAqua});
    canvas.SetBrushColor(clNavy);
    const int w = canvas.TextWidth(QStringLiteral("Ack (In)"));
    const int h = canvas.TextHeight(QStringLiteral("Ack (In)"));
    EXPECT_GT(w, canvas.TextWidth(QStringLiteral("Ack")));
    EXPECT_GT(h, 8);
    EXPECT_LT(h, 20);
    canvas.TextOut(5, 6, QStringLiteral("Ack (In)"));
    canvas.Flush();
    EXPECT_TRUE(AreaIs(image, 5, 6, 5 + w, 7, clNavy)); // the cell's top row holds no glyph
    EXPECT_TRUE(AreaIs(image, 5 + w, 0, 120, 30, clWhite));
    EXPECT_TRUE(AreaIs(image, 0, 6 + h, 120, 30, clWhite));
    EXPECT_TRUE(AreaIs(image, 0, 0, 5, 30, clWhite));
    int inked = 0;
    for (int y = 6; y < 6 + h; ++y)
        for (int x = 5; x < 5 + w; ++x)
            inked += Px(image, x, y) != clNavy;
    EXPECT_GT(inked, 10);
    // A blank text still paints its cell.
    canvas.SetBrushColor(clRed);
    const int sw = canvas.TextWidth(QStringLiteral(" "));
    canvas.TextOut(0, 30, QStringLiteral(" "));
    EXPECT_TRUE(AreaIs(image, 0, 30, sw, 30 + h, clRed));
}

TEST(Canvas, TextOutsideLatinIsMeasuredAndDrawnToo)
{
    QImage image = WhiteImage(200, 30);
    TCanvas canvas(image);
    canvas.SetFont({QStringLiteral("Arial"), 8, clBlack});
    canvas.SetBrushColor(clWhite);
    const QString text = QStringLiteral("Ack \u0416\u6F22");
    const int w = canvas.TextWidth(text);
    EXPECT_GT(w, canvas.TextWidth(QStringLiteral("Ack ")));
    canvas.TextOut(0, 0, text);
    canvas.Flush();
    int inked = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = canvas.TextWidth(QStringLiteral("Ack ")); x < 200; ++x)
            inked += Px(image, x, y) != clWhite;
    EXPECT_GT(inked, 5);
}

TEST(Canvas, LargerFontsMeasureLarger)
{
    QImage image = WhiteImage(4, 4);
    TCanvas canvas(image);
    canvas.SetFont({QStringLiteral("Arial"), 8, clBlack});
    const int small = canvas.TextHeight(QStringLiteral("X"));
    const int smallWidth = canvas.TextWidth(QStringLiteral("Trace 12"));
    canvas.SetFont({QStringLiteral("Arial"), 16, clBlack});
    EXPECT_GT(canvas.TextHeight(QStringLiteral("X")), small);
    EXPECT_GT(canvas.TextWidth(QStringLiteral("Trace 12")), smallWidth);
}

TEST(Canvas, DrawCopiesAWholeImageClipped)
{
    QImage source = WhiteImage(3, 3);
    source.setPixel(0, 0, ToRgb(clRed));
    source.setPixel(2, 2, ToRgb(clBlue));
    QImage image = WhiteImage(5, 5);
    image.fill(ToRgb(clBlack));
    TCanvas canvas(image);
    canvas.Draw(-1, -1, source);
    EXPECT_EQ(Px(image, 1, 1), clBlue);
    EXPECT_EQ(Px(image, 0, 0), clWhite);
    EXPECT_EQ(Px(image, 2, 2), clBlack);
    canvas.Draw(3, 3, source);
    EXPECT_EQ(Px(image, 3, 3), clRed);
    EXPECT_EQ(Px(image, 4, 4), clWhite);
}

TEST(Canvas, DrawPartsCopiesEachRectangleInPlaceClipped)
{
    QImage source(7, 6, QImage::Format_RGB32);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 7; ++x)
            source.setPixel(x, y, ToRgb(MakeColor(std::uint8_t(x * 30), std::uint8_t(y * 40), 7)));
    // A row cut on the left; side by side from one top, two columns of one height, one shorter
    // and one cut at the bottom; a block cut on the right.
    const QRect parts[] = {{-2, 1, 3, 1}, {1, 0, 1, 3}, {2, 0, 1, 3}, {3, 0, 1, 2}, {4, 0, 1, 9}, {5, 2, 4, 2}};
    QImage image = WhiteImage(6, 5);
    image.fill(ToRgb(clBlack));
    TCanvas(image).DrawParts(source, parts);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x) {
            const bool copied =
                std::any_of(std::begin(parts), std::end(parts), [&](const QRect& r) { return r.contains(x, y); });
            EXPECT_EQ(Px(image, x, y), copied ? FromRgb(source.pixel(x, y)) : clBlack) << x << ", " << y;
        }
}

TEST(Canvas, StretchDrawScalesByNearestPixel)
{
    QImage source = WhiteImage(2, 1);
    source.setPixel(0, 0, ToRgb(clRed));
    source.setPixel(1, 0, ToRgb(clBlue));
    QImage image = WhiteImage(6, 3);
    TCanvas canvas(image);
    canvas.StretchDraw(QRect(1, 1, 4, 2), source);
    EXPECT_TRUE(AreaIs(image, 1, 1, 3, 3, clRed));
    EXPECT_TRUE(AreaIs(image, 3, 1, 5, 3, clBlue));
    EXPECT_TRUE(AreaIs(image, 0, 0, 6, 1, clWhite));
    EXPECT_TRUE(AreaIs(image, 5, 0, 6, 3, clWhite));
}

TEST(Canvas, DrawTransparentSkipsTheKeyColour)
{
    QImage source = WhiteImage(4, 1);
    source.setPixel(0, 0, ToRgb(clAqua));
    source.setPixel(2, 0, ToRgb(clRed));
    source.setPixel(3, 0, ToRgb(clAqua));
    QImage image = WhiteImage(3, 1);
    image.fill(ToRgb(clBlack));
    TCanvas canvas(image);
    canvas.DrawTransparent(0, 0, source, QRect(1, 0, 3, 1), clAqua);
    EXPECT_EQ(Px(image, 0, 0), clWhite);
    EXPECT_EQ(Px(image, 1, 0), clRed);
    EXPECT_EQ(Px(image, 2, 0), clBlack);
}

TEST(Canvas, NullImageDrawsNothingAndDoesNotFail)
{
    QImage image;
    TCanvas canvas(image);
    canvas.Rectangle(0, 0, 5, 5);
    canvas.MoveTo(0, 0);
    canvas.LineTo(5, 5);
    canvas.Ellipse(0, 0, 5, 5);
    canvas.TextOut(0, 0, QStringLiteral("x"));
    EXPECT_TRUE(image.isNull());
}

} // namespace
