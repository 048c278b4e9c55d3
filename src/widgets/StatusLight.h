#pragma once
// The small square light of one port line: lit or not lit, each in its own colour, with a
// raised one-pixel bevel; or two pictures of a glyph, lit on the left half and unlit on the
// right half.
#include <QImage>

#include "Colors.h"
#include "OffscreenControl.h"

class TStatusLight : public TOffscreenControl {
public:
    explicit TStatusLight(QWidget* parent = nullptr);

    bool Lit() const { return m_lit; }
    TColor LitColor() const { return m_litColor; }
    TColor NotLitColor() const { return m_notLitColor; }
    const QImage& Glyph() const { return m_glyph; }
    bool GlyphInUse() const { return m_glyphInUse; }

    void SetLit(bool value);
    // Repaints only when the colour is the one shown.
    void SetLitColor(TColor value);
    void SetNotLitColor(TColor value);
    // Copies the picture; a null picture means no glyph. With a glyph the light takes half the
    // glyph's width by its height, without one it returns to 13 x 13.
    void SetGlyph(const QImage& glyph);

    // While a glyph is in use the size stays half the glyph's width by its height.
    void SetBounds(int left, int top, int width, int height) override;

protected:
    void DrawImage(QImage& image) override;
    void BoundsChanged() override;

private:
    QSize GlyphCellSize() const { return {m_glyph.width() / 2, m_glyph.height()}; }

    bool m_lit = false;
    TColor m_litColor = clRed;
    TColor m_notLitColor = clGreen;
    QImage m_glyph;
    bool m_glyphInUse = false;
};
