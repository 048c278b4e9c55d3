#include "MainWindowControls.h"

#include "kvDGraph.h"
#include "kvSwitch.h"
#include "kvoeLed.h"

namespace {

struct TLedColors {
    TColor active, inactive, standBy;
};

void ConfigureShape(TkvBasicShape& shape, TkvBorderStyle style, const TLedColors& colors)
{
    shape.SetShape(stRectangle);
    shape.SetBorderStyle(style);
    shape.SetBorderWidth(1);
    shape.SetBorderColor(clBlue);
    shape.SetHilightColor(clWhite);
    shape.SetShaddowColor(clGray);
    shape.SetActiveColor(colors.active);
    shape.SetInactiveColor(colors.inactive);
    shape.SetStandByColor(colors.standBy);
}

// Both LEDs: 13 x 13, a 5 x 5 flat light on a raised support, in stand-by until the window
// state says otherwise.
void ConfigureLed(TkvoeBasicLed& led, const TLedColors& light, const TLedColors& support)
{
    led.SetBounds(led.x(), led.y(), 13, 13);
    led.SetStandBy(true);
    led.SetActive(false);
    led.Light().SetWidth(5);
    led.Light().SetHeight(5);
    ConfigureShape(led.Light(), bsNone, light);
    ConfigureShape(led.Support(), bsRaised, support);
    led.Paint();
}

} // namespace

void ConfigureDriverStatusLed(TkvoeBasicLed& led)
{
    ConfigureLed(led, {clLime, clRed, clSilver}, {clLime, clMaroon, clSilver});
}

void ConfigureLoopLed(TkvoeBasicLed& led)
{
    ConfigureLed(led, {clLime, clGreen, clSilver}, {clLime, clGreen, clSilver});
}

void ConfigureOutputSwitch(TkvSwitch& sw)
{
    sw.SetBounds(sw.x(), sw.y(), 29, 16);
    sw.SetSwitchStyle(ssSlideButton);
    sw.SetOrientation(soHorizontal);
    sw.SetBGColor(clBlack);
    sw.SetBorderColor(clBlack);
    sw.SetButtonBorderColor(clBlack);
    sw.SetDisabledColor(clSilver);
    sw.SetLitOnColor(clRed);
    sw.SetLitOffColor(clMaroon);
    sw.SetBorder(btLowered);
    sw.SetButtonBorder(btRaised);
    sw.SetHorzMargin(2);
    sw.SetVertMargin(2);
    sw.SetSwitchOn(false);
    sw.Paint();
}

void ConfigureMainGraph(TkvDGraph& graph)
{
    graph.SetNumTraces(17);
    graph.SetSpacing(8);
    graph.SetTraceLabels(QStringLiteral("Ack (In);Busy (In);PaperEnd (In);Select (In);Error (In);D0 (In/Out);"
                                        "D1 (In/Out);D2 (In/Out);D3 (In/Out);D4 (In/Out);D5 (In/Out);D6 (In/Out);"
                                        "D7 (In/Out);Strobe (Out);AutoFeed (Out);Init/Reset (Out);Select (Out)"));
    graph.SetTraceLabelsVertOffset(1);
    graph.SetGridType(gtBoth);
    graph.SetValuePosition(vpPixels);
    graph.SetBGColor(clNavy);
    graph.SetCTL3D(true);
    graph.SetBorder(btNone);
    graph.SetGraphColor(clNavy);
    graph.SetGridColor(clGreen);
    graph.SetTracesColor(clAqua);
    graph.SetLeftMargin(85);
    graph.SetRightMargin(1);
    graph.SetTopMargin(1);
    graph.SetBottomMargin(1);
    graph.SetRightOffset(2);
    graph.SetHorzMaxVal(100.0f);
    graph.SetHorzUnit(QStringLiteral("ms"));
    graph.SetHorzDiv(10);
    graph.SetHorzDecNum(0);
    graph.SetScaleText(TScaleText{stLeft});
    graph.SetTextColor(clAqua);
    graph.SetTextSize(8);
    graph.SetMaxItems(0);
    graph.Paint();
}
