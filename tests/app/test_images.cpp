#include <QAction>
#include <QApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>

#include "ImageList.h"

namespace {

using ColourTest = std::function<bool(const QColor&)>;

bool Opaque(const QColor& c) { return c.alpha() == 255; }
bool Blue(const QColor& c) { return Opaque(c) && c.blue() >= 150 && c.red() < 100 && c.green() < 140; }
bool Red(const QColor& c) { return Opaque(c) && c.red() >= 200 && c.green() < 80 && c.blue() < 80; }
bool Cyan(const QColor& c) { return Opaque(c) && c.green() >= 180 && c.blue() >= 180 && c.red() < 140; }
bool Yellow(const QColor& c) { return Opaque(c) && c.red() >= 200 && c.green() >= 160 && c.blue() < 80; }
bool Grey(const QColor& c)
{
    return Opaque(c) && std::abs(c.red() - c.green()) < 16 && std::abs(c.green() - c.blue()) < 16;
}
bool Navy(const QColor& c) { return c.red() == 0 && c.green() == 0 && c.blue() == 0x80; }
bool LightBlue(const QColor& c) { return c.red() >= 150 && c.blue() >= 200 && c.blue() > c.red() + 10; }

int Count(const QImage& image, const ColourTest& test)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += test(image.pixelColor(x, y)) ? 1 : 0;
    return n;
}

struct ColourRow {
    int index;
    const char* what;
    ColourTest test;
    int atLeast;
    int atMost;
};

// The role colours each picture must show, and colours that would make it read as another.
const ColourRow kColourRows[] = {
    {kImgPrinter, "grey or white", Grey, 100, 256}, {kImgPrinter, "red", Red, 0, 0},
    {kImgStart, "blue", Blue, 40, 256}, {kImgStart, "red", Red, 0, 0},
    {kImgStop, "blue", Blue, 60, 256}, {kImgStop, "red", Red, 0, 0},
    {kImgDevice, "grey", Grey, 60, 256}, {kImgDevice, "red", Red, 4, 30},
    {kImgTools, "yellow spark", Yellow, 5, 30}, {kImgTools, "grey", Grey, 20, 256},
    {kImgExit, "red arrow", Red, 15, 256}, {kImgExit, "blue", Blue, 0, 0},
    {kImgWrite, "red", Red, 60, 256}, {kImgWrite, "blue", Blue, 0, 0},
    {kImgRead, "cyan", Cyan, 60, 256}, {kImgRead, "red", Red, 0, 0},
};

TEST(ImageList1, EachPictureIsSixteenSquareOnTransparentGround)
{
    for (int i = 0; i < kImageCount; ++i) {
        SCOPED_TRACE(i);
        const QImage image = ImageList1Image(i);
        ASSERT_EQ(image.size(), QSize(kImageSize, kImageSize));
        EXPECT_GE(Count(image, Opaque), 40);
        for (const QPoint corner : {QPoint(0, 0), QPoint(15, 0), QPoint(0, 15), QPoint(15, 15)})
            EXPECT_EQ(image.pixelColor(corner).alpha(), 0) << corner.x() << "," << corner.y();
    }
}

TEST(ImageList1, PicturesShowTheirRoleColours)
{
    for (const ColourRow& row : kColourRows) {
        const int n = Count(ImageList1Image(row.index), row.test);
        EXPECT_GE(n, row.atLeast) << "image " << row.index << ": " << row.what;
        EXPECT_LE(n, row.atMost) << "image " << row.index << ": " << row.what;
    }
}

TEST(ImageList1, PicturesDifferFromOneAnother)
{
    for (int a = 0; a < kImageCount; ++a)
        for (int b = a + 1; b < kImageCount; ++b)
            EXPECT_NE(ImageList1Image(a), ImageList1Image(b)) << a << " and " << b;
}

TEST(ImageList1, IconCarriesThePictureAndOutOfRangeIsNull)
{
    for (int i = 0; i < kImageCount; ++i) {
        const QIcon icon = ImageList1Icon(i);
        ASSERT_FALSE(icon.isNull()) << i;
        const QImage shown = icon.pixmap(kImageSize, kImageSize).toImage();
        EXPECT_EQ(shown.convertToFormat(QImage::Format_ARGB32),
                  ImageList1Image(i).convertToFormat(QImage::Format_ARGB32))
            << i;
    }
    for (const int bad : {-1, kImageCount, 1000}) {
        EXPECT_TRUE(ImageList1Image(bad).isNull()) << bad;
        EXPECT_TRUE(ImageList1Icon(bad).isNull()) << bad;
    }
}

