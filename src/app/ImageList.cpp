#include "ImageList.h"

#include <QActionEvent>
#include <QLinearGradient>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>
#include <QRadialGradient>

namespace {

// Vertical gradient over the rows top .. bottom (pixel rows, inclusive).
QLinearGradient Vertical(int top, int bottom, const QColor& from, const QColor& to)
{
    QLinearGradient g(0, top, 0, bottom + 1);
    g.setColorAt(0, from);
    g.setColorAt(1, to);
    return g;
}

// A one-pixel outline on the pixels x0..x1, y0..y1 (inclusive), crisp (no antialiasing).
void Frame(QPainter& p, int x0, int y0, int x1, int y1, const QColor& c)
{
    p.fillRect(x0, y0, x1 - x0 + 1, 1, c);
    p.fillRect(x0, y1, x1 - x0 + 1, 1, c);
    p.fillRect(x0, y0, 1, y1 - y0 + 1, c);
    p.fillRect(x1, y0, 1, y1 - y0 + 1, c);
}

// Filled box on the pixels x0..x1, y0..y1 with a gradient body and an outline.
void Box(QPainter& p, int x0, int y0, int x1, int y1, const QColor& top, const QColor& bottom,
         const QColor& outline)
{
    p.fillRect(x0, y0, x1 - x0 + 1, y1 - y0 + 1, Vertical(y0, y1, top, bottom));
    Frame(p, x0, y0, x1, y1, outline);
}

void DrawPrinter(QPainter& p)
{
    const QColor paperEdge(0x70, 0x70, 0x70);
    const QColor dark(0x40, 0x40, 0x40);
    // Sheet going in at the top.
    Box(p, 4, 1, 11, 6, Qt::white, Qt::white, paperEdge);
    // Body with a lit top edge, the paper slot and a green power light.
    Box(p, 1, 6, 14, 12, QColor(0xe0, 0xe0, 0xe0), QColor(0xa0, 0xa0, 0xa0), dark);
    p.fillRect(2, 7, 12, 1, Qt::white);
    p.fillRect(3, 9, 10, 1, dark);
    p.fillRect(12, 7, 2, 1, QColor(0x00, 0xc0, 0x00));
    // Printed sheet coming out at the bottom, with two lines of print.
    Box(p, 4, 10, 11, 15, Qt::white, Qt::white, paperEdge);
    p.fillRect(5, 12, 6, 1, QColor(0x50, 0x50, 0x50));
    p.fillRect(5, 14, 4, 1, QColor(0x50, 0x50, 0x50));
}

void DrawStart(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing);
    const QPolygonF triangle({QPointF(3.5, 1.5), QPointF(14.5, 8.0), QPointF(3.5, 14.5)});
    p.setPen(QPen(QColor(0x00, 0x00, 0x80), 1.0));
    p.setBrush(Vertical(2, 14, QColor(0x40, 0x70, 0xff), QColor(0x00, 0x00, 0xc8)));
    p.drawPolygon(triangle);
}

void DrawStop(QPainter& p)
{
    Box(p, 3, 3, 12, 12, QColor(0x40, 0x70, 0xff), QColor(0x00, 0x00, 0xc8),
        QColor(0x00, 0x00, 0x80));
}

void DrawDevice(QPainter& p)
{
    // Grey housing with a lit top edge, two vent slots and a red light on the right.
    Box(p, 1, 3, 14, 12, QColor(0xd8, 0xd8, 0xd8), QColor(0x90, 0x90, 0x90),
        QColor(0x40, 0x40, 0x40));
    p.fillRect(2, 4, 12, 1, Qt::white);
    p.fillRect(3, 7, 5, 1, QColor(0x50, 0x50, 0x50));
    p.fillRect(3, 9, 5, 1, QColor(0x50, 0x50, 0x50));
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient glow(QPointF(10.8, 7.2), 3.0);
    glow.setColorAt(0, QColor(0xff, 0xa0, 0xa0));
    glow.setColorAt(0.4, QColor(0xff, 0x00, 0x00));
    glow.setColorAt(1, QColor(0xb0, 0x00, 0x00));
    p.setPen(QPen(QColor(0x60, 0x00, 0x00), 1.0));
    p.setBrush(glow);
    p.drawEllipse(QPointF(11.5, 8.0), 2.5, 2.5);
}

