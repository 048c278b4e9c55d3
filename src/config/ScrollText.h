#pragma once
// One line of text moving upwards through its area, from just below the bottom edge to just
// above the top edge, one step per tick of a 100 ms timer, 101 ticks a pass.
#include <QString>
#include <QTimer>
#include <QWidget>

// Top of the text at step s, for an area of height areaHeight and a text of height textHeight:
// (A + T) x (1 - s / 100) rounded to the nearest integer, minus T.
int ScrollTextY(int areaHeight, int textHeight, int step);

constexpr int kScrollTickMs = 100;
constexpr int kScrollLastStep = 101;

class TScrollText : public QWidget {
    Q_OBJECT
public:
    explicit TScrollText(QWidget* parent = nullptr);

    void SetText(const QString& text);
    QString Text() const { return text_; }
    void SetColor(const QColor& color);

    void Start();
    void Stop();
    bool Running() const { return timer_.isActive(); }
    int Interval() const { return timer_.interval(); }

    // One step of the timer: the counter goes up and the text moves; after step 101 the
    // counter goes back to 0.
    void Tick();
    int Step() const { return step_; }
    // The text's top as last drawn.
    int TextY() const { return y_; }
    int TextHeight() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString text_;
    QColor color_ = Qt::blue;
    QTimer timer_;
    int step_ = 0;
    int y_ = 0;
};
