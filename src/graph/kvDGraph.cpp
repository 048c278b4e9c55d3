#include "kvDGraph.h"

#include <QImageWriter>
#include <algorithm>
#include <limits>
#include <vector>

#include "Canvas.h"

namespace {
constexpr TColor kWhite = MakeColor(255, 255, 255);
constexpr TColor kDarkGrey = MakeColor(128, 128, 128);

// Margins and offsets are drawn held within this many pixels either way: far beyond any
// image, so the picture is the same, and every coordinate the drawing adds up stays an int.
constexpr int kCoordLimit = 1 << 26;
int Coord(int value) { return std::clamp(value, -kCoordLimit, kCoordLimit); }
} // namespace

TkvDGraph::TkvDGraph(QWidget* parent) : TOffscreenControl(parent)
{
    SetBounds(x(), y(), width(), 305);
    SetBounds(x(), y(), 433, 305);
}

template <class T>
void TkvDGraph::StoreAndRedraw(T& field, const T& value)
{
    if (field == value)
        return;
    field = value;
    Paint();
}

void TkvDGraph::SetWidth(int value)
{
    if (value != width())
        SetBounds(x(), y(), value, height());
}

void TkvDGraph::SetHeight(int value)
{
    if (value != height())
        SetBounds(x(), y(), width(), value);
}

void TkvDGraph::SetNumTraces(std::uint16_t value) { StoreAndRedraw(m_look.numTraces, value); }
void TkvDGraph::SetSpacing(int value) { StoreAndRedraw(m_spacing, value); }
void TkvDGraph::SetTraceLabels(const QString& value) { StoreAndRedraw(m_look.traceLabels, value); }
void TkvDGraph::SetGridType(TGridType value) { StoreAndRedraw(m_look.gridType, value); }
void TkvDGraph::SetValuePosition(TValuePosition value) { StoreAndRedraw(m_valuePosition, value); }
void TkvDGraph::SetBGColor(TColor value) { StoreAndRedraw(m_look.bgColor, value); }
void TkvDGraph::SetCTL3D(bool value) { StoreAndRedraw(m_look.ctl3d, value); }
void TkvDGraph::SetBorder(TBorderType value) { StoreAndRedraw(m_look.border, value); }
void TkvDGraph::SetGraphColor(TColor value) { StoreAndRedraw(m_look.graphColor, value); }
void TkvDGraph::SetGridColor(TColor value) { StoreAndRedraw(m_look.gridColor, value); }
void TkvDGraph::SetTracesColor(TColor value) { StoreAndRedraw(m_tracesColor, value); }
void TkvDGraph::SetLeftMargin(int value) { StoreAndRedraw(m_look.leftMargin, value); }
void TkvDGraph::SetRightMargin(int value) { StoreAndRedraw(m_look.rightMargin, value); }
void TkvDGraph::SetTopMargin(int value) { StoreAndRedraw(m_look.topMargin, value); }
void TkvDGraph::SetBottomMargin(int value) { StoreAndRedraw(m_look.bottomMargin, value); }
void TkvDGraph::SetRightOffset(int value) { StoreAndRedraw(m_rightOffset, value); }
void TkvDGraph::SetHorzMinVal(float value) { StoreAndRedraw(m_look.horzMinVal, value); }
void TkvDGraph::SetHorzMaxVal(float value) { StoreAndRedraw(m_look.horzMaxVal, value); }
void TkvDGraph::SetHorzUnit(const QString& value) { StoreAndRedraw(m_look.horzUnit, value); }
void TkvDGraph::SetHorzDiv(int value) { StoreAndRedraw(m_look.horzDiv, value); }
void TkvDGraph::SetHorzDecNum(int value) { StoreAndRedraw(m_look.horzDecNum, value); }
void TkvDGraph::SetScaleText(TScaleText value) { StoreAndRedraw(m_look.scaleText, value); }
void TkvDGraph::SetTextColor(TColor value) { StoreAndRedraw(m_look.textColor, value); }
void TkvDGraph::SetTextSize(int value) { StoreAndRedraw(m_look.textSize, value); }

void TkvDGraph::SetMaxItems(int value)
{
    if (value == m_maxItems)
        return;
    m_maxItems = value;
    Trim();
    Paint();
}

