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
#include "ui/button_bar.h"

class QWidget;

namespace kavo {

class TWindowShaper : public QObject {
  Q_OBJECT
 public:
  // strip: the title strip, which always takes presses; stripParts: what draws on it; buttons:
  // the bar's buttons, which take presses with their shadows' reach; opaque: true while the
  // whole window shows and takes presses (resize mode). The shapes follow the buttons.
  TWindowShaper(QWidget& window, platform::WindowShell& shell, QWidget* strip,
                std::vector<QWidget*> stripParts, const TButtonBar& buttons,
                std::function<bool()> opaque);

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
  QWidget* strip_;
  std::vector<QWidget*> stripParts_;
  const TButtonBar& buttons_;
  std::function<bool()> opaque_;
  QTimer* timer_;
  bool composited_ = true;
};

}  // namespace kavo
