#include "AppPictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

namespace {

// Smooth value noise on an integer lattice, from a fixed hash so that the picture never varies.
// The lattice repeats every `period` columns, so that the noise does too.
double LatticeValue(int x, int y, int period)
{
    x = ((x % period) + period) % period;
    std::uint32_t h = std::uint32_t(x) * 374761393u + std::uint32_t(y) * 668265263u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return double(h & 0xFFFF) / 65535.0;
}

double Noise(double x, double y, int period)
{
    const int x0 = int(std::floor(x)), y0 = int(std::floor(y));
    const double fx = x - x0, fy = y - y0;
    const double sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
    const auto at = [period](int i, int j) { return LatticeValue(i, j, period); };
    const double top = at(x0, y0) + sx * (at(x0 + 1, y0) - at(x0, y0));
    const double bottom = at(x0, y0 + 1) + sx * (at(x0 + 1, y0 + 1) - at(x0, y0 + 1));
    return top + sy * (bottom - top);
}

// Octaves of noise, each twice as fine as the one before; x repeats every `period`.
double Turbulence(double x, double y, int period)
{
    double sum = 0, scale = 1;
    for (int octave = 0; octave < 5; ++octave) {
        sum += Noise(x / scale, y / scale, int(period / scale)) * scale;
        scale *= 0.5;
    }
    return sum / 2.0;
}

} // namespace

QImage TamselIconImage(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);

    // The connector's shell: a trapezoid, wider at the top, like a D-sub seen from the front.
    QPainterPath shell;
    shell.moveTo(2, 9);
    shell.lineTo(30, 9);
    shell.lineTo(27, 23);
    shell.lineTo(5, 23);
    shell.closeSubpath();
    p.setPen(QPen(QColor(60, 60, 60), 1.2));
    p.setBrush(QColor(176, 180, 188));
    p.drawPath(shell);

    // Two rows of pins.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(200, 160, 40));
    for (int i = 0; i < 7; ++i)
        p.drawEllipse(QPointF(6.5 + i * 3.2, 13.5), 1.1, 1.1);
    for (int i = 0; i < 6; ++i)
        p.drawEllipse(QPointF(8.1 + i * 3.2, 18.5), 1.1, 1.1);

    // A lit red LED on its lead above the connector.
    p.setPen(QPen(QColor(90, 90, 90), 1.0));
    p.drawLine(QPointF(25, 5), QPointF(25, 9));
    QRadialGradient glow(QPointF(24, 3), 4);
    glow.setColorAt(0, QColor(255, 200, 200));
    glow.setColorAt(1, QColor(220, 0, 0));
    p.setBrush(glow);
    p.setPen(QPen(QColor(120, 0, 0), 0.8));
    p.drawEllipse(QPointF(25, 4), 3.2, 3.2);

    // A green LED for the other state.
    QRadialGradient green(QPointF(6, 26.5), 3);
    green.setColorAt(0, QColor(200, 255, 200));
    green.setColorAt(1, QColor(0, 150, 0));
    p.setBrush(green);
    p.setPen(QPen(QColor(0, 80, 0), 0.8));
    p.drawEllipse(QPointF(7, 27.5), 2.8, 2.8);
    p.end();
    return image;
}

QIcon TamselIcon()
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128})
        icon.addPixmap(QPixmap::fromImage(TamselIconImage(size)));
    return icon;
}

QIcon TamselDemoIcon()
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128}) {
        QImage image = TamselIconImage(size);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(size / 32.0, size / 32.0);
        const QRectF corner(16, 16, 16, 16);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 128, 0));
        p.drawEllipse(corner);
        QFont font(QStringLiteral("Arial"));
        font.setBold(true);
        font.setPixelSize(12);
        p.setFont(font);
        p.setPen(Qt::white);
        p.drawText(corner, Qt::AlignCenter, QStringLiteral("D"));
        icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
}

QImage MarbleImage()
{
    // The picture is narrower than the about window, which repeats it side by side: every
    // part of it repeats across its width, so that no seam shows where the copies meet.
    constexpr int kWidth = 245;
    constexpr int kTurbulenceCells = 10; // about 24 pixels each
    constexpr int kGrainCells = 122;     // about 2 pixels each
    static const QImage marble = [] {
        QImage image(kWidth, 331, QImage::Format_RGB32);
        const double veinSlope = 3 * std::numbers::pi * 18.0 / kWidth; // three veins across the width
        for (int y = 0; y < image.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                // Veins: a sine across the picture bent by turbulence.
                const double t = Turbulence(x * double(kTurbulenceCells) / kWidth, y / 24.0,
                                            kTurbulenceCells);
                const double vein =
                    std::abs(std::sin((x * veinSlope + y * 0.9) / 18.0 + t * 5.0));
                const double grain =
                    Noise(x * double(kGrainCells) / kWidth, y / 2.0, kGrainCells);
                const int v = int(226 + 16 * std::pow(vein, 0.4) - 22 * (1 - vein) * t +
                                  6 * (grain - 0.5));
                const int g = std::clamp(v, 180, 250);
                line[x] = qRgb(g, g, std::min(255, g + 2));
            }
        }
        return image;
    }();
    return marble;
}

QImage RedBulletImage()
{
    QImage image(12, 12, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.fillRect(1, 1, 10, 10, QColor(220, 0, 0));
    p.setPen(QColor(255, 140, 140)); // lit edges, top and left
    p.drawLine(1, 1, 10, 1);
    p.drawLine(1, 1, 1, 10);
    p.setPen(QColor(120, 0, 0)); // shaded edges, bottom and right
    p.drawLine(1, 10, 10, 10);
    p.drawLine(10, 1, 10, 10);
    return image;
}
