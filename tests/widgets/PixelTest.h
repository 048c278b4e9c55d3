#pragma once
// Pixel checks on the images of the canvas and the controls.
#include <QImage>
#include <gtest/gtest.h>

#include "Canvas.h"

// The dark side of a bevel.
constexpr TColor kDarkGrey = MakeColor(128, 128, 128);

inline TColor Px(const QImage& image, int x, int y)
{
    const auto c = PixelAt(image, x, y);
    EXPECT_TRUE(c.has_value()) << "pixel (" << x << ", " << y << ") outside the image";
    return c.value_or(0xFFFFFFFFu);
}

// Every pixel of the rectangle [x1, x2) x [y1, y2) has the colour.
inline ::testing::AssertionResult AreaIs(const QImage& image, int x1, int y1, int x2, int y2, TColor color)
{
    for (int y = y1; y < y2; ++y)
        for (int x = x1; x < x2; ++x)
            if (PixelAt(image, x, y) != color)
                return ::testing::AssertionFailure()
                    << "pixel (" << x << ", " << y << ") is " << std::hex << PixelAt(image, x, y).value_or(0xFFFFFFFFu)
                    << ", expected " << color;
    return ::testing::AssertionSuccess();
}

inline QImage WhiteImage(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(ToRgb(clWhite));
    return image;
}

// The bevel of a raised 13 x 13 control: light on top and left, dark on the right and bottom;
// the top-right pixel is `corner`, the end of the top row or of the right column.
inline void ExpectRaisedBevel(const QImage& image, TColor hilight, TColor shadow, TColor corner)
{
    EXPECT_TRUE(AreaIs(image, 0, 0, 12, 1, hilight));
    EXPECT_TRUE(AreaIs(image, 0, 0, 1, 13, hilight));
    EXPECT_EQ(Px(image, 12, 0), corner);
    EXPECT_TRUE(AreaIs(image, 12, 1, 13, 13, shadow));
    EXPECT_TRUE(AreaIs(image, 1, 12, 13, 13, shadow));
}
