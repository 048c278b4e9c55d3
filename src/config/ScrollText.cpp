#include "ScrollText.h"

#include <QFontMetrics>
#include <QPainter>

int ScrollTextY(int areaHeight, int textHeight, int step)
{
    // Exact in integers, halves rounded away from zero.
    const long long n = static_cast<long long>(areaHeight + textHeight) * (100 - step);
    const long long rounded = n >= 0 ? (n + 50) / 100 : -((-n + 50) / 100);
    return static_cast<int>(rounded) - textHeight;
}

TScrollText::TScrollText(QWidget* parent) : QWidget(parent)
{
    // Drawn over the parent's background.
    setAttribute(Qt::WA_TranslucentBackground);
    setAutoFillBackground(false);
    timer_.setInterval(kScrollTickMs);
    connect(&timer_, &QTimer::timeout, this, &TScrollText::Tick);
    y_ = ScrollTextY(height(), TextHeight(), step_);
}

void TScrollText::SetText(const QString& text)
{
    text_ = text;
    update();
}

void TScrollText::SetColor(const QColor& color)
{
    color_ = color;
    update();
}

void TScrollText::Start()
{
    step_ = 0;
    y_ = ScrollTextY(height(), TextHeight(), step_);
    timer_.start();
    update();
}

void TScrollText::Stop() { timer_.stop(); }

int TScrollText::TextHeight() const { return QFontMetrics(font()).height(); }

void TScrollText::Tick()
{
    ++step_;
    y_ = ScrollTextY(height(), TextHeight(), step_);
    if (step_ >= kScrollLastStep)
        step_ = 0;
    update();
}

void TScrollText::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setFont(font());
    p.setPen(color_);
    p.drawText(QRect(0, y_, width(), TextHeight()), Qt::AlignLeft | Qt::AlignTop, text_);
}
