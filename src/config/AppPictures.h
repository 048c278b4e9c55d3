#pragma once
// Pictures the program draws itself: its icon, the marble background of the about window and
// the red square bullets.
#include <QIcon>
#include <QImage>

// A parallel connector with a lit LED, in the usual icon sizes.
QIcon TamselIcon();
// The demo's icon: the same picture with an orange corner that bears a "D".
QIcon TamselDemoIcon();
// The same picture drawn at size x size pixels on a transparent ground.
QImage TamselIconImage(int size);
// A light-grey marble texture of 245 x 331 pixels, the same on every call.
QImage MarbleImage();
// A red square bullet of 12 x 12 pixels with a raised edge.
QImage RedBulletImage();
