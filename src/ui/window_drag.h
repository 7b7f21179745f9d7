#pragma once
// Moving and resizing a frameless window with the pointer: a press starts it, the window follows
// the pointer until the release. Where the compositor places windows, it moves the window.

#include <QObject>
#include <QPoint>
#include <QSize>
#include <functional>

#include "ui/pointer_tracking.h"

class QWidget;

namespace kavo {

class TWindowDrag : public QObject {
  Q_OBJECT
 public:
  struct Bounds {
    // The window's place in screen pixels.
    std::function<QPoint()> place;
    // Moves and sizes the window: its place in screen pixels, its size in device-independent
    // pixels.
    std::function<void(QPoint place, QSize size)> set;
    // The smallest size a resize leaves, so that the window can still be grabbed.
    QSize minimum;
  };

  // compositorPlaces: the desktop places windows and moves them when asked. placeKnown: the
  // toolkit knows where the window stands (else the pointer counts from the bar's own place).
  TWindowDrag(QWidget& window, bool compositorPlaces, bool placeKnown, Bounds bounds);

  // A press at pressGlobal (on the screen, where the press was rather than where the pointer is
  // once it is handled) starts moving the window.
  void StartDrag(QPointF pressGlobal);
  // A press starts resizing from the window's bottom-right corner.
  void StartResize();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void End();

  QWidget& window_;
  // The pointer on the screen, in device-independent pixels.
  QPointF OnScreen(QPointF inWindow, QPointF onScreen) const;

  bool compositorPlaces_;
  bool placeKnown_;
  Bounds bounds_;
  PointerTracking tracking_;
};

}  // namespace kavo
