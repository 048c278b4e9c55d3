#pragma once
// The two-state switch: a lit button inside a bevelled frame, either a slide switch whose
// button sits at one end or the other, or a push button that looks raised or pressed. A press
// of any mouse button flips an enabled switch and reports the change.
#include <cstdint>

#include "Colors.h"
#include "OffscreenControl.h"
#include "kvBase.h"

enum TSwitchStyle : std::uint8_t { ssPushButton = 0, ssSlideButton = 1 };
enum TSwitchOrientation : std::uint8_t { soHorizontal = 0, soVertical = 1 };

// Bounds of the switch's button, right and bottom exclusive.
struct TSwitchButtonRect {
    int Left, Top, Right, Bottom;
    bool operator==(const TSwitchButtonRect&) const = default;
};

// The integer nearest to x, a half going to the even neighbour (12.5 gives 12, 13.5 gives 14).
int RoundHalfEven(double x);

TSwitchButtonRect SwitchButtonRect(TSwitchStyle style, TSwitchOrientation orientation, int width, int height,
                                   int horzMargin, int vertMargin, bool on);

class TkvSwitch : public TOffscreenControl {
    Q_OBJECT
public:
    explicit TkvSwitch(QWidget* parent = nullptr);

    TSwitchStyle SwitchStyle() const { return m_switchStyle; }
    TColor BGColor() const { return m_bgColor; }
    TColor BorderColor() const { return m_borderColor; }
    TColor ButtonBorderColor() const { return m_buttonBorderColor; }
    TColor DisabledColor() const { return m_disabledColor; }
    TColor LitOnColor() const { return m_litOnColor; }
    TColor LitOffColor() const { return m_litOffColor; }
    TBorderType Border() const { return m_border; }
    TBorderType ButtonBorder() const { return m_buttonBorder; }
    int HorzMargin() const { return m_horzMargin; }
    int VertMargin() const { return m_vertMargin; }
    bool SwitchOn() const { return m_switchOn; }
    TSwitchOrientation Orientation() const { return m_orientation; }
    TSwitchButtonRect ButtonRect() const;

    // Also resizes: a push button becomes square, a slide switch twice as long as it is wide.
    void SetSwitchStyle(TSwitchStyle value);
    void SetBGColor(TColor value);
    void SetBorderColor(TColor value);
    void SetButtonBorderColor(TColor value);
    void SetDisabledColor(TColor value);
    void SetLitOnColor(TColor value);
    void SetLitOffColor(TColor value);
    void SetBorder(TBorderType value);
    void SetButtonBorder(TBorderType value);
    void SetHorzMargin(int value);
    void SetVertMargin(int value);
    // Paints, then raises OnChange; an unchanged value does nothing.
    void SetSwitchOn(bool value);
    // Leaves the size and the margins as they are.
    void SetOrientation(TSwitchOrientation value);

signals:
    // Raised after every change of SwitchOn, by a click or from code, once the switch shows it.
    void OnChange(TkvSwitch* sender);

protected:
    void DrawImage(QImage& image) override;
    void mousePressEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    template <class T>
    void StoreAndPaint(T& field, T value);

    TSwitchStyle m_switchStyle = ssSlideButton;
    TColor m_bgColor = clBlack;
    TColor m_borderColor = clBlack;
    TColor m_buttonBorderColor = clBlack;
    TColor m_disabledColor = clSilver;
    TColor m_litOnColor = clRed;
    TColor m_litOffColor = clMaroon;
    TBorderType m_border = btLowered;
    TBorderType m_buttonBorder = btRaised;
    int m_horzMargin = 2;
    int m_vertMargin = 2;
    bool m_switchOn = false;
    TSwitchOrientation m_orientation = soVertical;
};
