#pragma once
// Where the bar stands and how large it is: its place in screen pixels (what the settings file
// keeps), its size in device-independent pixels, kept where it can be reached on the screens
// there are, and what of it goes back to the settings file.

#include <QList>
#include <QPoint>
#include <QRect>
#include <optional>

#include "settings/bar_settings.h"

class QWidget;

namespace kavo {

class TBarPlacement {
 public:
  // The smallest bar: both squares of the title strip and, below the strip, a button area as
  // high as a square, where resize mode can still be started.
  static constexpr int kMinWidth = 40;
  static constexpr int kMinHeight = 44;
  // The largest bar side kept from the settings file where the desktop is smaller: a bar never
  // shrinks because a monitor was missing at start, yet a wild value cannot claim gigabytes.
  static constexpr int kMaxSide = 4096;

  // compositorPlaces: the desktop places windows, and the bar never learns its place.
  TBarPlacement(QWidget& window, int stripHeight, bool compositorPlaces);

  int Left() const;
  int Top() const;
  // The user's place and size: what the settings file keeps.
  void SetBounds(int left, int top, int width, int height);
  // The bar changes its size only through here.
  void SetGeometry(const QRect& rect);

  // The place and size the settings file has, the bar put where it can be reached.
  void Restore(const BarSettings& settings);
  // The place and size for the settings file; a place the file cannot hold moves the bar.
  void Store(BarSettings& settings);
  // The title strip stays on a screen and the size between the smallest one that can be
  // grabbed and a sane bound.
  void KeepReachable();
  // After the screens changed: the bar goes back to the place the user chose where it lies
  // wholly on a screen there, else wholly onto the nearest screen it fits, else with its strip
  // wholly on one. The user's place stays for when the screens allow it again.
  void FollowScreens();
  // The screens' work areas, in device-independent pixels.
  static QList<QRect> WorkAreas();

 private:
  QWidget& window_;
  int stripHeight_;
  bool compositorPlaces_;
  // The place the user chose (or the settings file had), in screen pixels: what the settings
  // file keeps, whatever the screens pushed the bar to.
  QPoint userPlace_;
  // Where the screens last pushed the bar, in device-independent pixels.
  std::optional<QPoint> pushedTo_;
};

}  // namespace kavo
