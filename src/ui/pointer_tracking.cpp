#include "ui/pointer_tracking.h"

#include "ui/bar_geometry.h"

namespace kavo {

void PointerTracking::StartDrag(QPoint barAt, QPointF pressOnScreen) {
  kind_ = Kind::Drag;
  barAt_ = barAt;
  press_ = pressOnScreen;
}

void PointerTracking::StartResize(QPointF pressInWindow, QSizeF size) {
  kind_ = Kind::Resize;
  press_ = pressInWindow;
  size_ = size;
}

QPoint PointerTracking::DragTo(QPointF pointerOnScreen, double ratio) const {
  return DraggedTo(barAt_, pointerOnScreen - press_, ratio);
}

QSizeF PointerTracking::ResizeTo(QPointF pointerInWindow, QSize smallest) {
  size_ = ResizedTo(size_, pointerInWindow - press_, smallest);
  press_ = pointerInWindow;
  return size_;
}

}  // namespace kavo
