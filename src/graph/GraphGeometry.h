#pragma once
// Geometry of the trace graph's drawing, computed without drawing: the plot area, the band
// levels of each trace, the grid lines, the sample positions, the label fields and the scale
// texts. Real-valued positions are truncated toward zero.
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

enum TValuePosition : std::uint8_t { vpPixels = 0, vpFullWidth = 1 };

// Truncation toward zero of a real position, held within the range of int (0 for NaN).
int TruncToInt(double value);

struct TPlotGeometry {
    int L = 0;  // left edge of the plot area
    int T = 0;  // top edge
    int PW = 0; // width
    int PH = 0; // height
};

TPlotGeometry PlotGeometry(int width, int height, int leftMargin, int rightMargin, int topMargin, int bottomMargin);

// The two levels of trace t (1-based) among n: "1" is drawn at High, "0" at Low.
struct TTraceLevels {
    int High = 0;
    int Low = 0;
    bool operator==(const TTraceLevels&) const = default;
};
TTraceLevels TraceLevels(const TPlotGeometry& g, int n, int t, int spacing);

// The separator between band i and band i + 1 (1 <= i < n).
int BandSeparatorY(const TPlotGeometry& g, int n, int i);

// The vertical grid line of division i (1 <= i < horzDiv); horzDiv must not be 0.
int GridLineX(const TPlotGeometry& g, int horzDiv, int i);

// The x position of sample i of count, before the right offset; nullopt when the sample lies
// beyond the plot with one sample per pixel column (its trace ends there).
std::optional<int> SampleX(const TPlotGeometry& g, TValuePosition position, long long i, long long count);

// The labels of n traces from the ";"-separated text; missing or empty ones are "Trace " and
// the trace number.
QStringList TraceLabelFields(const QString& traceLabels, int n);

// Top of the label of trace t: centred on the middle of its band, moved down by the offset.
int LabelY(const TPlotGeometry& g, int n, int t, int halfTextHeight, int vertOffset);

// The value of scale step i in fixed-point notation with decNum digits after a "." whatever
// the locale; inner steps (0 < i < horzDiv) carry the unit. horzDiv must not be 0.
QString ScaleText(double minVal, double maxVal, int horzDiv, int i, int decNum, const QString& unit);

// Left edge of the text of scale step i: the first at L - 2, the last right-aligned on the
// plot's right edge, the inner ones centred on their grid line. horzDiv must not be 0.
int ScaleTextX(const TPlotGeometry& g, int horzDiv, int i, int textWidth);
