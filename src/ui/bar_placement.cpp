#include "ui/bar_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include "ui/bar_geometry.h"
#include "ui/screen_geometry.h"

namespace kavo {

TBarPlacement::TBarPlacement(QWidget& window, int stripHeight, bool compositorPlaces)
    : window_(window), stripHeight_(stripHeight), compositorPlaces_(compositorPlaces) {}

int TBarPlacement::Left() const {
  return ToScreenPixels(window_.pos(), window_.devicePixelRatioF()).x();
}

int TBarPlacement::Top() const {
  return ToScreenPixels(window_.pos(), window_.devicePixelRatioF()).y();
}

void TBarPlacement::SetBounds(int left, int top, int width, int height) {
  userPlace_ = QPoint(left, top);
  pushedTo_.reset();
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
  // A place near the integer limits would wrap the rectangles that follow.
  SetBounds(BoundedCoordinate(s.Left), BoundedCoordinate(s.Top), s.Width, s.Height);
  KeepReachable();
  // A stored place on no screen at the start is no place the user can have seen: where the bar
  // was brought to is the user's from here on (a place it cannot hold would otherwise be written
  // back for ever).
  if (!compositorPlaces_) userPlace_ = QPoint(Left(), Top());
}

// Where the compositor places windows the stored place stays, for the X11 session that shares
// the file; elsewhere the user's place, which a bar left of or above the origin cannot keep.
void TBarPlacement::Store(BarSettings& s) {
  // Moved since by someone other than the screens (the window manager, for the user): there.
  const QPoint now(Left(), Top());
  if (!compositorPlaces_ && (!pushedTo_ || window_.pos() != *pushedTo_)) userPlace_ = now;
  const QPoint place = StorablePlace(userPlace_);
  if (place != userPlace_ && !compositorPlaces_ && now == userPlace_) {
    SetBounds(place.x(), place.y(), window_.width(), window_.height());
  }
  userPlace_ = place;
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
void TBarPlacement::KeepReachable() {
  const QSize size =
      window_.size().expandedTo(QSize(kMinWidth, kMinHeight)).boundedTo(QSize(kMaxSide, kMaxSide));
  const QPoint at = ReachablePosition(QRect(window_.pos(), size), stripHeight_, WorkAreas());
  if (QRect(at, size) == window_.geometry()) return;
  pushedTo_ = at;
  SetGeometry(QRect(at, size));
}

void TBarPlacement::FollowScreens() {
  const QPoint user = FromScreenPixels(userPlace_, window_.devicePixelRatioF());
  const QPoint at = PlaceOnScreens(QRect(user, window_.size()), stripHeight_, WorkAreas());
  if (at == window_.pos()) return;
  pushedTo_ = at;
  SetGeometry(QRect(at, window_.size()));
}

}  // namespace kavo
