#include "ui/title_tip.h"

#include <QCursor>
#include <QLabel>
#include <QTimer>
#include <QToolTip>
#include <algorithm>

#include "platform/window_tracking.h"

namespace kavo {

namespace {
constexpr int kSettleMs = 100;
constexpr int kPauseMs = 700;  // the toolkit's own wait before a tooltip
}  // namespace

TTitleTip::TTitleTip(QLabel* title, platform::WindowTracking& tracking)
    : QObject(title), title_(title), tracking_(tracking) {
  settle_ = new QTimer(this);
  settle_->setSingleShot(true);
  settle_->setInterval(kSettleMs);
  connect(settle_, &QTimer::timeout, this, &TTitleTip::Check);
  pause_ = new QTimer(this);
  pause_->setSingleShot(true);
  pause_->setInterval(kPauseMs);
  connect(pause_, &QTimer::timeout, this, [this] {
    if (!active_ || !OverText() || title_->toolTip().isEmpty()) return;
    QToolTip::showText(QCursor::pos(), title_->toolTip(), title_);
    shown_ = true;
  });
}

void TTitleTip::SetActive(bool active) {
  if (active == active_) return;
  active_ = active;
  if (active_) {
    Watch();
  } else {
    settle_->stop();
    pause_->stop();
    shown_ = false;
  }
}

void TTitleTip::PointerMoved() {
  if (active_ && !settle_->isActive()) settle_->start();
}

void TTitleTip::Watch() {
  if (!tracking_.WatchPointerMotion()) active_ = false;  // the desktop cannot tell
}

void TTitleTip::Check() {
  if (!active_) return;
  if (OverText()) {
    if (!shown_ && !pause_->isActive()) pause_->start();
  } else {
    pause_->stop();
    if (shown_) QToolTip::hideText();
    shown_ = false;
  }
  Watch();
}

bool TTitleTip::OverText() const {
  if (!title_->isVisible() || title_->text().isEmpty()) return false;
  const int width =
      std::min(title_->width(), title_->fontMetrics().horizontalAdvance(title_->text()));
  const QRect box(title_->mapToGlobal(QPoint(0, 0)), QSize(width, title_->height()));
  return box.contains(QCursor::pos());
}

}  // namespace kavo