void DrawTools(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing);
    const QColor steel(0x78, 0x80, 0x88);
    // Wrench from the bottom right to an open jaw at the top left.
    p.setPen(QPen(steel, 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(5.0, 5.0), QPointF(13.5, 13.5));
    p.setPen(Qt::NoPen);
    p.setBrush(steel);
    p.drawEllipse(QPointF(4.0, 4.0), 3.2, 3.2);
    p.setCompositionMode(QPainter::CompositionMode_Clear);
    p.drawPolygon(QPolygonF({QPointF(0, 2.2), QPointF(2.2, 0), QPointF(5.0, 2.8), QPointF(2.8, 5.0)}));
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    // Screwdriver across it: steel shaft to the top right, red handle at the bottom left.
    p.setPen(QPen(QColor(0x30, 0x38, 0x40), 1.6, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(7.0, 9.0), QPointF(14.0, 2.0));
    p.setPen(QPen(QColor(0xd0, 0x20, 0x10), 3.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(2.6, 13.4), QPointF(6.4, 9.6));
    // Spark between the tools' heads, at the top.
    p.setRenderHint(QPainter::Antialiasing, false);
    const QColor spark(0xff, 0xd0, 0x00);
    p.fillRect(9, 0, 1, 5, spark);
    p.fillRect(7, 2, 5, 1, spark);
    p.fillRect(8, 1, 1, 1, spark);
    p.fillRect(10, 1, 1, 1, spark);
    p.fillRect(8, 3, 1, 1, spark);
    p.fillRect(10, 3, 1, 1, spark);
    p.fillRect(9, 2, 1, 1, Qt::white);
}

void DrawExit(QPainter& p)
{
    // Door in its frame, knob on the left.
    Box(p, 1, 1, 9, 15, QColor(0xd0, 0x90, 0x50), QColor(0x90, 0x58, 0x28), QColor(0x50, 0x30, 0x10));
    Frame(p, 3, 3, 7, 7, QColor(0x80, 0x50, 0x20));
    Frame(p, 3, 9, 7, 13, QColor(0x80, 0x50, 0x20));
    p.fillRect(2, 8, 1, 1, QColor(0xff, 0xe0, 0x40));
    // Red arrow leaving through it to the right.
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath arrow;
    arrow.moveTo(5.5, 6.5);
    arrow.lineTo(10.5, 6.5);
    arrow.lineTo(10.5, 3.5);
    arrow.lineTo(15.5, 8.0);
    arrow.lineTo(10.5, 12.5);
    arrow.lineTo(10.5, 9.5);
    arrow.lineTo(5.5, 9.5);
    arrow.closeSubpath();
    p.setPen(QPen(QColor(0x80, 0x00, 0x00), 1.0));
    p.setBrush(QColor(0xf0, 0x10, 0x10));
    p.drawPath(arrow);
}

void DrawWrite(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient shade(QPointF(6.0, 5.5), 8.0);
    shade.setColorAt(0, QColor(0xff, 0x90, 0x90));
    shade.setColorAt(0.3, QColor(0xff, 0x00, 0x00));
    shade.setColorAt(1, QColor(0xb0, 0x00, 0x00));
    p.setPen(QPen(QColor(0x80, 0x00, 0x00), 1.0));
    p.setBrush(shade);
    p.drawEllipse(QPointF(8.0, 8.0), 6.5, 6.5);
}

void DrawRead(QPainter& p)
{
    Box(p, 3, 3, 12, 12, QColor(0x80, 0xff, 0xff), QColor(0x00, 0xd0, 0xd0),
        QColor(0x00, 0x70, 0x70));
}

// Menu bar and menus: light-blue vertical gradients, the selected item framed in navy on a
// lighter fill, black text (grey when disabled). Fonts are set here so the menus keep Tahoma
// whatever the window's own font is.
const char* const kMenuStyleSheet = R"(
QMenuBar {
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #f2f7fe, stop:1 #b9d2f0);
    font-family: "Tahoma";
    font-size: 8pt;
    color: black;
}
QMenuBar::item {
    background: transparent;
    border: 1px solid transparent;
    padding: 2px 6px;
    color: black;
}
QMenuBar::item:selected, QMenuBar::item:pressed {
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #ffffff, stop:1 #e2eefc);
    border: 1px solid #000080;
    color: black;
}
QMenuBar::item:disabled { color: #808080; }
QMenu {
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #eef4fd, stop:1 #b4cdee);
    border: 1px solid #6f8db5;
    padding: 2px;
    font-family: "Tahoma";
    font-size: 8pt;
    color: black;
}
QMenu::item {
    background: transparent;
    border: 1px solid transparent;
    padding: 3px 18px 3px 22px;
    color: black;
}
QMenu::item:selected {
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #ffffff, stop:1 #e2eefc);
    border: 1px solid #000080;
    color: black;
}
QMenu::item:disabled { color: #808080; }
QMenu::item:disabled:selected { color: #808080; }
QMenu::separator {
    height: 1px;
    background: #7f9fc8;
    margin: 3px 4px;
}
)";

// Keeps the bar and its menus in the menu style as menus and actions are added: every menu
// reached from the bar gets the style sheet (also a menu whose parent is not the bar, which a
// style sheet on the bar would not reach), and every action placed in one of them has its icon
// hidden in menus. This works per action, through QAction::setIconVisibleInMenu, instead of
// the application-wide Qt::AA_DontShowIconsInMenus.
// Marks a menu bar or menu already kept in the menu style.
const char* const kStyledProperty = "tamselMenuStyled";

class MenuStyler final : public QObject {
public:
    explicit MenuStyler(QMenuBar* bar) : QObject(bar) { Adopt(bar); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::ActionAdded || event->type() == QEvent::ActionChanged)
            Place(static_cast<QActionEvent*>(event)->action());
        return QObject::eventFilter(watched, event);
    }

private:
    void Adopt(QWidget* menuWidget)
    {
        menuWidget->setProperty(kStyledProperty, true);
        menuWidget->installEventFilter(this);
        menuWidget->setStyleSheet(QString::fromUtf8(kMenuStyleSheet));
        for (QAction* action : menuWidget->actions())
            Place(action);
    }

    void Place(QAction* action)
    {
        if (action == nullptr)
            return;
        if (action->isIconVisibleInMenu())
            action->setIconVisibleInMenu(false);
        if (QMenu* menu = action->menu<QMenu*>(); menu != nullptr && !menu->property(kStyledProperty).toBool())
            Adopt(menu);
    }
};

} // namespace

QImage ImageList1Image(int index)
{
    if (index < 0 || index >= kImageCount)
        return {};
    QImage image(kImageSize, kImageSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    switch (index) {
    case kImgPrinter: DrawPrinter(p); break;
    case kImgStart: DrawStart(p); break;
    case kImgStop: DrawStop(p); break;
    case kImgDevice: DrawDevice(p); break;
    case kImgTools: DrawTools(p); break;
    case kImgExit: DrawExit(p); break;
    case kImgWrite: DrawWrite(p); break;
    case kImgRead: DrawRead(p); break;
    }
    p.end();
    return image;
}

QIcon ImageList1Icon(int index)
{
    const QImage image = ImageList1Image(index);
    if (image.isNull())
        return {};
    return QIcon(QPixmap::fromImage(image));
}

void ApplyMenuStyle(QMenuBar* bar)
{
    if (bar == nullptr || bar->property(kStyledProperty).toBool())
        return;
    new MenuStyler(bar); // owned by the bar
}
