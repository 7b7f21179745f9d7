#pragma once
// The bar's own arithmetic, which needs no screen: where a drag or a resize takes it, which of
// its parts take presses, and the change between device-independent and device pixels.

#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QSize>
#include <QSizeF>
#include <vector>

namespace kavo {

// The bar's new top-left corner in screen pixels when the pressed point has moved by
// displacement (device-independent pixels): moved by the same amount in screen pixels, each
// coordinate rounded to the nearest, halves to even, so the pressed point stays under the
// pointer at every scale.
QPoint DraggedTo(QPoint leftTop, QPointF displacement, double ratio);

// The size a resize reaches when the pointer has moved by displacement from the size reached
// before: rounded to the nearest, halves to even, and never below smallest.
QSizeF ResizedTo(QSizeF reached, QPointF displacement, QSize smallest);

// The parts of a see-through bar that take presses: the title strip, and each button with its
// shadow, which reaches shadowReach further right and down; all within the window.
std::vector<QRect> PressableParts(const QRect& strip, const std::vector<QRect>& buttons,
                                  int shadowReach, const QRect& window);

// A place in device-independent pixels in screen pixels, and back: each coordinate rounded.
QPoint ToScreenPixels(QPoint place, double ratio);
QPoint FromScreenPixels(QPoint pixels, double ratio);

// The device pixels that cover a rectangle of device-independent pixels.
QRect CoveringPixels(const QRect& r, double ratio);
// A rectangle of device-independent pixels in device pixels, each number rounded.
QRect RoundedPixels(const QRect& r, double ratio);

}  // namespace kavo
