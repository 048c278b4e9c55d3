#include <QPalette>
#include <gtest/gtest.h>

#include "PixelTest.h"
#include "StatusLight.h"

namespace {

TEST(StatusLight, UnlitAndLitWithBevel)
{
    TStatusLight light;
    EXPECT_EQ(light.size(), QSize(13, 13));
    EXPECT_FALSE(light.Lit());
    EXPECT_TRUE(AreaIs(light.Image(), 1, 1, 12, 12, clGreen));
    ExpectRaisedBevel(light.Image(), clWhite, clGray, clWhite);
    light.SetLit(true);
    EXPECT_TRUE(AreaIs(light.Image(), 1, 1, 12, 12, clRed));
    ExpectRaisedBevel(light.Image(), clWhite, clGray, clWhite);
}

TEST(StatusLight, ColourChangesRepaintOnlyWhenShown)
{
    TStatusLight light;
    int before = light.DrawCount();
    light.SetLitColor(clBlue); // unlit: not shown
    EXPECT_EQ(light.DrawCount(), before);
    EXPECT_TRUE(AreaIs(light.Image(), 1, 1, 12, 12, clGreen));
    light.SetNotLitColor(clGray);
    EXPECT_EQ(light.DrawCount(), before + 1);
    EXPECT_TRUE(AreaIs(light.Image(), 1, 1, 12, 12, clGray));
    light.SetLit(true);
    EXPECT_TRUE(AreaIs(light.Image(), 1, 1, 12, 12, clBlue));
    before = light.DrawCount();
    light.SetNotLitColor(clMaroon); // lit: not shown
    light.SetLit(true);             // unchanged
    light.SetLitColor(clBlue);      // unchanged
    EXPECT_EQ(light.DrawCount(), before);
}

TEST(StatusLight, GlyphHalvesWithTransparentColour)
{
    QWidget parent;
    QPalette palette = parent.palette();
    palette.setColor(QPalette::Window, QColor(10, 20, 30));
    parent.setPalette(palette);
    TStatusLight light(&parent);

    QImage glyph(20, 7, QImage::Format_RGB32);
    glyph.fill(ToRgb(clAqua)); // the top-left colour is the transparent one
    for (int y = 2; y < 5; ++y)
        for (int x = 2; x < 8; ++x) {
            glyph.setPixel(x, y, ToRgb(clRed));
            glyph.setPixel(x + 10, y, ToRgb(clBlue));
        }
    light.SetGlyph(glyph);
    EXPECT_TRUE(light.GlyphInUse());
    EXPECT_EQ(light.size(), QSize(10, 7));
    const TColor background = MakeColor(10, 20, 30);
    EXPECT_EQ(Px(light.Image(), 0, 0), background);
    EXPECT_EQ(Px(light.Image(), 3, 3), clBlue); // unlit: right half
    light.SetLit(true);
    EXPECT_EQ(Px(light.Image(), 3, 3), clRed);
    EXPECT_EQ(Px(light.Image(), 9, 6), background);

    light.SetBounds(5, 6, 30, 30);
    EXPECT_EQ(light.geometry(), QRect(5, 6, 10, 7));
    // Colours of a light with a glyph are not shown.
    const int before = light.DrawCount();
    light.SetLitColor(clLime);
    EXPECT_EQ(light.DrawCount(), before);

    light.SetGlyph(QImage());
    EXPECT_FALSE(light.GlyphInUse());
    EXPECT_EQ(light.size(), QSize(13, 13));
    EXPECT_TRUE(AreaIs(light.Image(), 1, 1, 12, 12, clLime));
}

} // namespace
