#include "ui/screen_geometry.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace kavo {
namespace {

QList<QRect> Usable(const QList<QRect>& rects) {
  QList<QRect> usable;
  for (const QRect& r : rects) {
    if (!r.isEmpty()) usable << r;
  }
  return usable;
}

double Distance(QPoint a, QPoint b) {
  const QPoint d = a - b;
  return std::hypot(d.x(), d.y());
}

std::optional<QRect> NearestTo(QPoint point, const QList<QRect>& areas) {
  std::optional<QRect> nearest;
  for (const QRect& a : areas) {
    if (!nearest || Distance(a.center(), point) < Distance(nearest->center(), point)) nearest = a;
  }
  return nearest;
}

QRect Span(const QList<QRect>& rects) {
  QRect span;
  for (const QRect& r : rects) span = span.united(r);
  return span;
}

}  // namespace

int BoundedCoordinate(int coordinate) {
  return std::clamp(coordinate, -kCoordinateLimit, kCoordinateLimit);
}

QPoint StorablePlace(QPoint place) {
  return {std::max(0, place.x()), std::max(0, place.y())};
}

QPoint ReachablePosition(const QRect& placed, int stripHeight, const QList<QRect>& workAreas,
                         bool wholeStrip) {
  const QList<QRect> areas = Usable(workAreas);
  const QRect window(BoundedCoordinate(placed.x()), BoundedCoordinate(placed.y()), placed.width(),
                     placed.height());
  const QRect strip(window.x(), window.y(), window.width(), stripHeight);
  for (const QRect& a : areas) {
    if (wholeStrip ? a.contains(strip) : a.intersects(strip)) return window.topLeft();
  }
  const auto nearest = NearestTo(strip.center(), areas);
  if (!nearest) return window.topLeft();
  const QRect& a = *nearest;
  return {std::clamp(window.x(), a.left(), std::max(a.left(), a.right() - window.width() + 1)),
          std::clamp(window.y(), a.top(), std::max(a.top(), a.bottom() - stripHeight + 1))};
}

QPoint MenuPosition(QPoint corner, QSize menu, const QList<QRect>& workAreas) {
  for (const QRect& work : Usable(workAreas)) {
    if (!work.contains(corner)) continue;
    QPoint at = corner;
    if (at.y() + menu.height() > work.bottom() + 1) {
      at.setY(std::max(work.top(), work.bottom() + 1 - menu.height()));
    }
    if (at.x() + menu.width() > work.right() + 1) {
      at.setX(std::max(work.left(), work.right() + 1 - menu.width()));
    }
    return at;
  }
  return corner;
}

QPoint FirstPlacement(QSize frame, const QList<QRect>& screens, const QList<QRect>& workAreas) {
  const QList<QRect> monitors = Usable(screens);
  if (monitors.isEmpty()) return {0, 0};
  const QRect desktop = Span(monitors);
  QRect r(QPoint(desktop.x() + (desktop.width() - frame.width()) / 2,
                 desktop.y() + (desktop.height() - frame.height()) / 2),
          frame);
  auto cornersOnScreens = [&] {
    for (const QPoint& c : {r.topLeft(), r.topRight(), r.bottomLeft(), r.bottomRight()}) {
      if (std::none_of(monitors.begin(), monitors.end(),
                       [&](const QRect& m) { return m.contains(c); })) {
        return false;
      }
    }
    return true;
  };
  if (cornersOnScreens()) return r.topLeft();
  const QRect central = CentralWorkArea(screens, workAreas);
  if (central.isEmpty()) return r.topLeft();
  const QRect* work = &central;
  if (r.top() < work->top()) r.moveTop(work->top());
  if (r.bottom() > work->bottom()) r.moveBottom(work->bottom());
  if (!cornersOnScreens()) {
    if (r.left() < work->left()) r.moveLeft(work->left());
    if (r.right() > work->right()) r.moveRight(work->right());
  }
  return r.topLeft();
}

QRect CentralWorkArea(const QList<QRect>& screens, const QList<QRect>& workAreas) {
  return NearestTo(Span(Usable(screens)).center(), Usable(workAreas)).value_or(QRect());
}

QSize FittingClientSize(QSize design, QSize frameExtra, const QRect& workArea) {
  if (workArea.isEmpty()) return design;
  return {std::clamp(workArea.width() - frameExtra.width(), 1, design.width()),
          std::clamp(workArea.height() - frameExtra.height(), 1, design.height())};
}

}  // namespace kavo
