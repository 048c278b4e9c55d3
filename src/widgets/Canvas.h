#pragma once
// A small drawing surface over a QImage with the semantics of a classic raster API:
// rectangles fill and outline and leave their right column and bottom row unpainted, LineTo
// does not paint its end point and moves the pen, pens are solid, text is drawn on an opaque
// cell of the fill colour. Lines and fills write the pixels themselves so that every pixel is
// exactly where these rules put it; text goes through the toolkit's font rendering.
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QRawFont>
#include <QRect>
#include <QString>
#include <algorithm>
#include <memory>
#include <optional>
#include <span>

#include "Colors.h"

// The font of a canvas: family, size in points, colour and style.
struct TCanvasFont {
    QString Name = QStringLiteral("Arial");
    int Size = 8; // points
    TColor Color = clBlack;
    bool Bold = false;
    bool Italic = false;

    bool operator==(const TCanvasFont&) const = default;
};

// Converts between the design's colours (red in the low byte) and the image's pixels.
constexpr QRgb ToRgb(TColor c)
{
    return 0xFF000000u | (QRgb(ColorRed(c)) << 16) | (QRgb(ColorGreen(c)) << 8) | QRgb(ColorBlue(c));
}
constexpr TColor FromRgb(QRgb p) { return MakeColor(std::uint8_t(p >> 16), std::uint8_t(p >> 8), std::uint8_t(p)); }

// A new off-screen image for a control of the given size (empty sizes give a null image).
QImage NewControlImage(int width, int height);

// The colour of one pixel of an image, or nullopt outside it.
std::optional<TColor> PixelAt(const QImage& image, int x, int y);

class TCanvas {
public:
    // Draws into the image, which must outlive the canvas and keep Format_RGB32.
    explicit TCanvas(QImage& image);
    ~TCanvas();
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    QImage& Image() { return *m_image; }

    void SetPenColor(TColor color) { m_penColor = color; }
    TColor PenColor() const { return m_penColor; }
    // Widths below 1 draw as 1.
    void SetPenWidth(int width) { m_penWidth = width < 1 ? 1 : width; }
    int PenWidth() const { return m_penWidth; }
    void SetBrushColor(TColor color) { m_brushColor = color; }
    TColor BrushColor() const { return m_brushColor; }
    void SetFont(const TCanvasFont& font);
    const TCanvasFont& Font() const { return m_font; }

    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    // The pixels LineTo paints from (x0, y) to (x, y), and from (x, y0) to (x, y), the end
    // point left out, without moving the pen. Square waves are many short runs of these, so
    // they skip the rest of LineTo.
    void HorzLine(int x0, int x, int y);
    void VertLine(int x, int y0, int y);
    int PenX() const { return m_penX; }
    int PenY() const { return m_penY; }

    // Fills with the brush and outlines with the pen; x2 and y2 are not painted.
    void Rectangle(int x1, int y1, int x2, int y2);
    // Fills with the brush only; x2 and y2 are not painted.
    void FillRect(int x1, int y1, int x2, int y2);
    // A rectangle whose corners are quarters of a cornerWidth x cornerHeight ellipse.
    void RoundRect(int x1, int y1, int x2, int y2, int cornerWidth, int cornerHeight);
    // The ellipse inscribed in the rectangle (x2 and y2 excluded), filled and outlined.
    void Ellipse(int x1, int y1, int x2, int y2);
    void SetPixel(int x, int y, TColor color);

    // Draws the text with the top-left corner of its cell at (x, y), on a cell filled with
    // the brush colour.
    void TextOut(int x, int y, const QString& text);
    int TextWidth(const QString& text);
    int TextHeight(const QString& text);

    // Copies a whole image with its top-left corner at (x, y), clipped to this image.
    void Draw(int x, int y, const QImage& source);
    // Copies each rectangle of the source onto the same place of this image, clipped to both.
    void DrawParts(const QImage& source, std::span<const QRect> parts);
    // Copies the source rectangle of an image onto the destination rectangle, scaling it.
    void StretchDraw(const QRect& dest, const QImage& source, const QRect& sourceRect);
    void StretchDraw(const QRect& dest, const QImage& source) { StretchDraw(dest, source, source.rect()); }
    // Copies the source rectangle onto (x, y); source pixels of the transparent colour leave
    // this image unchanged.
    void DrawTransparent(int x, int y, const QImage& source, const QRect& sourceRect, TColor transparent);

    // Ends the text painter so that the image can be used elsewhere; done by the destructor too.
    void Flush();

private:
    // Pixel rows of the current image, fetched once per primitive.
    struct Surface {
        QRgb* bits = nullptr;
        qsizetype stride = 0; // in pixels
        int width = 0;
        int height = 0;
    };
    Surface Lock();
    const Surface& Locked()
    {
        if (!m_locked)
            Lock();
        return m_surface;
    }
    static void FillSpan(const Surface& s, int x1, int x2, int y, QRgb color)
    {
        if (y < 0 || y >= s.height)
            return;
        x1 = std::max(x1, 0);
        x2 = std::min(x2, s.width);
        if (x1 < x2)
            std::fill_n(s.bits + y * s.stride + x1, x2 - x1, color);
    }
    void PenDot(const Surface& s, int x, int y, QRgb color) const;
    void FillShape(int x1, int y1, int x2, int y2, int cornerWidth, int cornerHeight);
    QPainter& TextPainter();
    // The toolkit's objects for the current font.
    struct Face;
    const Face& CurrentFace();
    // The glyphs of a text laid out from (0, 0) on the baseline, and its width.
    struct Run {
        QString text;
        QList<quint32> glyphs;
        QList<QPointF> positions;
        int width = 0;
        bool direct = true; // glyph by glyph, or through the toolkit's text layout
    };
    const Run& Layout(const QString& text);

    QImage* m_image;
    TColor m_penColor = clBlack;
    int m_penWidth = 1;
    TColor m_brushColor = clWhite;
    TCanvasFont m_font;
    int m_penX = 0;
    int m_penY = 0;
    std::unique_ptr<QPainter> m_painter;
    std::unique_ptr<Face> m_face;
    Run m_run; // the last text laid out by this canvas
    Surface m_surface;
    bool m_locked = false;
};

inline void TCanvas::HorzLine(int x0, int x, int y)
{
    const Surface& s = Locked();
    if (m_penWidth != 1 || !s.bits) {
        const int penX = m_penX, penY = m_penY;
        MoveTo(x0, y);
        LineTo(x, y);
        MoveTo(penX, penY);
        return;
    }
    if (x > x0)
        FillSpan(s, x0, x, y, ToRgb(m_penColor));
    else
        FillSpan(s, x + 1, x0 + 1, y, ToRgb(m_penColor));
}

inline void TCanvas::VertLine(int x, int y0, int y)
{
    const Surface& s = Locked();
    if (m_penWidth != 1 || !s.bits) {
        const int penX = m_penX, penY = m_penY;
        MoveTo(x, y0);
        LineTo(x, y);
        MoveTo(penX, penY);
        return;
    }
    if (unsigned(x) >= unsigned(s.width))
        return;
    const QRgb color = ToRgb(m_penColor);
    const int yFrom = std::max(y < y0 ? y + 1 : y0, 0);
    const int yTo = std::min(y < y0 ? y0 + 1 : y, s.height);
    for (int yy = yFrom; yy < yTo; ++yy)
        s.bits[yy * s.stride + x] = color;
}

// The toolkit font of a canvas font: the size in points is turned into pixels at 96 dots per
// inch, so that texts measure the same on every screen.
QFont ToQFont(const TCanvasFont& font);
