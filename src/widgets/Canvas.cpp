#include "Canvas.h"

#include <QGlyphRun>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// Two corners given in any order become the top-left one and the bottom-right one.
void OrderCorners(int& x1, int& y1, int& x2, int& y2)
{
    if (x2 < x1)
        std::swap(x1, x2);
    if (y2 < y1)
        std::swap(y1, y2);
}

} // namespace

QImage NewControlImage(int width, int height)
{
    if (width <= 0 || height <= 0)
        return QImage();
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(ToRgb(clWhite));
    return image;
}

std::optional<TColor> PixelAt(const QImage& image, int x, int y)
{
    if (!image.valid(x, y))
        return std::nullopt;
    return FromRgb(image.pixel(x, y));
}

QFont ToQFont(const TCanvasFont& font)
{
    QFont f(font.Name);
    // Points at 96 dots per inch, rounded as the classic MulDiv does; a negative size is
    // already a height in pixels.
    const int pixels = font.Size < 0 ? -font.Size : (font.Size * 96 + 36) / 72;
    f.setPixelSize(std::max(1, pixels));
    f.setBold(font.Bold);
    f.setItalic(font.Italic);
    return f;
}

struct TCanvas::Face {
    QFont font;
    QFontMetrics metrics;
    QRawFont raw;
};

TCanvas::TCanvas(QImage& image) : m_image(&image) {}

TCanvas::~TCanvas() { Flush(); }

void TCanvas::Flush()
{
    if (m_painter) {
        m_painter->end();
        m_painter.reset();
    }
}

void TCanvas::SetFont(const TCanvasFont& font)
{
    if (font == m_font)
        return;
    const bool sameFace = font.Name == m_font.Name && font.Size == m_font.Size && font.Bold == m_font.Bold
        && font.Italic == m_font.Italic;
    m_font = font;
    if (!sameFace) {
        m_face.reset();
        m_run = Run();
    }
}

TCanvas::Surface TCanvas::Lock()
{
    // The canvas is the image's only writer while it lives, so its pixel rows stay put.
    if (m_locked)
        return m_surface;
    m_locked = true;
    Surface& s = m_surface;
    if (m_image->isNull() || m_image->format() != QImage::Format_RGB32)
        return s;
    s.bits = reinterpret_cast<QRgb*>(m_image->bits());
    s.stride = m_image->bytesPerLine() / qsizetype(sizeof(QRgb));
    s.width = m_image->width();
    s.height = m_image->height();
    return s;
}

void TCanvas::PenDot(const Surface& s, int x, int y, QRgb color) const
{
    if (m_penWidth == 1) {
        if (unsigned(x) < unsigned(s.width) && unsigned(y) < unsigned(s.height))
            s.bits[y * s.stride + x] = color;
        return;
    }
    // A wide pen is a square centred on the line's pixel.
    const int lo = (m_penWidth - 1) / 2;
    for (int yy = y - lo; yy < y - lo + m_penWidth; ++yy)
        FillSpan(s, x - lo, x - lo + m_penWidth, yy, color);
}

void TCanvas::SetPixel(int x, int y, TColor color)
{
    const Surface s = Lock();
    if (s.bits && unsigned(x) < unsigned(s.width) && unsigned(y) < unsigned(s.height))
        s.bits[y * s.stride + x] = ToRgb(color);
}

void TCanvas::MoveTo(int x, int y)
{
    m_penX = x;
    m_penY = y;
}

