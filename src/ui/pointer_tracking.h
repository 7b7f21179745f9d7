#pragma once
// A drag or a resize of the bar under way, as arithmetic on the pointer's positions; needs no
// screen.

#include <QPoint>
#include <QPointF>
#include <QSize>
#include <QSizeF>

namespace kavo {

class PointerTracking {
 public:
  enum class Kind { None, Drag, Resize };
  Kind Tracking() const { return kind_; }

  // A drag counts on the screen, from where the press was and where the bar stood then: the
  // window moves under the pointer, and the window manager's news of where it stands may come
  // late or out of turn.
  void StartDrag(QPoint barAt, QPointF pressOnScreen);
  // A resize counts in the window, from each position of the pointer to the next.
  void StartResize(QPointF pressInWindow, QSizeF size);
  void End() { kind_ = Kind::None; }

  // The bar's place (screen pixels) with the pointer here on the screen.
  QPoint DragTo(QPointF pointerOnScreen, double ratio) const;
  // The bar's size with the pointer here in the window, never below smallest.
  QSizeF ResizeTo(QPointF pointerInWindow, QSize smallest);

 private:
  Kind kind_ = Kind::None;
  QPointF press_;  // on the screen for a drag, in the window (the last position) for a resize
  QPoint barAt_;
  QSizeF size_;
};

}  // namespace kavo
