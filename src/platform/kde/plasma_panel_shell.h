#pragma once
// The bar's window on KDE Plasma: a surface with the panel role, which KWin never activates, not
// when it appears nor when it is clicked (the target keeps the keyboard), keeps above other
// windows and places where the bar asks. Asked of KWin on the toolkit's own connection, where
// the window's surface lives.

#include <QObject>
#include <QPoint>

#include "platform/window_shell.h"

class QWidget;
class QWindow;
struct wl_surface;
struct org_kde_plasma_shell;
struct org_kde_plasma_surface;

namespace kavo::platform::kde {

class PlasmaPanelShell final : public QObject, public ToolkitShell {
 public:
  PlasmaPanelShell();
  ~PlasmaPanelShell() override;

  // The window moves itself: Plasma places a panel where its surface asks.
  bool PlacesWindows() const override { return false; }
  bool ToolkitKnowsPlace() const override { return false; }
  // Panels stand on every virtual desktop.
  void TakeAsMainWindow(WindowHandle window) override;
  std::optional<Margins> FrameExtents(WindowHandle) override { return Margins{}; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Gives the window's surface, when it has one not given yet, the panel role at its place.
  void Decorate();
  void Place();

  QWidget* widget_ = nullptr;
  QWindow* window_ = nullptr;
  org_kde_plasma_shell* shell_ = nullptr;
  wl_surface* decorated_ = nullptr;
  org_kde_plasma_surface* surface_ = nullptr;
  QPoint placed_{-1, -1};
};

}  // namespace kavo::platform::kde