void TCanvas::LineTo(int x, int y)
{
    const Surface s = Lock();
    const int x0 = m_penX;
    const int y0 = m_penY;
    m_penX = x;
    m_penY = y;
    if (!s.bits)
        return;
    const QRgb color = ToRgb(m_penColor);
    if (y0 == y && m_penWidth == 1)
        return HorzLine(x0, x, y); // grids and square waves
    if (x0 == x && m_penWidth == 1)
        return VertLine(x, y0, y);
    // One pixel per step along the major axis, the minor coordinate being the exact line's
    // rounded to the nearest pixel (halves upward). Only the steps that can reach the image are
    // visited, so far-away end points cost nothing.
    const long long dx = (long long)x - x0;
    const long long dy = (long long)y - y0;
    const bool xMajor = std::llabs(dx) >= std::llabs(dy);
    const long long steps = xMajor ? std::llabs(dx) : std::llabs(dy);
    if (steps == 0)
        return;
    const long long major0 = xMajor ? x0 : y0;
    const long long majorStep = (xMajor ? dx : dy) < 0 ? -1 : 1;
    const long long minorDelta = xMajor ? dy : dx;
    const long long minor0 = xMajor ? y0 : x0;
    const long long margin = m_penWidth;
    const long long extent = xMajor ? s.width : s.height;
    // Steps k whose major coordinate major0 + k * majorStep lies in [-margin, extent + margin).
    long long kFrom = 0;
    long long kTo = steps;
    if (majorStep > 0) {
        kFrom = std::max(kFrom, -margin - major0);
        kTo = std::min(kTo, extent + margin - major0);
    } else {
        kFrom = std::max(kFrom, major0 - (extent + margin - 1));
        kTo = std::min(kTo, major0 + margin + 1);
    }
    for (long long k = kFrom; k < kTo; ++k) {
        long long q;
        if (steps < (1LL << 30)) {
            const long long num = 2 * k * minorDelta + steps;
            const long long den = 2 * steps;
            q = num >= 0 ? num / den : -((-num + den - 1) / den); // floor
        } else {
            // Products of far-away coordinates exceed 64 bits.
            const __int128 num = __int128(2) * k * minorDelta + steps;
            const __int128 den = __int128(2) * steps;
            q = (long long)(num >= 0 ? num / den : -((-num + den - 1) / den));
        }
        const long long major = major0 + k * majorStep;
        const long long minor = minor0 + q;
        const long long px = xMajor ? major : minor;
        const long long py = xMajor ? minor : major;
        if (px < -margin || py < -margin || px >= s.width + margin || py >= s.height + margin)
            continue;
        PenDot(s, int(px), int(py), color);
    }
}

void TCanvas::FillRect(int x1, int y1, int x2, int y2)
{
    const Surface s = Lock();
    if (!s.bits)
        return;
    OrderCorners(x1, y1, x2, y2);
    const QRgb color = ToRgb(m_brushColor);
    for (int y = std::max(y1, 0); y < std::min(y2, s.height); ++y)
        FillSpan(s, x1, x2, y, color);
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2)
{
    const Surface s = Lock();
    if (!s.bits)
        return;
    OrderCorners(x1, y1, x2, y2);
    if (x1 == x2 || y1 == y2)
        return;
    // The outline is the pen's width of rings inside the bounds; the rest is the brush.
    const QRgb pen = ToRgb(m_penColor);
    const QRgb brush = ToRgb(m_brushColor);
    const int w = m_penWidth;
    const int yFrom = std::max(y1, 0);
    const int yTo = std::min(y2, s.height);
    for (int y = yFrom; y < yTo; ++y) {
        if (y < y1 + w || y >= y2 - w || x2 - x1 <= 2 * w) {
            FillSpan(s, x1, x2, y, pen);
        } else {
            FillSpan(s, x1, x1 + w, y, pen);
            FillSpan(s, x1 + w, x2 - w, y, brush);
            FillSpan(s, x2 - w, x2, y, pen);
        }
    }
}

void TCanvas::RoundRect(int x1, int y1, int x2, int y2, int cornerWidth, int cornerHeight)
{
    FillShape(x1, y1, x2, y2, cornerWidth, cornerHeight);
}

void TCanvas::Ellipse(int x1, int y1, int x2, int y2)
{
    FillShape(x1, y1, x2, y2, std::abs(x2 - x1), std::abs(y2 - y1));
}