void TkvDGraph::Trim()
{
    if (m_maxItems <= 0)
        return;
    while (m_values.size() > m_maxItems)
        m_values.removeFirst();
}

int TkvDGraph::AddValues(const QString& sample, bool redraw)
{
    m_values.append(sample);
    Trim();
    const int count = int(m_values.size());
    if (redraw)
        Paint();
    return count;
}

int TkvDGraph::DeleteValues(int index, bool redraw)
{
    if (index < 0)
        throw std::out_of_range("graph sample index out of range: " + std::to_string(index));
    if (index > m_values.size() - 1)
        return 0;
    m_values.removeAt(index);
    const int count = int(m_values.size());
    if (redraw)
        Paint();
    return count;
}

void TkvDGraph::Clear()
{
    m_values.clear();
    Paint();
}

void TkvDGraph::SaveGraphToFile(const QString& fileName) const
{
    if (m_image.isNull() || fileName.isEmpty())
        return;
    QImageWriter writer(fileName, "bmp");
    writer.write(m_image); // a failure is ignored
}

void TkvDGraph::DrawGraph() { DrawImage(m_image); }

void TkvDGraph::DrawImage(QImage& image)
{
    const TPlotGeometry g = PlotGeometry(width(), height(), Coord(m_look.leftMargin), Coord(m_look.rightMargin),
                                         Coord(m_look.topMargin), Coord(m_look.bottomMargin));
    // Everything but the traces depends on the size and the look alone, so it is drawn again
    // only when one of them changed; each drawing starts from a copy of it. An image that
    // still holds the last drawing over this backdrop needs only its traces' pixels back.
    bool onlyTraces = m_tracedImage != 0 && image.cacheKey() == m_tracedImage;
    m_tracedImage = 0;
    if (!m_backdropLook || !(*m_backdropLook == m_look) || m_backdrop.size() != image.size()) {
        m_backdropLook.reset();
        onlyTraces = false;
        QImage backdrop = NewControlImage(image.width(), image.height());
        bool failed = false;
        {
            TCanvas canvas(backdrop);
            try {
                DrawBackdrop(canvas, g);
            } catch (const TGraphDrawError&) {
                failed = true; // a scale without divisions: the labels are drawn, the rest is not
            }
        }
        m_backdrop = backdrop;
        m_backdropFailed = failed;
        m_backdropLook = m_look;
    }
    {
        TCanvas canvas(image);
        if (onlyTraces)
            canvas.DrawParts(m_backdrop, m_traced);
        else
            canvas.Draw(0, 0, m_backdrop);
        m_traced.clear();
        if (m_backdropFailed)
            throw TGraphDrawError("graph scale without divisions");
        if (!m_values.isEmpty())
            DrawTraces(canvas, g);
    }
    // Any later change to the image's pixels gives it a new key.
    m_tracedImage = image.cacheKey();
}

