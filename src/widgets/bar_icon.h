#pragma once
// The program's icon: the bar in small, a title strip with its two squares over a row of
// buttons. Drawn here, and from here rendered into the PNG files that are installed beside the
// hand-written SVG of the same drawing (app/icons/kavo.svg), so the window and the desktop show
// one icon.

#include <QIcon>
#include <QImage>

namespace kavo {

// The sizes the icon is installed at.
inline constexpr int kIconSizes[] = {16, 24, 32, 48, 64, 128, 256};
// The sizes the window carries, as task bars and switchers draw it; larger views take the
// installed icon. The two largest would be nine tenths of the drawing at every start.
inline constexpr int kWindowIconSizes[] = {16, 24, 32, 48, 64};

// The icon at side x side pixels; needs no application object.
QImage BarIconImage(int side);

// The window's icon, in the window's sizes.
QIcon BarIcon();

}  // namespace kavo
