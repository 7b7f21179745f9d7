#pragma once
// The title's tooltip anywhere over the title text's box. Where the bar's window is cut to what
// it draws, the pointer reaches it only over the pixels of a letter; the see-through rest must
// not take presses, so the desktop reports the pointer's moves instead, one at a time.

#include <QObject>

class QLabel;
class QTimer;

namespace kavo {

namespace platform {
class WindowTracking;
}

class TTitleTip : public QObject {
  Q_OBJECT
 public:
  TTitleTip(QLabel* title, platform::WindowTracking& tracking);

  // On while the bar shows, cut to what it draws; off, the toolkit's own tooltip does.
  void SetActive(bool active);
  bool Active() const { return active_; }
  // The desktop saw the pointer move.
  void PointerMoved();

 private:
  // Where the pointer is now: over the text, the tooltip comes after the usual pause; away
  // from it, a tooltip of the title goes.
  void Check();
  bool OverText() const;
  void Watch();

  QLabel* title_;
  platform::WindowTracking& tracking_;
  bool active_ = false;
  bool shown_ = false;
  QTimer* settle_;  // a moving pointer is looked at seldom
  QTimer* pause_;   // the pause before a tooltip shows
};

}  // namespace kavo
