#pragma once
// The program's icon, drawn rather than shipped as a file: the bar in small, a title strip with
// its two squares over a row of buttons.

#include <QIcon>

namespace kavo {

QIcon BarIcon();

}  // namespace kavo
