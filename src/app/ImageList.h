#pragma once
// The main window's image list (ImageList1) and the look of its menus.
//
// The eight 16 x 16 pictures are drawn by code, so they need no image files. The disabled look
// of an icon is left to the style, which greys it.
#include <QIcon>
#include <QImage>

class QMenuBar;

constexpr int kImageSize = 16;
constexpr int kImageCount = 8;

// Indexes into ImageList1 by the role of the picture.
constexpr int kImgPrinter = 0;     // the LPT1 to LPT8 actions
constexpr int kImgStart = 1;       // blue right-pointing triangle: open the port
constexpr int kImgStop = 2;        // blue square: close the port
constexpr int kImgDevice = 3;      // grey box with a red light (unused)
constexpr int kImgTools = 4;       // crossed tools with a spark (unused)
constexpr int kImgExit = 5;        // door with a red arrow: quit
constexpr int kImgWrite = 6;       // red disc: write
constexpr int kImgRead = 7;        // cyan square: read

// The picture at an index of ImageList1, 16 x 16 with a transparent background; a null image
// for an index outside 0 .. kImageCount - 1.
QImage ImageList1Image(int index);
// The same picture as an icon (needs the application object); a null icon outside the range.
QIcon ImageList1Icon(int index);

// Draws the menu bar and every menu in it (also menus added later) in the program's menu
// style: light-blue vertical gradients, the selected item framed in navy on a lighter fill,
// Tahoma 8 points. Menus show no images: the icon of every action placed in one of these menus
// is hidden there (and only there; toolbar buttons keep it). Nothing application-wide changes.
void ApplyMenuStyle(QMenuBar* bar);
