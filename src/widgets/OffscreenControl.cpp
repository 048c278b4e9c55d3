#include "OffscreenControl.h"

#include <QPainter>
#include <QResizeEvent>

#include "Canvas.h"

TOffscreenControl::TOffscreenControl(QWidget* parent) : QWidget(parent)
{
    // The control paints every pixel itself.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TOffscreenControl::SetBounds(int left, int top, int width, int height)
{
    setGeometry(left, top, std::max(0, width), std::max(0, height));
    BoundsChanged();
}

void TOffscreenControl::BoundsChanged() { m_image = NewControlImage(width(), height()); }

void TOffscreenControl::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // A layout resizes the control without SetBounds; keep the image the control's size.
    if (m_image.size() != size())
        BoundsChanged();
}

void TOffscreenControl::DrawGuarded()
{
    ++m_drawCount;
    try {
        DrawImage(m_image);
    } catch (...) {
        // A failed drawing leaves whatever the image holds; the copy still shows it.
    }
}

void TOffscreenControl::Paint()
{
    DrawGuarded();
    m_copying = true;
    try {
        repaint();
    } catch (...) {
    }
    m_copying = false;
}

void TOffscreenControl::paintEvent(QPaintEvent*)
{
    // An expose of the toolkit draws anew; the copy that follows a Paint shows its drawing.
    if (!m_copying)
        DrawGuarded();
    try {
        if (m_image.isNull())
            return;
        QPainter painter(this);
        painter.drawImage(0, 0, m_image);
    } catch (...) {
    }
}
