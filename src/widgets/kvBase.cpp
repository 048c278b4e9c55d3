#include "kvBase.h"

#include "Canvas.h"
#include "kvoeLed.h"

namespace {
constexpr int kCornerEllipse = 4;

// Stores a new value; true when it differed from the old one.
template <class T>
bool Store(T& field, T value)
{
    if (field == value)
        return false;
    field = value;
    return true;
}
} // namespace

TColor ShapeStateColor(bool standBy, bool active, TColor standByColor, TColor activeColor, TColor inactiveColor)
{
    if (standBy)
        return standByColor;
    return active ? activeColor : inactiveColor;
}

TkvBasicShape::TkvBasicShape(TkvoeBasicLed* owner) : m_owner(owner)
{
    m_image = NewControlImage(m_width, m_height);
    Redraw();
}

void TkvBasicShape::Changed()
{
    Redraw();
    if (m_notify && m_owner)
        m_owner->Paint();
}

void TkvBasicShape::SetShape(TShapeType value)
{
    if (value != stRectangle && value != stRoundRect && value != stEllipse)
        return;
    if (value == m_shape)
        return;
    m_shape = value;
    Changed();
}

void TkvBasicShape::SetWidth(int value)
{
    if (value == m_width)
        return;
    m_width = value;
    m_image = NewControlImage(m_width, m_height);
    Changed();
}

void TkvBasicShape::SetHeight(int value)
{
    if (value == m_height)
        return;
    m_height = value;
    m_image = NewControlImage(m_width, m_height);
    Changed();
}

void TkvBasicShape::SetBorderStyle(TkvBorderStyle value)
{
    if (Store(m_borderStyle, value))
        Changed();
}

void TkvBasicShape::SetBorderWidth(int value)
{
    if (Store(m_borderWidth, value))
        Changed();
}

void TkvBasicShape::SetBackColor(TColor value)
{
    if (Store(m_backColor, value))
        Changed();
}

void TkvBasicShape::SetBorderColor(TColor value)
{
    if (Store(m_borderColor, value))
        Changed();
}

void TkvBasicShape::SetActiveColor(TColor value)
{
    if (Store(m_activeColor, value))
        Changed();
}

void TkvBasicShape::SetInactiveColor(TColor value)
{
    if (Store(m_inactiveColor, value))
        Changed();
}

void TkvBasicShape::SetStandByColor(TColor value)
{
    if (Store(m_standByColor, value))
        Changed();
}

void TkvBasicShape::SetHilightColor(TColor value)
{
    if (Store(m_hilightColor, value))
        Changed();
}

void TkvBasicShape::SetShaddowColor(TColor value)
{
    if (Store(m_shaddowColor, value))
        Changed();
}

void TkvBasicShape::SetActive(bool value)
{
    if (Store(m_active, value))
        Changed();
}


void TkvBasicShape::Redraw()
{
    if (m_image.isNull())
        return;
    TCanvas canvas(m_image);
    canvas.SetPenWidth(m_borderWidth);
    if (m_shape != stRectangle) {
        canvas.SetPenColor(m_backColor);
        canvas.SetBrushColor(m_backColor);
        canvas.Rectangle(0, 0, m_width, m_height);
    }
    const TColor state = ShapeStateColor(m_standBy, m_active, m_standByColor, m_activeColor, m_inactiveColor);
    canvas.SetBrushColor(state);
    canvas.SetPenColor(m_borderStyle == bsSingle ? m_borderColor : state);
    switch (m_shape) {
    case stRoundRect:
        canvas.RoundRect(0, 0, m_width, m_height, kCornerEllipse, kCornerEllipse);
        break;
    case stEllipse:
        canvas.Ellipse(0, 0, m_width, m_height);
        break;
    default:
        canvas.Rectangle(0, 0, m_width, m_height);
        break;
    }
    if (m_borderStyle == bsRaised || m_borderStyle == bsLowered) {
        const bool raised = m_borderStyle == bsRaised;
        canvas.SetPenWidth(1);
        for (int i = 0; i < m_borderWidth; ++i) {
            canvas.SetPenColor(raised ? m_hilightColor : m_shaddowColor);
            canvas.MoveTo(i, m_height - 1 - i);
            canvas.LineTo(i, i);
            canvas.LineTo(m_width - 1 - i, i);
            canvas.SetPenColor(raised ? m_shaddowColor : m_hilightColor);
            canvas.LineTo(m_width - 1 - i, m_height - 1 - i);
            canvas.LineTo(i, m_height - 1 - i);
        }
    }
}
