#pragma once
// The digital multi-trace graph: a logic-analyser view that keeps an ordered history of
// samples and draws each trace as a two-level square wave inside a plot area, with trace
// labels, an optional grid and an optional horizontal scale.
#include <QRect>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "Colors.h"
#include "GraphGeometry.h"
#include "OffscreenControl.h"
#include "kvBase.h"

class TCanvas;

enum TGridType : std::uint8_t {
    gtNone = 0,
    gtVertical = 1,   // horizontal lines between the trace bands
    gtHorizontal = 2, // vertical lines at the horizontal divisions
    gtBoth = 3,
};

enum TTextType : std::uint8_t {
    stLeft = 0,   // trace labels left of the plot
    stRight = 1,  // trace labels right of the plot
    stBottom = 2, // scale values below the plot
    stTop = 3,    // scale values above the plot
};

// A set of TTextType held as a byte, bit n for the member of ordinal n.
class TScaleText {
public:
    constexpr TScaleText() = default;
    constexpr TScaleText(std::initializer_list<TTextType> members)
    {
        for (TTextType m : members)
            m_bits = std::uint8_t(m_bits | (1u << m));
    }
    static constexpr TScaleText FromByte(std::uint8_t bits)
    {
        TScaleText s;
        s.m_bits = bits;
        return s;
    }
    constexpr std::uint8_t Byte() const { return m_bits; }
    constexpr bool Contains(TTextType member) const { return (m_bits >> member) & 1u; }
    constexpr bool operator==(const TScaleText&) const = default;

private:
    std::uint8_t m_bits = 0;
};

// A drawing that cannot be completed (a scale without divisions); Redraw swallows it.
class TGraphDrawError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The properties that draw everything but the traces: background, border, plot area, frame,
// grid, trace labels and scale. Two equal looks at one size give the same picture.
struct TGraphLook {
    std::uint16_t numTraces = 12;
    QString traceLabels;
    int traceLabelsVertOffset = 1;
    TGridType gridType = gtBoth;
    TColor bgColor = clSilver;
    bool ctl3d = true;
    TBorderType border = btRaised;
    TColor graphColor = clBlack;
    TColor gridColor = clGreen;
    int leftMargin = 55;
    int rightMargin = 4;
    int topMargin = 4;
    int bottomMargin = 4;
    float horzMinVal = 0.0f;
    float horzMaxVal = 100.0f;
    QString horzUnit = QStringLiteral("ms");
    int horzDiv = 10;
    int horzDecNum = 0;
    TScaleText scaleText{stLeft};
    TColor textColor = clBlue;
    int textSize = 8;

    bool operator==(const TGraphLook&) const = default;
};

class TkvDGraph : public TOffscreenControl {
public:
    explicit TkvDGraph(QWidget* parent = nullptr);

    int Width() const { return width(); }
    int Height() const { return height(); }
    std::uint16_t NumTraces() const { return m_look.numTraces; }
    int Spacing() const { return m_spacing; }
    const QString& TraceLabels() const { return m_look.traceLabels; }
    int TraceLabelsVertOffset() const { return m_look.traceLabelsVertOffset; }
    TGridType GridType() const { return m_look.gridType; }
    TValuePosition ValuePosition() const { return m_valuePosition; }
    TColor BGColor() const { return m_look.bgColor; }
    bool CTL3D() const { return m_look.ctl3d; }
    TBorderType Border() const { return m_look.border; }
    TColor GraphColor() const { return m_look.graphColor; }
    TColor GridColor() const { return m_look.gridColor; }
    TColor TracesColor() const { return m_tracesColor; }
    int LeftMargin() const { return m_look.leftMargin; }
    int RightMargin() const { return m_look.rightMargin; }
    int TopMargin() const { return m_look.topMargin; }
    int BottomMargin() const { return m_look.bottomMargin; }
    int RightOffset() const { return m_rightOffset; }
    float HorzMinVal() const { return m_look.horzMinVal; }
    float HorzMaxVal() const { return m_look.horzMaxVal; }
    const QString& HorzUnit() const { return m_look.horzUnit; }
    int HorzDiv() const { return m_look.horzDiv; }
    int HorzDecNum() const { return m_look.horzDecNum; }
    TScaleText ScaleText() const { return m_look.scaleText; }
    TColor TextColor() const { return m_look.textColor; }
    int TextSize() const { return m_look.textSize; }
    int MaxItems() const { return m_maxItems; }
    // The sample history, oldest first.
    const QStringList& LstValues() const { return m_values; }

