// The trace graph's geometry and its drawing of arbitrary samples: any sizes, margins, counts,
// spacing, offsets, scale settings and sample texts draw without a crash or undefined
// behaviour, and the geometry keeps its own rules (a full-width history spans the plot, a
// label field list has one entry per trace).
#include <QApplication>
#include <cstdint>
#include <cstdlib>
#include <fuzzer/FuzzedDataProvider.h>
#include <memory>

#include "GraphGeometry.h"
#include "kvDGraph.h"

namespace {

// Each check that fails stops the fuzzer on the input that broke it.
void Check(bool condition)
{
    if (!condition)
        std::abort();
}

void FuzzGeometry(FuzzedDataProvider& in)
{
    const int width = in.ConsumeIntegral<int>();
    const int height = in.ConsumeIntegral<int>();
    const int left = in.ConsumeIntegral<int>(), right = in.ConsumeIntegral<int>();
    const int top = in.ConsumeIntegral<int>(), bottom = in.ConsumeIntegral<int>();
    const TPlotGeometry g = PlotGeometry(width, height, left, right, top, bottom);

    const int n = in.ConsumeIntegral<int>();
    const int t = in.ConsumeIntegral<int>();
    (void)TraceLevels(g, n, t, in.ConsumeIntegral<int>());
    (void)BandSeparatorY(g, n, t);
    (void)LabelY(g, n, t, in.ConsumeIntegral<int>(), in.ConsumeIntegral<int>());

    int horzDiv = in.ConsumeIntegral<int>();
    if (horzDiv == 0)
        horzDiv = 1; // a graph refuses to draw a scale without divisions
    const int i = in.ConsumeIntegral<int>();
    (void)GridLineX(g, horzDiv, i);
    (void)ScaleTextX(g, horzDiv, i, in.ConsumeIntegral<int>());
    (void)ScaleText(in.ConsumeFloatingPoint<double>(), in.ConsumeFloatingPoint<double>(), horzDiv,
                    i, in.ConsumeIntegral<int>(), QStringLiteral("ms"));

    const long long count = in.ConsumeIntegral<long long>();
    const long long sample = in.ConsumeIntegral<long long>();
    (void)SampleX(g, vpPixels, sample, count);
    (void)SampleX(g, vpFullWidth, sample, count);
    if (count >= 2 && count <= (1 << 20) && g.PW >= 0 && (long long)g.L + g.PW <= INT_MAX) {
        // The oldest sample sits on the left edge and the newest on the right edge.
        Check(SampleX(g, vpFullWidth, 0, count) == g.L);
        Check(SampleX(g, vpFullWidth, count - 1, count) == g.L + g.PW);
    }

    const int fields = in.ConsumeIntegralInRange<int>(-4, 40);
    const QString labels = QString::fromUtf8(in.ConsumeRandomLengthString(200));
    Check(TraceLabelFields(labels, fields).size() == (fields > 0 ? fields : 0));
}

void FuzzDrawing(FuzzedDataProvider& in)
{
    TkvDGraph graph;
    // The image is as large as the control: small sizes, so that an input runs fast.
    graph.SetWidth(in.ConsumeIntegralInRange<int>(-5, 260));
    graph.SetHeight(in.ConsumeIntegralInRange<int>(-5, 200));
    graph.SetNumTraces(in.ConsumeIntegralInRange<std::uint16_t>(0, 40));
    graph.SetSpacing(in.ConsumeIntegral<int>());
    graph.SetLeftMargin(in.ConsumeIntegral<int>());
    graph.SetRightMargin(in.ConsumeIntegral<int>());
    graph.SetTopMargin(in.ConsumeIntegral<int>());
    graph.SetBottomMargin(in.ConsumeIntegral<int>());
    graph.SetRightOffset(in.ConsumeIntegral<int>());
    graph.SetTraceLabelsVertOffset(in.ConsumeIntegral<int>());
    graph.SetGridType(TGridType(in.ConsumeIntegralInRange<int>(0, 3)));
    graph.SetValuePosition(in.ConsumeBool() ? vpFullWidth : vpPixels);
    graph.SetBorder(TBorderType(in.ConsumeIntegralInRange<int>(0, 2)));
    graph.SetHorzMinVal(in.ConsumeFloatingPoint<float>());
    graph.SetHorzMaxVal(in.ConsumeFloatingPoint<float>());
    graph.SetHorzDiv(in.ConsumeIntegralInRange<int>(-3, 30));
    graph.SetHorzDecNum(in.ConsumeIntegral<int>());
    graph.SetScaleText(TScaleText::FromByte(in.ConsumeIntegral<std::uint8_t>()));
    graph.SetTextSize(in.ConsumeIntegralInRange<int>(-2, 40));
    graph.SetTraceLabels(QString::fromUtf8(in.ConsumeRandomLengthString(80)));
    graph.SetMaxItems(in.ConsumeIntegralInRange<int>(-1, 100));
    const int samples = in.ConsumeIntegralInRange<int>(0, 120);
    for (int s = 0; s < samples && in.remaining_bytes() > 0; ++s)
        graph.AddValues(QString::fromUtf8(in.ConsumeRandomLengthString(48)), false);
    try {
        graph.DrawGraph();
    } catch (const TGraphDrawError&) {
        Check(graph.HorzDiv() == 0); // the only drawing that cannot be completed
    }
    if (graph.MaxItems() > 0)
        Check(graph.LstValues().size() <= graph.MaxItems());
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider in(data, size);
    if (in.ConsumeBool())
        FuzzGeometry(in);
    else
        FuzzDrawing(in);
    return 0;
}
