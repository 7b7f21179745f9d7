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

QPoint PlaceOnScreens(const QRect& user, int stripHeight, const QList<QRect>& workAreas) {
  const QList<QRect> areas = Usable(workAreas);
  for (const QRect& a : areas) {
    if (a.contains(user)) return user.topLeft();
  }
  const QPoint stripCentre(user.center().x(), user.y() + stripHeight / 2);
  std::optional<QRect> home;
  for (const QRect& a : areas) {
    if (a.contains(stripCentre)) home = a;
  }
  if (!home) home = NearestTo(stripCentre, areas);
  if (home && home->width() >= user.width() && home->height() >= user.height()) {
    return {std::clamp(user.x(), home->left(), home->right() + 1 - user.width()),
            std::clamp(user.y(), home->top(), home->bottom() + 1 - user.height())};
  }
  return ReachablePosition(user, stripHeight, workAreas, true);
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

QPoint BesidePlacement(QSize frame, const QRect& bar, const QList<QRect>& workAreas) {
  const QList<QRect> areas = Usable(workAreas);
  QRect work;
  for (const QRect& a : areas) {
    if (a.contains(bar.center())) work = a;
  }
  if (work.isEmpty()) work = NearestTo(bar.center(), areas).value_or(QRect());
  if (work.isEmpty()) return {bar.right() + 1, bar.top()};
  constexpr int kGap = 8;
  // Inside the work area as far as it can be, the top-left corner first.
  const auto inside = [&](QPoint at) {
    return QPoint(std::max(work.left(), std::min(at.x(), work.right() + 1 - frame.width())),
                  std::max(work.top(), std::min(at.y(), work.bottom() + 1 - frame.height())));
  };
  const QPoint candidates[] = {{bar.right() + 1 + kGap, bar.top()},
                               {bar.left() - kGap - frame.width(), bar.top()},
                               {bar.left(), bar.bottom() + 1 + kGap},
                               {bar.left(), bar.top() - kGap - frame.height()}};
  std::optional<QPoint> best;
  long long bestCovered = 0;
  for (const QPoint& c : candidates) {
    const QPoint at = inside(c);
    const QRect placed(at, frame);
    const QRect covered = placed.intersected(bar);
    const long long area = covered.isEmpty() ? 0 : 1LL * covered.width() * covered.height();
    if (area == 0 && work.contains(placed)) return at;
    if (!best || area < bestCovered) {
      best = at;
      bestCovered = area;
    }
  }
  return *best;
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