// A convex shape given row by row: the rectangle with its corners cut along quarters of a
// cornerWidth x cornerHeight ellipse (the whole ellipse when the corner is the whole size). A
// pixel is inside when its centre is. The outline is the pen's width of rings of inside pixels
// that touch the outside, found by repeated erosion of the row spans.
void TCanvas::FillShape(int x1, int y1, int x2, int y2, int cornerWidth, int cornerHeight)
{
    const Surface s = Lock();
    if (!s.bits)
        return;
    OrderCorners(x1, y1, x2, y2);
    const int W = x2 - x1;
    const int H = y2 - y1;
    if (W == 0 || H == 0)
        return;
    const double a = std::min(std::abs(cornerWidth), W) / 2.0;
    const double b = std::min(std::abs(cornerHeight), H) / 2.0;

    struct Span {
        int l, r;
    };
    // Only the rows that can show in the image are computed, with the pen's width of rows
    // around them so that the erosion of the visible rows is exact.
    const int w = m_penWidth;
    const long long visFrom = std::max<long long>(0, -(long long)y1);
    const long long visTo = std::min<long long>(H, (long long)s.height - y1);
    if (visFrom >= visTo)
        return;
    const int rowFrom = int(std::max<long long>(0, visFrom - w));
    const int rowTo = int(std::min<long long>(H, visTo + w));
    const int rows = rowTo - rowFrom;
    std::vector<Span> inside(rows);
    for (int r = 0; r < rows; ++r) {
        const double yc = rowFrom + r + 0.5;
        double t = 0.0;
        if (b > 0.0 && yc < b)
            t = (b - yc) / b;
        else if (b > 0.0 && yc > H - b)
            t = (yc - (H - b)) / b;
        const double inset = a > 0.0 && t > 0.0 ? a - a * std::sqrt(std::max(0.0, 1.0 - t * t)) : 0.0;
        const int l = int(std::ceil(inset - 0.5));
        inside[r] = {l, W - l};
    }

    std::vector<Span> core = inside;
    for (int ring = 0; ring < w; ++ring) {
        std::vector<Span> next(rows);
        for (int r = 0; r < rows; ++r) {
            const int j = rowFrom + r;
            if (j == 0 || j == H - 1 || r == 0 || r == rows - 1) {
                // Shape edges erode away; window edges are far enough from the visible rows.
                next[r] = {0, 0};
                continue;
            }
            const int l = std::max({core[r].l + 1, core[r - 1].l, core[r + 1].l});
            const int rr = std::min({core[r].r - 1, core[r - 1].r, core[r + 1].r});
            next[r] = l < rr ? Span{l, rr} : Span{0, 0};
        }
        core = std::move(next);
    }

    const QRgb pen = ToRgb(m_penColor);
    const QRgb brush = ToRgb(m_brushColor);
    for (long long j = visFrom; j < visTo; ++j) {
        const int y = int(y1 + j);
        const Span in = inside[j - rowFrom];
        const Span c = core[j - rowFrom];
        if (in.l >= in.r)
            continue;
        if (c.l >= c.r) {
            FillSpan(s, x1 + in.l, x1 + in.r, y, pen);
        } else {
            FillSpan(s, x1 + in.l, x1 + c.l, y, pen);
            FillSpan(s, x1 + c.l, x1 + c.r, y, brush);
            FillSpan(s, x1 + c.r, x1 + in.r, y, pen);
        }
    }
}

const TCanvas::Face& TCanvas::CurrentFace()
{
    if (!m_face) {
        QFont font = ToQFont(m_font);
        m_face = std::make_unique<Face>(Face{font, QFontMetrics(font), QRawFont::fromFont(font)});
    }
    return *m_face;
}

const TCanvas::Run& TCanvas::Layout(const QString& text)
{
    if (m_run.text == text)
        return m_run;
    const Face& face = CurrentFace();
    m_run.text = text;
    m_run.glyphs.clear();
    m_run.positions.clear();
    // Latin text that the font covers is laid out glyph by glyph; anything else (other scripts,
    // characters the font lacks) goes through the toolkit's full text layout with its fallbacks.
    bool direct = face.raw.isValid();
    for (QChar c : text)
        direct = direct && c.unicode() < 0x0250;
    if (direct) {
        m_run.glyphs = face.raw.glyphIndexesForString(text);
        direct = !m_run.glyphs.contains(0u);
    }
    m_run.direct = direct;
    if (!direct) {
        m_run.glyphs.clear();
        m_run.width = face.metrics.horizontalAdvance(text);
        return m_run;
    }
    qreal x = 0;
    for (const QPointF& a : face.raw.advancesForGlyphIndexes(m_run.glyphs)) {
        m_run.positions.push_back(QPointF(x, 0));
        x += a.x();
    }
    m_run.width = qRound(x);
    return m_run;
}

QPainter& TCanvas::TextPainter()
{
    if (!m_painter)
        m_painter = std::make_unique<QPainter>(m_image);
    return *m_painter;
}

int TCanvas::TextWidth(const QString& text) { return Layout(text).width; }

int TCanvas::TextHeight(const QString&) { return CurrentFace().metrics.height(); }

void TCanvas::TextOut(int x, int y, const QString& text)
{
    if (m_image->isNull())
        return;
    // Text that starts far beyond the right or bottom edge shows nothing, and its far edges
    // would not fit an int.
    constexpr int kFar = 1 << 16;
    if (x > m_image->width() + kFar || y > m_image->height() + kFar)
        return;
    const Face& face = CurrentFace();
    const Run& run = Layout(text);
    FillRect(x, y, x + run.width, y + face.metrics.height());
    if (text.isEmpty())
        return;
    QPainter& p = TextPainter();
    p.setPen(QColor::fromRgb(ToRgb(m_font.Color)));
    const QPointF origin(x, y + face.metrics.ascent());
    if (!run.direct) {
        p.setFont(face.font);
        p.drawText(origin, text);
        return;
    }
    QGlyphRun glyphs;
    glyphs.setRawFont(face.raw);
    glyphs.setGlyphIndexes(run.glyphs);
    glyphs.setPositions(run.positions);
    p.drawGlyphRun(origin, glyphs);
}

