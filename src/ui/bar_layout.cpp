#include "ui/bar_layout.h"

#include <algorithm>

namespace kavo {

BarLayout LayOutBar(QSize size) {
  using L = BarLayout;
  const int w = size.width();
  BarLayout l;
  l.strip = QRect(0, 0, w, L::kStripHeight);
  l.menuSquare = QRect(0, 0, L::kSquare, L::kSquare);
  l.dragSquare = QRect(std::max(0, w - L::kSquare), 0, L::kSquare, L::kSquare);
  l.title = QRect(L::kSquare + L::kLabelMargin, 0,
                  std::max(0, w - 2 * L::kSquare - L::kLabelMargin), L::kStripHeight);
  l.spacer = QRect(0, L::kStripHeight, w, L::kSpacerHeight);
  l.buttonArea = QRect(0, L::kStripHeight + L::kSpacerHeight, w,
                       std::max(0, size.height() - L::kStripHeight - L::kSpacerHeight));
  const QSize grip = QSize(L::kGrip, L::kGrip).boundedTo(l.buttonArea.size());
  l.resizeGrip =
      QRect(l.buttonArea.bottomRight() - QPoint(grip.width(), grip.height()) + QPoint(1, 1), grip);
  return l;
}

}  // namespace kavo
