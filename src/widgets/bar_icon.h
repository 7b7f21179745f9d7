#pragma once
// The program's icon: the bar in small, a title strip with its two squares over a row of
// buttons. Drawn here, and from here rendered into the PNG files that are installed beside the
// hand-written SVG of the same drawing (app/icons/kavo.svg), so the window and the desktop show
// one icon.

#include <QIcon>
#include <QImage>

namespace kavo {

// The sizes the icon is rendered at, for the window and for installing.
inline constexpr int kIconSizes[] = {16, 24, 32, 48, 64, 128, 256};

// The icon at side x side pixels; needs no application object.
QImage BarIconImage(int side);

QIcon BarIcon();

}  // namespace kavo