    // Each setter stores a changed value and redraws at once; an unchanged value does nothing.
    void SetWidth(int value);
    void SetHeight(int value);
    void SetNumTraces(std::uint16_t value);
    void SetSpacing(int value);
    void SetTraceLabels(const QString& value);
    // Stores only: the offset shows at the next redraw.
    void SetTraceLabelsVertOffset(int value) { m_look.traceLabelsVertOffset = value; }
    void SetGridType(TGridType value);
    void SetValuePosition(TValuePosition value);
    void SetBGColor(TColor value);
    void SetCTL3D(bool value);
    void SetBorder(TBorderType value);
    void SetGraphColor(TColor value);
    void SetGridColor(TColor value);
    void SetTracesColor(TColor value);
    void SetLeftMargin(int value);
    void SetRightMargin(int value);
    void SetTopMargin(int value);
    void SetBottomMargin(int value);
    void SetRightOffset(int value);
    void SetHorzMinVal(float value);
    void SetHorzMaxVal(float value);
    void SetHorzUnit(const QString& value);
    void SetHorzDiv(int value);
    void SetHorzDecNum(int value);
    void SetScaleText(TScaleText value);
    void SetTextColor(TColor value);
    void SetTextSize(int value);
    // Trims the oldest samples beyond a positive limit, then redraws even when none went.
    void SetMaxItems(int value);

    // Appends a sample, drops the oldest beyond MaxItems and returns the count.
    int AddValues(const QString& sample, bool redraw);
    int AddValues(const std::string& sample, bool redraw) { return AddValues(QString::fromStdString(sample), redraw); }
    // Removes the sample at index (0 the oldest) and returns the new count; an index past the
    // end changes nothing and returns 0; a negative index throws std::out_of_range.
    int DeleteValues(int index, bool redraw);
    // Removes every sample and redraws.
    void Clear();
    // Writes the image of the last drawing as a bitmap file; failures are ignored.
    void SaveGraphToFile(const QString& fileName) const;

    // Draws the complete image into the off-screen image. Throws TGraphDrawError, after the
    // trace labels, when a scale is asked for without divisions.
    void DrawGraph();

protected:
    void DrawImage(QImage& image) override;

private:
    template <class T>
    void StoreAndRedraw(T& field, const T& value);
    void Trim();
    // Draws everything but the traces (steps that depend on the size and the look alone).
    void DrawBackdrop(TCanvas& canvas, const TPlotGeometry& g);
    void DrawBackground(TCanvas& canvas);
    void DrawTraces(TCanvas& canvas, const TPlotGeometry& g);

    TGraphLook m_look;
    // The last backdrop drawn, for the look and size it was drawn at; a scale asked for
    // without divisions left it failed after the labels, and then no traces are drawn.
    QImage m_backdrop;
    std::optional<TGraphLook> m_backdropLook;
    bool m_backdropFailed = false;
    // Rectangles that hold every pixel the traces of the last drawing painted, and the key of
    // the image that drawing left (0: none). The next drawing into that same, untouched image
    // over the same backdrop gives just these pixels back to the backdrop.
    std::vector<QRect> m_traced;
    qint64 m_tracedImage = 0;
    int m_spacing = 12;
    TValuePosition m_valuePosition = vpPixels;
    TColor m_tracesColor = clAqua;
    int m_rightOffset = 2;
    int m_maxItems = 0;
    QStringList m_values;
};
