#include "ui/window_shaper.h"

#include <QImage>
#include <QWidget>
#include <cmath>

#include "ui/alpha_shape.h"
#include "ui/bar_geometry.h"
#include "ui/deferred.h"
#include "ui/screen_geometry.h"
#include "widgets/drop_shadow.h"

namespace kavo {
namespace {

std::vector<platform::Rect> ToShell(const std::vector<QRect>& rects) {
  std::vector<platform::Rect> out;
  out.reserve(rects.size());
  for (const QRect& r : rects) out.push_back({r.x(), r.y(), r.width(), r.height()});
  return out;
}

}  // namespace

TWindowShaper::TWindowShaper(QWidget& window, platform::WindowShell& shell, QWidget* strip,
                             std::vector<QWidget*> stripParts, const TButtonBar& buttons,
                             std::function<bool()> opaque)
    : QObject(&window),
      window_(window),
      shell_(shell),
      strip_(strip),
      stripParts_(std::move(stripParts)),
      buttons_(buttons),
      opaque_(std::move(opaque)),
      timer_(Deferred(this, [this] { Update(); })) {
  connect(&buttons_, &TButtonBar::Changed, this, &TWindowShaper::Schedule);
}

void TWindowShaper::Schedule() {
  if (window_.internalWinId() != 0) timer_->start();
}

void TWindowShaper::SetComposited(bool composited) {
  composited_ = composited;
  Schedule();
}

// The bar takes presses only on the title strip and on the buttons with their shadows.
void TWindowShaper::Update() {
  const WId id = window_.internalWinId();
  if (id == 0) return;
  const auto window = static_cast<platform::WindowHandle>(id);
  if (opaque_()) {  // the whole window shows and takes presses
    shell_.SetVisibleShape(window, {});
    shell_.SetInputShape(window, {});
    return;
  }
  // The buttons share a parent: its offset is found once, not once a button.
  std::vector<QRect> buttons;
  const std::vector<TCornerButton*> all = buttons_.Buttons();
  const QPoint offset =
      all.empty() ? QPoint() : all.front()->parentWidget()->mapTo(&window_, QPoint());
  buttons.reserve(all.size());
  for (const QWidget* button : all) buttons.push_back(button->geometry().translated(offset));
  const int reach = buttons_.Look().isShadow ? kDropShadowReach : 0;
  std::vector<QRect> pressable = PressableParts(strip_->geometry(), buttons, reach, window_.rect());
  const double ratio = window_.devicePixelRatioF();
  for (QRect& r : pressable) r = CoveringPixels(r, ratio);
  shell_.SetInputShape(window, ToShell(pressable));
  shell_.SetVisibleShape(window,
                         composited_ ? std::vector<platform::Rect>{} : ToShell(DrawnShape()));
}

// Soft shadows cannot be blended here, so they are left out. Each part is rendered on its own:
// rendering a widget that carries a graphics effect also paints into the window's own backing
// store, which shows as a stray copy of the bar at scale factors other than 1.
std::vector<QRect> TWindowShaper::DrawnShape() {
  const double ratio = window_.devicePixelRatioF();
  QImage image(QSize(std::lround(window_.width() * ratio), std::lround(window_.height() * ratio)),
               QImage::Format_ARGB32_Premultiplied);
  image.setDevicePixelRatio(ratio);
  image.fill(Qt::transparent);
  std::vector<QWidget*> parts = stripParts_;
  for (TCornerButton* button : buttons_.Buttons()) parts.push_back(button);
  for (QWidget* part : parts) {
    if (part->isVisible()) part->render(&image, part->mapTo(&window_, QPoint()), QRegion(), {});
  }
  // Never empty, which would unshape the window: the strip's squares always draw.
  return OpaqueShape(image);
}

}  // namespace kavo
