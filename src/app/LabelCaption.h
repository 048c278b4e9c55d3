#pragma once
// The window's labels size themselves to their caption, growing to the right from their place.
#include <QLabel>

inline void SetCaption(QLabel* label, const QString& caption)
{
    label->setText(caption);
    label->adjustSize();
}
