#pragma once
// The LED indicator: a bevelled support with a smaller light in its middle, both drawn by
// shapes in the colours of the LED's state (active, inactive, stand-by).
#include <QPoint>
#include <memory>

#include "OffscreenControl.h"
#include "kvBase.h"

// Top-left corner of the light inside the LED: centred (truncated toward zero), then offset.
QPoint LightOrigin(int ledWidth, int ledHeight, int lightWidth, int lightHeight, int horzOffset, int vertOffset);

class TkvoeBasicLed : public TOffscreenControl {
public:
    explicit TkvoeBasicLed(QWidget* parent = nullptr);
    ~TkvoeBasicLed() override;

    bool Active() const { return m_active; }
    bool StandBy() const { return m_standBy; }
    int LightHorzOffset() const { return m_lightHorzOffset; }
    int LightVertOffset() const { return m_lightVertOffset; }
    TLedLight& Light() { return *m_light; }
    TLedSupport& Support() { return *m_support; }

    void SetActive(bool value);
    // Stand-by wins over Active.
    void SetStandBy(bool value);
    void SetLightHorzOffset(int value);
    void SetLightVertOffset(int value);

protected:
    // Composes the support and the light into the off-screen image.
    void DrawImage(QImage& image) override;
    void BoundsChanged() override;

private:
    bool m_active = false;
    bool m_standBy = false;
    int m_lightHorzOffset = 0;
    int m_lightVertOffset = 0;
    std::unique_ptr<TLedLight> m_light;
    std::unique_ptr<TLedSupport> m_support;
};
