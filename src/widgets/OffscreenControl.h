#pragma once
// Base of the program's own controls: each draws its whole image into an off-screen image of
// its own size and copies that image to the screen in one operation, so the screen never shows
// a half-drawn image and the off-screen image always holds the last drawing.
#include <QImage>
#include <QWidget>

class TOffscreenControl : public QWidget {
public:
    // Applies new bounds and gives the control a new, empty off-screen image of the new size.
    virtual void SetBounds(int left, int top, int width, int height);
    // Draws the whole image into the off-screen image, then copies it to the screen at once.
    // Each step swallows its own failures.
    void Paint();

    const QImage& Image() const { return m_image; }
    // Number of drawings into the off-screen image so far.
    int DrawCount() const { return m_drawCount; }
    QSize sizeHint() const override { return size(); }

protected:
    explicit TOffscreenControl(QWidget* parent);

    // Draws the complete image of the control into its off-screen image.
    virtual void DrawImage(QImage& image) = 0;
    // Runs after every change of size: replaces the off-screen image.
    virtual void BoundsChanged();

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

    QImage m_image;

private:
    void DrawGuarded();

    bool m_copying = false;
    int m_drawCount = 0;
};
