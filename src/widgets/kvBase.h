#pragma once
// Shapes of the LED indicator: a drawable shape with its own image, drawn in the colour of
// its state (active, inactive, stand-by) with an outline or a bevel; and the border types
// shared by the program's controls.
#include <QImage>
#include <cstdint>

#include "Colors.h"

// Border of a whole control (switch frame and button, graph).
enum TBorderType : std::uint8_t { btNone = 0, btRaised = 1, btLowered = 2, btSingle = 3 };

enum TkvBorderStyle : std::uint8_t { bsNone = 0, bsSingle = 1, bsRaised = 2, bsLowered = 3 };

enum TShapeType : std::uint8_t {
    stRectangle = 0,
    stSquare = 1,
    stRoundRect = 2,
    stRoundSquare = 3,
    stEllipse = 4,
    stCircle = 5,
};

class TkvoeBasicLed;

class TkvBasicShape {
public:
    explicit TkvBasicShape(TkvoeBasicLed* owner);
    virtual ~TkvBasicShape() = default;
    TkvBasicShape(const TkvBasicShape&) = delete;
    TkvBasicShape& operator=(const TkvBasicShape&) = delete;

    TShapeType Shape() const { return m_shape; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    TkvBorderStyle BorderStyle() const { return m_borderStyle; }
    int BorderWidth() const { return m_borderWidth; }
    TColor BackColor() const { return m_backColor; }
    TColor BorderColor() const { return m_borderColor; }
    TColor ActiveColor() const { return m_activeColor; }
    TColor InactiveColor() const { return m_inactiveColor; }
    TColor StandByColor() const { return m_standByColor; }
    TColor HilightColor() const { return m_hilightColor; }
    TColor ShaddowColor() const { return m_shaddowColor; }
    bool Active() const { return m_active; }
    bool StandBy() const { return m_standBy; }
    const QImage& Image() const { return m_image; }

    // Only stRectangle, stRoundRect and stEllipse are accepted; other values are ignored.
    void SetShape(TShapeType value);
    void SetBorderStyle(TkvBorderStyle value);
    void SetBorderWidth(int value);
    void SetBorderColor(TColor value);
    void SetActiveColor(TColor value);
    void SetInactiveColor(TColor value);
    void SetStandByColor(TColor value);
    void SetHilightColor(TColor value);
    void SetShaddowColor(TColor value);

    // Draws the shape's image from its fields.
    void Redraw();

protected:
    // Width and Height replace the image by one of the new size.
    void SetWidth(int value);
    void SetHeight(int value);
    void SetBackColor(TColor value);
    void SetActive(bool value);

private:
    friend class TkvoeBasicLed;
    // After a change: redraw, then repaint the owner LED when notify is on.
    void Changed();

    TkvoeBasicLed* m_owner;
    TShapeType m_shape = stRectangle;
    int m_width = 13;
    int m_height = 13;
    TkvBorderStyle m_borderStyle = bsLowered;
    int m_borderWidth = 1;
    TColor m_backColor = clSilver;
    TColor m_borderColor = clBlue;
    TColor m_activeColor = clLime;
    TColor m_inactiveColor = clGray;
    TColor m_standByColor = clSilver;
    TColor m_hilightColor = clWhite;
    TColor m_shaddowColor = clGray;
    bool m_active = true;
    bool m_standBy = false;
    bool m_notify = true;
    QImage m_image;
};

// The inner light of an LED: every published field, its size included.
class TLedLight : public TkvBasicShape {
public:
    using TkvBasicShape::TkvBasicShape;
    using TkvBasicShape::SetHeight;
    using TkvBasicShape::SetWidth;
};

// The bevelled base of an LED; it always takes the LED's size.
class TLedSupport : public TkvBasicShape {
public:
    using TkvBasicShape::TkvBasicShape;
};

// The state colour of a shape: stand-by wins over active.
TColor ShapeStateColor(bool standBy, bool active, TColor standByColor, TColor activeColor, TColor inactiveColor);
