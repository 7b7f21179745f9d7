#pragma once
// A call run once on the event loop's next turn after its last request: many requests in one
// turn make one call.

#include <QObject>
#include <QTimer>
#include <functional>

namespace kavo {

// The timer to start for each request; it belongs to parent and calls in parent's context.
inline QTimer* Deferred(QObject* parent, std::function<void()> call) {
  auto* timer = new QTimer(parent);
  timer->setSingleShot(true);
  timer->setInterval(0);
  QObject::connect(timer, &QTimer::timeout, parent, std::move(call));
  return timer;
}

}  // namespace kavo
