#include "ui/bar_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include "ui/bar_geometry.h"
#include "ui/screen_geometry.h"

namespace kavo {

int TBarPlacement::Left() const {
  return ToScreenPixels(window_.pos(), window_.devicePixelRatioF()).x();
}

int TBarPlacement::Top() const {
  return ToScreenPixels(window_.pos(), window_.devicePixelRatioF()).y();
}

void TBarPlacement::SetBounds(int left, int top, int width, int height) {
  SetGeometry(QRect(FromScreenPixels(QPoint(left, top), window_.devicePixelRatioF()),
                    QSize(width, height)));
}

// Where the compositor places windows, one whose smallest and largest sizes are the same is
// taken for a dialog and floats: a tiling compositor would otherwise stretch the bar over half
// the screen.
void TBarPlacement::SetGeometry(const QRect& rect) {
  if (compositorPlaces_) window_.setFixedSize(rect.size());
  window_.setGeometry(rect);
}

void TBarPlacement::Restore(const BarSettings& s) {
  storedPlace_ = QPoint(s.Left, s.Top);
  // A place near the integer limits would wrap the rectangles that follow.
  SetBounds(BoundedCoordinate(s.Left), BoundedCoordinate(s.Top), s.Width, s.Height);
  KeepReachable();
}

void TBarPlacement::Store(BarSettings& s) {
  QPoint place = storedPlace_;
  // Where the compositor places windows the stored place stays, for the X11 session that shares
  // the file.
  if (!compositorPlaces_) {
    const QPoint now(Left(), Top());
    place = StorablePlace(now);
    if (place != now) SetBounds(place.x(), place.y(), window_.width(), window_.height());
  }
  s.Top = place.y();
  s.Left = place.x();
  s.Height = window_.height();
  s.Width = window_.width();
}

QList<QRect> TBarPlacement::WorkAreas() {
  QList<QRect> areas;
  for (const QScreen* screen : QGuiApplication::screens()) areas << screen->availableGeometry();
  return areas;
}

// A bar that cannot be seen or grabbed cannot be moved back. Screens that are not there (none
// active, a monitor unplugged for a moment) never shrink it.
void TBarPlacement::KeepReachable(bool wholeStrip) {
  const QSize size =
      window_.size().expandedTo(QSize(kMinWidth, kMinHeight)).boundedTo(QSize(kMaxSide, kMaxSide));
  const QPoint at =
      ReachablePosition(QRect(window_.pos(), size), stripHeight_, WorkAreas(), wholeStrip);
  if (QRect(at, size) != window_.geometry()) SetGeometry(QRect(at, size));
}

}  // namespace kavo