void TkvDGraph::DrawBackdrop(TCanvas& canvas, const TPlotGeometry& g)
{
    const int W = width();
    const int H = height();
    const int L = g.L;
    const int T = g.T;
    const int N = m_look.numTraces;

    // 1. Background, with a black outline for a single border.
    DrawBackground(canvas);

    // 2. Bevel of a raised or lowered border.
    if (m_look.border == btRaised || m_look.border == btLowered) {
        const bool raised = m_look.border == btRaised;
        canvas.SetPenColor(raised ? kWhite : kDarkGrey);
        canvas.MoveTo(0, H - 1);
        canvas.LineTo(0, 0);
        canvas.LineTo(W - 1, 0);
        canvas.SetPenColor(raised ? kDarkGrey : kWhite);
        canvas.LineTo(W - 1, H - 1);
        canvas.LineTo(0, H - 1);
    }

    // 3. Plot area.
    canvas.SetPenColor(m_look.graphColor);
    canvas.SetBrushColor(m_look.graphColor);
    canvas.Rectangle(Coord(m_look.leftMargin), Coord(m_look.topMargin), W - Coord(m_look.rightMargin), H - Coord(m_look.bottomMargin));

    // 4. Sunken frame around the plot area.
    if (m_look.ctl3d) {
        canvas.SetPenColor(kDarkGrey);
        canvas.MoveTo(L - 1, T - 1);
        canvas.LineTo(L - 1, T + g.PH);
        canvas.MoveTo(L - 1, T - 1);
        canvas.LineTo(L + g.PW, T - 1);
        canvas.SetPenColor(kWhite);
        canvas.MoveTo(L + g.PW, T - 1);
        canvas.LineTo(L + g.PW, T + g.PH + 1);
        canvas.MoveTo(L - 1, T + g.PH);
        canvas.LineTo(L + g.PW, T + g.PH);
    }

    // 5. Vertical grid lines at the horizontal divisions.
    if (m_look.gridType == gtHorizontal || m_look.gridType == gtBoth) {
        canvas.SetPenColor(m_look.gridColor);
        for (int i = 1; i <= m_look.horzDiv - 1; ++i) {
            const int x = GridLineX(g, m_look.horzDiv, i);
            canvas.MoveTo(x, T);
            canvas.LineTo(x, H - Coord(m_look.bottomMargin));
        }
    }

    // 6. Separators between the trace bands.
    if (m_look.gridType == gtVertical || m_look.gridType == gtBoth) {
        canvas.SetPenColor(m_look.gridColor);
        for (int i = 1; i <= N - 1; ++i) {
            const int y = BandSeparatorY(g, N, i);
            canvas.MoveTo(L, y);
            canvas.LineTo(W - Coord(m_look.rightMargin), y);
        }
    }

    const TCanvasFont font{QStringLiteral("Arial"), m_look.textSize, m_look.textColor};

    // 7. Trace labels.
    if (m_look.scaleText.Contains(stLeft) || m_look.scaleText.Contains(stRight)) {
        canvas.SetBrushColor(m_look.bgColor);
        canvas.SetFont(font);
        const QStringList labels = TraceLabelFields(m_look.traceLabels, N);
        for (int t = 1; t <= N; ++t) {
            const QString& label = labels[t - 1];
            const int h = canvas.TextHeight(label) / 2;
            const int y = LabelY(g, N, t, h, m_look.traceLabelsVertOffset);
            if (m_look.scaleText.Contains(stLeft))
                canvas.TextOut(L - 4 - canvas.TextWidth(label), y, label);
            if (m_look.scaleText.Contains(stRight))
                canvas.TextOut(L + g.PW + 4, y, label);
        }
    }

    // 8. Horizontal scale.
    if (m_look.scaleText.Contains(stTop) || m_look.scaleText.Contains(stBottom)) {
        if (m_look.horzDiv == 0)
            throw TGraphDrawError("graph scale without divisions");
        canvas.SetBrushColor(m_look.bgColor);
        canvas.SetFont(font);
        for (int i = 0; i <= m_look.horzDiv; ++i) {
            const QString text = ::ScaleText(m_look.horzMinVal, m_look.horzMaxVal, m_look.horzDiv, i, m_look.horzDecNum, m_look.horzUnit);
            const int x = ScaleTextX(g, m_look.horzDiv, i, canvas.TextWidth(text));
            if (m_look.scaleText.Contains(stTop))
                canvas.TextOut(x, T - 4 - canvas.TextHeight(text), text);
            if (m_look.scaleText.Contains(stBottom))
                canvas.TextOut(x, T + g.PH + 4, text);
        }
    }
}

void TkvDGraph::DrawBackground(TCanvas& canvas)
{
    const int W = width();
    const int H = height();
    const TColor pen = m_look.border == btSingle ? clBlack : m_look.bgColor;
    canvas.SetPenColor(pen);
    canvas.SetBrushColor(m_look.bgColor);
    // The plot area's rectangle (step 3) paints every pixel of its area whatever lies there, so
    // the background leaves that area to it: same image, and the largest fill is done once.
    const int px1 = std::min(Coord(m_look.leftMargin), W - Coord(m_look.rightMargin));
    const int px2 = std::max(Coord(m_look.leftMargin), W - Coord(m_look.rightMargin));
    const int py1 = std::min(Coord(m_look.topMargin), H - Coord(m_look.bottomMargin));
    const int py2 = std::max(Coord(m_look.topMargin), H - Coord(m_look.bottomMargin));
    if (W <= 2 || H <= 2 || px1 >= px2 || py1 >= py2) {
        canvas.Rectangle(0, 0, W, H);
        return;
    }
    canvas.FillRect(0, 0, W, py1);
    canvas.FillRect(0, py2, W, H);
    canvas.FillRect(0, py1, px1, py2);
    canvas.FillRect(px2, py1, W, py2);
    if (pen != m_look.bgColor) {
        canvas.MoveTo(0, 0);
        canvas.LineTo(W - 1, 0);
        canvas.LineTo(W - 1, H - 1);
        canvas.LineTo(0, H - 1);
        canvas.LineTo(0, 0);
    }
}

