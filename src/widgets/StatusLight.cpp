#include "StatusLight.h"

#include "Canvas.h"

namespace {
constexpr int kDefaultSize = 13;
}

TStatusLight::TStatusLight(QWidget* parent) : TOffscreenControl(parent)
{
    SetBounds(x(), y(), kDefaultSize, kDefaultSize);
    Paint();
}

void TStatusLight::SetLit(bool value)
{
    if (value == m_lit)
        return;
    m_lit = value;
    Paint();
}

void TStatusLight::SetLitColor(TColor value)
{
    if (value == m_litColor)
        return;
    m_litColor = value;
    if (!m_glyphInUse && m_lit)
        Paint();
}

void TStatusLight::SetNotLitColor(TColor value)
{
    if (value == m_notLitColor)
        return;
    m_notLitColor = value;
    if (!m_glyphInUse && !m_lit)
        Paint();
}

void TStatusLight::SetGlyph(const QImage& glyph)
{
    m_glyph = glyph.isNull() ? QImage() : glyph.convertToFormat(QImage::Format_RGB32);
    m_glyphInUse = !m_glyph.isNull();
    if (m_glyphInUse) {
        const QSize cell = GlyphCellSize();
        SetBounds(x(), y(), cell.width(), cell.height());
    } else {
        SetBounds(x(), y(), kDefaultSize, kDefaultSize);
    }
    Paint();
}

void TStatusLight::SetBounds(int left, int top, int width, int height)
{
    if (m_glyphInUse) {
        const QSize cell = GlyphCellSize();
        width = cell.width();
        height = cell.height();
    }
    TOffscreenControl::SetBounds(left, top, width, height);
}

void TStatusLight::BoundsChanged()
{
    if (m_glyphInUse && size() != GlyphCellSize()) {
        // A layout asked for another size: keep the glyph's.
        resize(GlyphCellSize());
    }
    TOffscreenControl::BoundsChanged();
}

void TStatusLight::DrawImage(QImage& image)
{
    TCanvas canvas(image);
    const int w = width();
    const int h = height();
    if (m_glyphInUse) {
        // The glyph's top-left colour is transparent: those pixels show the parent's background.
        const QWidget* back = parentWidget() ? parentWidget() : this;
        const QColor bg = back->palette().color(back->backgroundRole());
        canvas.SetBrushColor(MakeColor(std::uint8_t(bg.red()), std::uint8_t(bg.green()), std::uint8_t(bg.blue())));
        canvas.FillRect(0, 0, w, h);
        const QRect source = m_lit ? QRect(0, 0, w, h) : QRect(w, 0, w, h);
        canvas.DrawTransparent(0, 0, m_glyph, source, FromRgb(m_glyph.pixel(0, 0)));
        return;
    }
    canvas.SetBrushColor(m_lit ? m_litColor : m_notLitColor);
    canvas.FillRect(0, 0, w, h);
    canvas.SetPenColor(clWhite);
    canvas.MoveTo(0, 0);
    canvas.LineTo(w, 0);
    canvas.MoveTo(0, 0);
    canvas.LineTo(0, h);
    canvas.SetPenColor(clGray);
    canvas.MoveTo(w - 1, 1);
    canvas.LineTo(w - 1, h);
    canvas.MoveTo(1, h - 1);
    canvas.LineTo(w, h - 1);
}