// A window with two menus as the main window builds them: one created by the bar, one owned
// by the window and added afterwards; actions arrive before and after the style is applied.
class MenuStyle : public ::testing::Test {
protected:
    void SetUp() override
    {
        window.resize(300, 200);
        file = window.menuBar()->addMenu("Fichier");
        write = file->addAction(ImageList1Icon(kImgWrite), "Ecriture");
        file->addSeparator();
        loop = file->addAction("Lire en boucle");
        ApplyMenuStyle(window.menuBar());
        ports = new QMenu("Ports", &window);
        window.menuBar()->addMenu(ports);
        quit = file->addAction(ImageList1Icon(kImgExit), "Quitter");
        lpt1 = ports->addAction(ImageList1Icon(kImgPrinter), "LPT1");
        window.show();
    }

    // The menu as drawn while open, with the given item selected (or none).
    QImage Open(QMenu* menu, QAction* selected)
    {
        menu->popup(window.mapToGlobal(QPoint(0, 20)));
        menu->setActiveAction(selected);
        QApplication::processEvents();
        QImage image = menu->grab().toImage();
        menu->hide();
        return image;
    }

    QMainWindow window;
    QMenu* file = nullptr;
    QMenu* ports = nullptr;
    QAction* write = nullptr;
    QAction* loop = nullptr;
    QAction* quit = nullptr;
    QAction* lpt1 = nullptr;
};

TEST_F(MenuStyle, BarAndEveryMenuUseTahomaEightPoints)
{
    for (QWidget* w : std::initializer_list<QWidget*>{window.menuBar(), file, ports}) {
        w->ensurePolished();
        EXPECT_EQ(w->font().family(), "Tahoma") << w->metaObject()->className();
        EXPECT_EQ(w->font().pointSize(), 8) << w->metaObject()->className();
    }
}

TEST_F(MenuStyle, MenusShowNoImagesButActionsKeepThem)
{
    for (QAction* a : {write, quit, lpt1}) {
        EXPECT_FALSE(a->isIconVisibleInMenu()) << a->text().toStdString();
        EXPECT_FALSE(a->icon().isNull()) << a->text().toStdString();
    }
    EXPECT_FALSE(QCoreApplication::testAttribute(Qt::AA_DontShowIconsInMenus));
    // Neither the red disc nor the door's red arrow appears in the drawn menu.
    EXPECT_EQ(Count(Open(file, nullptr), Red), 0);
}

TEST_F(MenuStyle, SelectedItemIsFramedInNavyOnALightBlueGradient)
{
    for (QMenu* menu : {file, ports}) {
        SCOPED_TRACE(menu->title().toStdString());
        const QImage idle = Open(menu, nullptr);
        EXPECT_EQ(Count(idle, Navy), 0);
        const QColor top = idle.pixelColor(idle.width() - 4, 2);
        const QColor bottom = idle.pixelColor(idle.width() - 4, idle.height() - 3);
        EXPECT_TRUE(LightBlue(top) && LightBlue(bottom)) << top.name().toStdString() << " "
                                                         << bottom.name().toStdString();
        EXPECT_GT(top.lightness(), bottom.lightness());
        QAction* item = menu == file ? loop : lpt1;
        const QImage chosen = Open(menu, item);
        const QRect frame = menu->actionGeometry(item);
        // A closed one-pixel frame: the whole top row and left column of the item are navy.
        EXPECT_GE(Count(chosen, Navy), 2 * frame.width() + 2 * frame.height() - 8);
        EXPECT_TRUE(Navy(chosen.pixelColor(frame.center().x(), frame.top())));
        EXPECT_TRUE(Navy(chosen.pixelColor(frame.left(), frame.center().y())));
        // Inside the frame the fill is lighter than the menu's gradient at that height.
        const QColor inside = chosen.pixelColor(frame.right() - 3, frame.center().y());
        const QColor beside = idle.pixelColor(frame.right() - 3, frame.center().y());
        EXPECT_GT(inside.lightness(), beside.lightness());
    }
}

TEST_F(MenuStyle, BarHasAGradientAndFramesTheOpenMenu)
{
    QMenuBar* bar = window.menuBar();
    const QImage idle = bar->grab().toImage();
    EXPECT_EQ(Count(idle, Navy), 0);
    const QColor top = idle.pixelColor(idle.width() - 4, 1);
    const QColor bottom = idle.pixelColor(idle.width() - 4, idle.height() - 2);
    EXPECT_TRUE(LightBlue(bottom)) << bottom.name().toStdString();
    EXPECT_GT(top.lightness(), bottom.lightness());
    bar->setActiveAction(file->menuAction());
    QApplication::processEvents();
    const QImage active = bar->grab().toImage();
    file->hide();
    const QRect frame = bar->actionGeometry(file->menuAction());
    EXPECT_TRUE(Navy(active.pixelColor(frame.center().x(), frame.top())));
}

} // namespace