void TkvDGraph::DrawTraces(TCanvas& canvas, const TPlotGeometry& g)
{
    canvas.SetPenColor(m_tracesColor);
    const int N = m_look.numTraces;
    const qsizetype count = m_values.size();
    // The drawn sample positions, moved left by the right offset, are the same for every
    // trace; a sample without one ends them all.
    std::vector<int> xs;
    xs.reserve(std::size_t(count));
    for (qsizetype i = 0; i < count; ++i) {
        const std::optional<int> x = SampleX(g, m_valuePosition, i, count);
        if (!x)
            break;
        xs.push_back(*x - Coord(m_rightOffset));
    }
    // Each sample's characters, looked up once for all traces.
    std::vector<QStringView> samples(m_values.cbegin(), m_values.cbegin() + qsizetype(xs.size()));
    // What each trace covers is noted for the next drawing to undo: its edges one by one, its
    // horizontal runs as the span from the leftmost to the rightmost on each level's row.
    auto vertLine = [&](int x, int y0, int y) {
        canvas.VertLine(x, y0, y);
        m_traced.emplace_back(QPoint(x, std::min(y0, y)), QPoint(x, std::max(y0, y)));
    };
    for (int t = 1; t <= N; ++t) {
        const TTraceLevels level = TraceLevels(g, N, t, m_spacing);
        bool wasHigh = false; // the previous level starts low
        // A level held over several samples is one run from the last edge to the pen.
        int runFrom = 0;
        int penX = 0;
        // The span of the runs on each level's row: [0] the high row, [1] the low row.
        int runsLeft[2] = {std::numeric_limits<int>::max(), std::numeric_limits<int>::max()};
        int runsRight[2] = {std::numeric_limits<int>::min(), std::numeric_limits<int>::min()};
        auto horzLine = [&](int x0, int x, int y) {
            canvas.HorzLine(x0, x, y);
            const int row = y == level.High ? 0 : 1;
            runsLeft[row] = std::min({runsLeft[row], x0, x});
            runsRight[row] = std::max({runsRight[row], x0, x});
        };
        for (std::size_t i = 0; i < samples.size(); ++i) {
            if (samples[i].size() < t)
                break;
            const QChar ch = samples[i][t - 1];
            if (ch != QLatin1Char('1') && ch != QLatin1Char('0'))
                break; // a character other than "0" or "1" ends this trace
            const bool high = ch == QLatin1Char('1');
            const int y = wasHigh ? level.High : level.Low;
            if (i == 0) {
                // From the plot's left edge, unshifted, to the first drawn position at the low
                // level: the one line that can slant.
                const int y0 = high ? level.High : level.Low;
                canvas.MoveTo(g.L, y0);
                canvas.LineTo(xs[0], y);
                m_traced.emplace_back(QPoint(std::min(g.L, xs[0]), std::min(y0, y)),
                                      QPoint(std::max(g.L, xs[0]), std::max(y0, y)));
                runFrom = xs[0];
            }
            penX = xs[i];
            if (high != wasHigh) {
                horzLine(runFrom, penX, y);
                vertLine(penX, y, high ? level.High : level.Low);
                runFrom = penX;
            }
            wasHigh = high;
        }
        // The positions only ever move one way, so the run's pieces join up.
        horzLine(runFrom, penX, wasHigh ? level.High : level.Low);
        for (int row = 0; row < 2; ++row) {
            if (runsLeft[row] <= runsRight[row]) {
                const int y = row == 0 ? level.High : level.Low;
                m_traced.emplace_back(QPoint(runsLeft[row], y), QPoint(runsRight[row], y));
            }
        }
    }
}
