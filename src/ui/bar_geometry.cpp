#include "ui/bar_geometry.h"

#include <algorithm>
#include <cmath>

namespace kavo {
namespace {

int Nearest(double value) {
  return static_cast<int>(std::nearbyint(value));  // halves to even in the default rounding
}

}  // namespace

QPoint DraggedTo(QPoint leftTop, QPointF displacement, double ratio) {
  const QPointF d = displacement * ratio;
  return leftTop + QPoint(Nearest(d.x()), Nearest(d.y()));
}

QSizeF ResizedTo(QSizeF reached, QPointF displacement, QSize smallest) {
  const double w = std::nearbyint(displacement.x() + reached.width());
  const double h = std::nearbyint(displacement.y() + reached.height());
  return {std::max<double>(w, smallest.width()), std::max<double>(h, smallest.height())};
}

std::vector<QRect> PressableParts(const QRect& strip, const std::vector<QRect>& buttons,
                                  int shadowReach, const QRect& window) {
  std::vector<QRect> parts = {strip};
  for (const QRect& button : buttons) {
    const QRect r = button.adjusted(0, 0, shadowReach, shadowReach).intersected(window);
    if (!r.isEmpty()) parts.push_back(r);
  }
  return parts;
}

QPoint ToScreenPixels(QPoint place, double ratio) {
  return {static_cast<int>(std::lround(place.x() * ratio)),
          static_cast<int>(std::lround(place.y() * ratio))};
}

QPoint FromScreenPixels(QPoint pixels, double ratio) {
  return {static_cast<int>(std::lround(pixels.x() / ratio)),
          static_cast<int>(std::lround(pixels.y() / ratio))};
}

QRect CoveringPixels(const QRect& r, double ratio) {
  return {static_cast<int>(std::floor(r.x() * ratio)), static_cast<int>(std::floor(r.y() * ratio)),
          static_cast<int>(std::ceil(r.width() * ratio)),
          static_cast<int>(std::ceil(r.height() * ratio))};
}

QRect RoundedPixels(const QRect& r, double ratio) {
  return {static_cast<int>(std::lround(r.x() * ratio)),
          static_cast<int>(std::lround(r.y() * ratio)),
          static_cast<int>(std::lround(r.width() * ratio)),
          static_cast<int>(std::lround(r.height() * ratio))};
}

}  // namespace kavo
