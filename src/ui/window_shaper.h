#pragma once
// What of the bar's window takes presses and what shows, following its content and the
// compositor: presses on see-through pixels go to the window below, and where no compositor
// blends see-through pixels (they would show black) the window is cut to what it draws.

#include <QObject>
#include <QRect>
#include <QTimer>
#include <functional>
#include <vector>

#include "platform/window_shell.h"

class QWidget;

namespace kavo {

class TWindowShaper : public QObject {
  Q_OBJECT
 public:
  // What the window is made of, asked for at each update.
  struct Parts {
    QWidget* strip = nullptr;  // the title strip, which always takes presses
    // The parts that draw, in the window's stacking order; the strip's first.
    std::function<std::vector<QWidget*>()> drawn;
    // The buttons among them, which take presses with their shadows' reach.
    std::function<std::vector<QWidget*>()> buttons;
    std::function<int()> shadowReach;
    // True while the whole window shows and takes presses (resize mode).
    std::function<bool()> opaque;
  };

  TWindowShaper(QWidget& window, platform::WindowShell& shell, Parts parts);

  // The shapes follow on the event loop's next turn: many changes in one turn make one update.
  void Schedule();
  // A compositor started or stopped.
  void SetComposited(bool composited);
  bool Composited() const { return composited_; }

 private:
  void Update();
  // The pixels the parts draw at least half opaque, in device pixels.
  std::vector<QRect> DrawnShape();

  QWidget& window_;
  platform::WindowShell& shell_;
  Parts parts_;
  QTimer timer_;
  bool composited_ = true;
};

}  // namespace kavo
