#include "kvoeLed.h"

#include "Canvas.h"

QPoint LightOrigin(int ledWidth, int ledHeight, int lightWidth, int lightHeight, int horzOffset, int vertOffset)
{
    // Real division, truncated toward zero (a light larger than the LED gets a negative origin).
    const int x = int((ledWidth - lightWidth) / 2.0) + horzOffset;
    const int y = int((ledHeight - lightHeight) / 2.0) + vertOffset;
    return {x, y};
}

TkvoeBasicLed::TkvoeBasicLed(QWidget* parent) : TOffscreenControl(parent)
{
    m_light = std::make_unique<TLedLight>(this);
    m_support = std::make_unique<TLedSupport>(this);
    SetBounds(x(), y(), width(), 13);
    SetBounds(x(), y(), 13, 13);
    m_light->SetActiveColor(clLime);
    m_light->SetInactiveColor(clBlack);
    m_light->SetWidth(5);
    m_light->SetHeight(5);
    m_light->SetBorderStyle(bsNone);
    m_support->SetBorderStyle(bsRaised);
    m_support->SetActiveColor(clGreen);
    m_support->SetInactiveColor(clGray);
    m_support->SetWidth(width());
    m_support->SetHeight(height());
}

TkvoeBasicLed::~TkvoeBasicLed() = default;

void TkvoeBasicLed::BoundsChanged()
{
    TOffscreenControl::BoundsChanged();
    if (m_support) {
        m_support->SetWidth(width());
        m_support->SetHeight(height());
    }
}

void TkvoeBasicLed::SetActive(bool value)
{
    if (value == m_active)
        return;
    m_active = value;
    m_light->SetActive(value);
    m_support->SetActive(value);
    Paint();
}

void TkvoeBasicLed::SetStandBy(bool value)
{
    if (value == m_standBy)
        return;
    m_standBy = value;
    m_light->m_standBy = value;
    m_support->m_standBy = value;
    Paint();
}

void TkvoeBasicLed::SetLightHorzOffset(int value)
{
    if (value == m_lightHorzOffset)
        return;
    m_lightHorzOffset = value;
    Paint();
}

void TkvoeBasicLed::SetLightVertOffset(int value)
{
    if (value == m_lightVertOffset)
        return;
    m_lightVertOffset = value;
    Paint();
}

void TkvoeBasicLed::DrawImage(QImage& image)
{
    TLedLight& light = *m_light;
    TLedSupport& support = *m_support;
    // The changes below must not repaint the LED once more.
    light.m_notify = false;
    support.m_notify = false;
    light.SetActive(m_active);
    support.SetActive(m_active);
    light.m_standBy = m_standBy;
    support.m_standBy = m_standBy;
    // The colour behind a non-rectangular body is the support's fill of the state shown.
    const TColor back = ShapeStateColor(m_standBy, m_active, support.StandByColor(), support.ActiveColor(),
                                        support.InactiveColor());
    support.SetBackColor(back);
    light.SetBackColor(back);
    support.Redraw();
    light.Redraw();
    light.m_notify = true;
    support.m_notify = true;

    TCanvas canvas(image);
    canvas.Draw(0, 0, support.Image());
    const QPoint at = LightOrigin(width(), height(), light.Width(), light.Height(), m_lightHorzOffset,
                                  m_lightVertOffset);
    canvas.StretchDraw(QRect(at.x(), at.y(), light.Width(), light.Height()), light.Image());
}