void TCanvas::Draw(int x, int y, const QImage& source)
{
    if (source.isNull())
        return;
    const Surface s = Lock();
    if (!s.bits)
        return;
    const QImage src = source.format() == QImage::Format_RGB32 ? source : source.convertToFormat(QImage::Format_RGB32);
    const int sx0 = std::max(0, -x);
    const int sy0 = std::max(0, -y);
    const int sx1 = std::min(src.width(), s.width - x);
    const int sy1 = std::min(src.height(), s.height - y);
    if (sx0 >= sx1)
        return;
    for (int sy = sy0; sy < sy1; ++sy) {
        const QRgb* from = reinterpret_cast<const QRgb*>(src.constScanLine(sy)) + sx0;
        std::memcpy(s.bits + (y + sy) * s.stride + x + sx0, from, std::size_t(sx1 - sx0) * sizeof(QRgb));
    }
}

void TCanvas::DrawParts(const QImage& source, std::span<const QRect> parts)
{
    if (source.isNull() || parts.empty())
        return;
    const Surface s = Lock();
    if (!s.bits)
        return;
    const QImage src = source.format() == QImage::Format_RGB32 ? source : source.convertToFormat(QImage::Format_RGB32);
    const int width = std::min(src.width(), s.width);
    const int height = std::min(src.height(), s.height);
    const auto* from = reinterpret_cast<const QRgb*>(src.constBits());
    const qsizetype fromStride = src.bytesPerLine() / qsizetype(sizeof(QRgb));
    for (std::size_t i = 0; i < parts.size();) {
        const QRect& part = parts[i];
        const int y1 = std::max(part.top(), 0);
        const int y2 = std::min(part.bottom(), height - 1);
        if (part.width() == 1) {
            // Columns of one height in a row are copied row by row, so that the rows are read
            // in order rather than a pixel a row apart.
            std::size_t end = i + 1;
            while (end < parts.size() && parts[end].width() == 1 && parts[end].top() == part.top()
                   && parts[end].bottom() == part.bottom())
                ++end;
            for (int y = y1; y <= y2; ++y) {
                for (std::size_t k = i; k < end; ++k) {
                    const int x = parts[k].left();
                    if (unsigned(x) < unsigned(width))
                        s.bits[y * s.stride + x] = from[y * fromStride + x];
                }
            }
            i = end;
            continue;
        }
        const int x1 = std::max(part.left(), 0);
        const int x2 = std::min(part.right(), width - 1);
        if (x1 <= x2) {
            for (int y = y1; y <= y2; ++y)
                std::memcpy(s.bits + y * s.stride + x1, from + y * fromStride + x1, std::size_t(x2 - x1 + 1) * sizeof(QRgb));
        }
        ++i;
    }
}

void TCanvas::StretchDraw(const QRect& dest, const QImage& source, const QRect& sourceRect)
{
    if (source.isNull() || dest.width() <= 0 || dest.height() <= 0 || sourceRect.width() <= 0
        || sourceRect.height() <= 0)
        return;
    const Surface s = Lock();
    if (!s.bits)
        return;
    // Nearest pixel: destination pixel d takes source pixel trunc(d * source size / dest size).
    const int dyFrom = std::max(0, -dest.y());
    const int dyTo = std::min(dest.height(), s.height - dest.y());
    const int dxFrom = std::max(0, -dest.x());
    const int dxTo = std::min(dest.width(), s.width - dest.x());
    for (int dy = dyFrom; dy < dyTo; ++dy) {
        const int y = dest.y() + dy;
        const int sy = sourceRect.y() + int(qint64(dy) * sourceRect.height() / dest.height());
        for (int dx = dxFrom; dx < dxTo; ++dx) {
            const int x = dest.x() + dx;
            const int sx = sourceRect.x() + int(qint64(dx) * sourceRect.width() / dest.width());
            if (source.valid(sx, sy))
                s.bits[y * s.stride + x] = 0xFF000000u | source.pixel(sx, sy);
        }
    }
}

void TCanvas::DrawTransparent(int x, int y, const QImage& source, const QRect& sourceRect, TColor transparent)
{
    const Surface s = Lock();
    if (!s.bits || source.isNull())
        return;
    const QRgb key = ToRgb(transparent) & 0xFFFFFFu;
    for (int dy = 0; dy < sourceRect.height(); ++dy) {
        for (int dx = 0; dx < sourceRect.width(); ++dx) {
            const int sx = sourceRect.x() + dx;
            const int sy = sourceRect.y() + dy;
            const int tx = x + dx;
            const int ty = y + dy;
            if (!source.valid(sx, sy) || unsigned(tx) >= unsigned(s.width) || unsigned(ty) >= unsigned(s.height))
                continue;
            const QRgb p = source.pixel(sx, sy) & 0xFFFFFFu;
            if (p != key)
                s.bits[ty * s.stride + tx] = 0xFF000000u | p;
        }
    }
}
