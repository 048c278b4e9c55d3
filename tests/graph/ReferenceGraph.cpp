#include "ReferenceGraph.h"

#include <algorithm>

#include "Canvas.h"
#include "kvDGraph.h"

namespace {
constexpr TColor kWhite = MakeColor(255, 255, 255);
constexpr TColor kGrey = MakeColor(128, 128, 128);
constexpr int kLimit = 1 << 26;
int C(int v) { return std::clamp(v, -kLimit, kLimit); }

void DrawUpToTheTraces(const TkvDGraph& g, TCanvas& c, const TPlotGeometry& p)
{
    const int W = g.Width(), H = g.Height(), L = p.L, T = p.T, N = g.NumTraces();
    c.SetPenColor(g.Border() == btSingle ? clBlack : g.BGColor());
    c.SetBrushColor(g.BGColor());
    c.Rectangle(0, 0, W, H);
    if (g.Border() == btRaised || g.Border() == btLowered) {
        c.SetPenColor(g.Border() == btRaised ? kWhite : kGrey);
        c.MoveTo(0, H - 1);
        c.LineTo(0, 0);
        c.LineTo(W - 1, 0);
        c.SetPenColor(g.Border() == btRaised ? kGrey : kWhite);
        c.LineTo(W - 1, H - 1);
        c.LineTo(0, H - 1);
    }
    c.SetPenColor(g.GraphColor());
    c.SetBrushColor(g.GraphColor());
    c.Rectangle(C(g.LeftMargin()), C(g.TopMargin()), W - C(g.RightMargin()), H - C(g.BottomMargin()));
    if (g.CTL3D()) {
        c.SetPenColor(kGrey);
        c.MoveTo(L - 1, T - 1);
        c.LineTo(L - 1, T + p.PH);
        c.MoveTo(L - 1, T - 1);
        c.LineTo(L + p.PW, T - 1);
        c.SetPenColor(kWhite);
        c.MoveTo(L + p.PW, T - 1);
        c.LineTo(L + p.PW, T + p.PH + 1);
        c.MoveTo(L - 1, T + p.PH);
        c.LineTo(L + p.PW, T + p.PH);
    }
    c.SetPenColor(g.GridColor());
    for (int i = 1; (g.GridType() & gtHorizontal) && i < g.HorzDiv(); ++i) {
        c.MoveTo(GridLineX(p, g.HorzDiv(), i), T);
        c.LineTo(GridLineX(p, g.HorzDiv(), i), H - C(g.BottomMargin()));
    }
    for (int i = 1; (g.GridType() & gtVertical) && i < N; ++i) {
        c.MoveTo(L, BandSeparatorY(p, N, i));
        c.LineTo(W - C(g.RightMargin()), BandSeparatorY(p, N, i));
    }
    c.SetBrushColor(g.BGColor());
    c.SetFont({QStringLiteral("Arial"), g.TextSize(), g.TextColor()});
    const TScaleText s = g.ScaleText();
    const QStringList labels = TraceLabelFields(g.TraceLabels(), N);
    for (int t = 1; (s.Contains(stLeft) || s.Contains(stRight)) && t <= N; ++t) {
        const QString& label = labels[t - 1];
        const int y = LabelY(p, N, t, c.TextHeight(label) / 2, g.TraceLabelsVertOffset());
        if (s.Contains(stLeft))
            c.TextOut(L - 4 - c.TextWidth(label), y, label);
        if (s.Contains(stRight))
            c.TextOut(L + p.PW + 4, y, label);
    }
}

bool DrawScale(const TkvDGraph& g, TCanvas& c, const TPlotGeometry& p)
{
    const TScaleText s = g.ScaleText();
    if (!s.Contains(stTop) && !s.Contains(stBottom))
        return true;
    if (g.HorzDiv() == 0)
        return false;
    for (int i = 0; i <= g.HorzDiv(); ++i) {
        const QString text = ScaleText(g.HorzMinVal(), g.HorzMaxVal(), g.HorzDiv(), i, g.HorzDecNum(), g.HorzUnit());
        const int x = ScaleTextX(p, g.HorzDiv(), i, c.TextWidth(text));
        if (s.Contains(stTop))
            c.TextOut(x, p.T - 4 - c.TextHeight(text), text);
        if (s.Contains(stBottom))
            c.TextOut(x, p.T + p.PH + 4, text);
    }
    return true;
}

void DrawTraces(const TkvDGraph& g, TCanvas& c, const TPlotGeometry& p)
{
    c.SetPenColor(g.TracesColor());
    const QStringList& values = g.LstValues();
    for (int t = 1; t <= g.NumTraces(); ++t) {
        const TTraceLevels level = TraceLevels(p, g.NumTraces(), t, g.Spacing());
        bool wasHigh = false;
        for (qsizetype i = 0; i < values.size(); ++i) {
            const QChar ch = values[i].size() >= t ? values[i][t - 1] : QChar();
            const std::optional<int> x = SampleX(p, g.ValuePosition(), i, values.size());
            if ((ch != QLatin1Char('1') && ch != QLatin1Char('0')) || !x)
                break;
            const bool high = ch == QLatin1Char('1');
            if (i == 0)
                c.MoveTo(p.L, high ? level.High : level.Low);
            c.LineTo(*x - C(g.RightOffset()), wasHigh ? level.High : level.Low);
            if (high != wasHigh)
                c.LineTo(*x - C(g.RightOffset()), high ? level.High : level.Low);
            wasHigh = high;
        }
    }
}
} // namespace

QImage ReferenceGraphImage(const TkvDGraph& g)
{
    QImage image = NewControlImage(g.Width(), g.Height());
    TCanvas c(image);
    const TPlotGeometry p = PlotGeometry(g.Width(), g.Height(), C(g.LeftMargin()), C(g.RightMargin()),
                                         C(g.TopMargin()), C(g.BottomMargin()));
    DrawUpToTheTraces(g, c, p);
    if (DrawScale(g, c, p) && !g.LstValues().isEmpty())
        DrawTraces(g, c, p);
    c.Flush();
    return image;
}
