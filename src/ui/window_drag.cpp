#include "ui/window_drag.h"

#include <QCursor>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

namespace kavo {

TWindowDrag::TWindowDrag(QWidget& window, bool compositorPlaces, bool placeKnown, Bounds bounds)
    : QObject(&window),
      window_(window),
      compositorPlaces_(compositorPlaces),
      placeKnown_(placeKnown),
      bounds_(std::move(bounds)) {
  window_.installEventFilter(this);
}

void TWindowDrag::StartDrag(QPointF pressGlobal) {
  if (compositorPlaces_ && window_.windowHandle()->startSystemMove()) return;
  tracking_.StartDrag(bounds_.place(), OnScreen(window_.mapFromGlobal(pressGlobal), pressGlobal));
  window_.grabMouse();
}

void TWindowDrag::StartResize() {
  tracking_.StartResize(QPointF(window_.mapFromGlobal(QCursor::pos())), QSizeF(window_.size()));
  window_.grabMouse(Qt::SizeFDiagCursor);
}

void TWindowDrag::End() {
  if (tracking_.Tracking() == PointerTracking::Kind::None) return;
  tracking_.End();
  window_.releaseMouse();
}

// Where the toolkit does not know the window's place, the pointer's place in the window counts
// from the place the bar asked for last: the desktop reports each position in the window as it
// stood when the pointer moved, which is that place once the move is done.
QPointF TWindowDrag::OnScreen(QPointF inWindow, QPointF onScreen) const {
  if (placeKnown_) return onScreen;
  return QPointF(bounds_.place()) / window_.devicePixelRatioF() + inWindow;
}

// The window's own handlers still see the events.
bool TWindowDrag::eventFilter(QObject* watched, QEvent* event) {
  if (watched != &window_) return false;
  if (event->type() == QEvent::MouseMove) {
    const auto* move = static_cast<QMouseEvent*>(event);
    if (tracking_.Tracking() == PointerTracking::Kind::Drag) {
      bounds_.set(tracking_.DragTo(OnScreen(move->position(), move->globalPosition()),
                                   window_.devicePixelRatioF()),
                  window_.size());
    } else if (tracking_.Tracking() == PointerTracking::Kind::Resize) {
      const QSizeF size = tracking_.ResizeTo(move->position(), bounds_.minimum);
      bounds_.set(bounds_.place(),
                  QSize(static_cast<int>(size.width()), static_cast<int>(size.height())));
    }
  } else if (event->type() == QEvent::MouseButtonRelease) {
    End();
  }
  return false;
}

}  // namespace kavo
