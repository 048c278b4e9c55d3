#include "kvSwitch.h"

#include <QEvent>
#include <QMouseEvent>
#include <cmath>

#include "Canvas.h"

namespace {
constexpr TColor kWhite = MakeColor(255, 255, 255);
constexpr TColor kDarkGrey = MakeColor(128, 128, 128);
} // namespace

int RoundHalfEven(double x)
{
    const double low = std::floor(x);
    const double rest = x - low;
    if (rest > 0.5)
        return int(low) + 1;
    if (rest < 0.5)
        return int(low);
    return std::fmod(low, 2.0) == 0.0 ? int(low) : int(low) + 1;
}

TSwitchButtonRect SwitchButtonRect(TSwitchStyle style, TSwitchOrientation orientation, int width, int height,
                                   int horzMargin, int vertMargin, bool on)
{
    int bw = width - 2 * horzMargin;
    int bh = height - 2 * vertMargin;
    if (style == ssSlideButton) {
        if (orientation == soVertical)
            bh = RoundHalfEven(bh / 2.0);
        else
            bw = RoundHalfEven(bw / 2.0);
    }
    if (orientation == soVertical) {
        if (on)
            return {horzMargin, vertMargin, horzMargin + bw, vertMargin + bh};
        return {horzMargin, height - vertMargin - bh, horzMargin + bw, height - vertMargin};
    }
    if (on)
        return {width - horzMargin - bw, vertMargin, width - horzMargin, vertMargin + bh};
    return {horzMargin, vertMargin, horzMargin + bw, vertMargin + bh};
}

TkvSwitch::TkvSwitch(QWidget* parent) : TOffscreenControl(parent)
{
    SetBounds(x(), y(), 16, height());
    SetBounds(x(), y(), 16, 29);
    Paint();
}

template <class T>
void TkvSwitch::StoreAndPaint(T& field, T value)
{
    if (field == value)
        return;
    field = value;
    Paint();
}

void TkvSwitch::SetBGColor(TColor value) { StoreAndPaint(m_bgColor, value); }
void TkvSwitch::SetBorderColor(TColor value) { StoreAndPaint(m_borderColor, value); }
void TkvSwitch::SetButtonBorderColor(TColor value) { StoreAndPaint(m_buttonBorderColor, value); }
void TkvSwitch::SetDisabledColor(TColor value) { StoreAndPaint(m_disabledColor, value); }
void TkvSwitch::SetLitOnColor(TColor value) { StoreAndPaint(m_litOnColor, value); }
void TkvSwitch::SetLitOffColor(TColor value) { StoreAndPaint(m_litOffColor, value); }
void TkvSwitch::SetBorder(TBorderType value) { StoreAndPaint(m_border, value); }
void TkvSwitch::SetButtonBorder(TBorderType value) { StoreAndPaint(m_buttonBorder, value); }
void TkvSwitch::SetHorzMargin(int value) { StoreAndPaint(m_horzMargin, value); }
void TkvSwitch::SetVertMargin(int value) { StoreAndPaint(m_vertMargin, value); }
void TkvSwitch::SetOrientation(TSwitchOrientation value) { StoreAndPaint(m_orientation, value); }

void TkvSwitch::SetSwitchOn(bool value)
{
    if (value == m_switchOn)
        return;
    m_switchOn = value;
    Paint();
    emit OnChange(this);
}

void TkvSwitch::SetSwitchStyle(TSwitchStyle value)
{
    if (value == m_switchStyle)
        return;
    m_switchStyle = value;
    if (value == ssPushButton)
        SetBounds(x(), y(), width(), width());
    else if (m_orientation == soVertical)
        SetBounds(x(), y(), width(), 2 * width());
    else
        SetBounds(x(), y(), 2 * height(), height());
    Paint();
}

TSwitchButtonRect TkvSwitch::ButtonRect() const
{
    return SwitchButtonRect(m_switchStyle, m_orientation, width(), height(), m_horzMargin, m_vertMargin,
                            m_switchOn);
}

void TkvSwitch::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    if (!isEnabled())
        return;
    SetSwitchOn(!m_switchOn);
    Paint();
}

void TkvSwitch::changeEvent(QEvent* event)
{
    TOffscreenControl::changeEvent(event);
    if (event->type() == QEvent::EnabledChange)
        Paint();
}

void TkvSwitch::DrawImage(QImage& image)
{
    TCanvas canvas(image);
    const int w = width();
    const int h = height();
    const bool enabled = isEnabled();

    const TColor frame = enabled ? m_bgColor : m_disabledColor;
    canvas.SetBrushColor(frame);
    canvas.SetPenColor(m_border == btSingle ? m_borderColor : frame);
    canvas.Rectangle(0, 0, w, h);
    if (m_border == btRaised || m_border == btLowered) {
        const bool raised = m_border == btRaised;
        canvas.SetPenColor(raised ? kWhite : kDarkGrey);
        canvas.MoveTo(0, h - 1);
        canvas.LineTo(0, 0);
        canvas.LineTo(w - 1, 0);
        canvas.SetPenColor(raised ? kDarkGrey : kWhite);
        canvas.LineTo(w - 1, h - 1);
        canvas.LineTo(0, h - 1);
    }

    const TSwitchButtonRect r = ButtonRect();
    const TColor button = !enabled ? m_disabledColor : (m_switchOn ? m_litOnColor : m_litOffColor);
    canvas.SetBrushColor(button);
    canvas.SetPenColor(m_buttonBorder == btSingle ? m_buttonBorderColor : button);
    canvas.Rectangle(r.Left, r.Top, r.Right, r.Bottom);

    const bool push = m_switchStyle == ssPushButton;
    if (push || m_buttonBorder == btRaised || m_buttonBorder == btLowered) {
        // A push button looks raised when off and pressed when on.
        const bool lightFirst = push ? !m_switchOn : m_buttonBorder == btRaised;
        canvas.SetPenColor(lightFirst ? kWhite : kDarkGrey);
        canvas.MoveTo(r.Left, r.Bottom - 1);
        canvas.LineTo(r.Left, r.Top);
        canvas.LineTo(r.Right - 1, r.Top);
        canvas.SetPenColor(lightFirst ? kDarkGrey : kWhite);
        canvas.LineTo(r.Right - 1, r.Bottom - 1);
        canvas.LineTo(r.Left, r.Bottom - 1);
    }
}
