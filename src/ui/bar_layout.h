#pragma once
// Where the bar's parts stand for its size: the title strip with a square at each end and the
// title between them, a spacer below, and the button area filling the rest. Arithmetic only.

#include <QRect>
#include <QSize>

namespace kavo {

struct BarLayout {
  static constexpr int kStripHeight = 20;
  static constexpr int kSpacerHeight = 4;
  static constexpr int kSquare = 20;
  static constexpr int kLabelMargin = 6;
  static constexpr int kGrip = 14;

  // resizeGrip: the button area's bottom-right corner, where resize mode resizes from.
  QRect strip, menuSquare, title, dragSquare, spacer, buttonArea, resizeGrip;
};

// Never a negative size, however small the bar.
BarLayout LayOutBar(QSize size);

}  // namespace kavo
