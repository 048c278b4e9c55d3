#include "GraphGeometry.h"

#include <charconv>
#include <algorithm>
#include <climits>
#include <cmath>

int TruncToInt(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= double(INT_MAX))
        return INT_MAX;
    if (value <= double(INT_MIN))
        return INT_MIN;
    return int(value); // truncates toward zero
}

namespace {
int ClampToInt(long long value)
{
    return value > INT_MAX ? INT_MAX : (value < INT_MIN ? INT_MIN : int(value));
}
} // namespace

TPlotGeometry PlotGeometry(int width, int height, int leftMargin, int rightMargin, int topMargin, int bottomMargin)
{
    TPlotGeometry g;
    g.L = leftMargin;
    g.T = topMargin;
    g.PW = ClampToInt((long long)width - leftMargin - rightMargin);
    g.PH = ClampToInt((long long)height - topMargin - bottomMargin);
    return g;
}

TTraceLevels TraceLevels(const TPlotGeometry& g, int n, int t, int spacing)
{
    const double band = double(g.PH) / n;
    const double half = spacing / 2.0; // a real half: 7 gives 3.5
    return {ClampToInt((long long)g.T + TruncToInt(band * (double(t) - 1) + half)),
            ClampToInt((long long)g.T + TruncToInt(band * t - half))};
}

int BandSeparatorY(const TPlotGeometry& g, int n, int i)
{
    return ClampToInt((long long)g.T + TruncToInt(double(g.PH) / n * i));
}

int GridLineX(const TPlotGeometry& g, int horzDiv, int i)
{
    // The product is formed as an integer before the division.
    return ClampToInt((long long)g.L + TruncToInt(double((long long)i * g.PW) / horzDiv));
}

std::optional<int> SampleX(const TPlotGeometry& g, TValuePosition position, long long i, long long count)
{
    if (position == vpPixels) {
        if (i > g.PW)
            return std::nullopt;
        return ClampToInt(g.L + std::max(i, (long long)INT_MIN));
    }
    // Samples 0 and 1 share the left edge; the newest lies at L + PW.
    if (i < 2)
        return g.L;
    return ClampToInt((long long)g.L + TruncToInt(double(i) * g.PW / (double(count) - 1)));
}

QStringList TraceLabelFields(const QString& traceLabels, int n)
{
    QString rest = traceLabels;
    if (!rest.endsWith(QLatin1Char(';')))
        rest += QLatin1Char(';');
    QStringList labels;
    labels.reserve(n > 0 ? n : 0);
    qsizetype from = 0;
    for (int t = 1; t <= n; ++t) {
        const qsizetype p = rest.indexOf(QLatin1Char(';'), from);
        QString label = p < 0 ? QString() : rest.mid(from, p - from);
        if (label.isEmpty())
            label = QStringLiteral("Trace ") + QString::number(t);
        labels.push_back(label);
        if (p >= 0)
            from = p + 1;
        else
            from = rest.size();
    }
    return labels;
}

int LabelY(const TPlotGeometry& g, int n, int t, int halfTextHeight, int vertOffset)
{
    const double centre = double(g.PH) / n * t - double(g.PH) / (2.0 * n);
    return ClampToInt((long long)TruncToInt(centre - halfTextHeight) + g.T + vertOffset);
}

QString ScaleText(double minVal, double maxVal, int horzDiv, int i, int decNum, const QString& unit)
{
    const double v = minVal + (maxVal - minVal) / horzDiv * i;
    // A negative digit count shows no decimals; more than 18 digits add nothing readable.
    const int digits = decNum < 0 ? 0 : (decNum > 18 ? 18 : decNum);
    char buffer[400];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::fixed, digits);
    QString text = result.ec == std::errc() ? QString::fromLatin1(buffer, result.ptr - buffer) : QStringLiteral("?");
    // A value that rounds to zero shows no minus sign.
    if (text.startsWith(QLatin1Char('-')) && text.mid(1).count(QLatin1Char('0')) + text.count(QLatin1Char('.')) == text.size() - 1)
        text.remove(0, 1);
    if (i > 0 && i < horzDiv)
        text += unit;
    return text;
}

int ScaleTextX(const TPlotGeometry& g, int horzDiv, int i, int textWidth)
{
    if (i == 0)
        return ClampToInt((long long)g.L - 2);
    if (i == horzDiv)
        return ClampToInt((long long)g.L + g.PW - textWidth);
    return ClampToInt((long long)GridLineX(g, horzDiv, i) - textWidth / 2);
}
