#include "platform/kde/plasma_panel_shell.h"

#include <qpa/qplatformnativeinterface.h>
#include <wayland-client.h>

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QWidget>
#include <QWindow>
#include <cstring>

extern "C" {
#include "plasma-shell-client.h"
}

namespace kavo::platform::kde {
namespace {

void* Native(const char* resource, QWindow* window = nullptr) {
  QPlatformNativeInterface* native = QGuiApplication::platformNativeInterface();
  if (!native) return nullptr;
  return window ? native->nativeResourceForWindow(resource, window)
                : native->nativeResourceForIntegration(resource);
}

// Binds Plasma's shell on the toolkit's connection, through a queue of its own so that the
// toolkit's reading of the connection never sees these events.
org_kde_plasma_shell* BindShell() {
  auto* display = static_cast<wl_display*>(Native("wl_display"));
  if (!display) return nullptr;
  wl_event_queue* queue = wl_display_create_queue(display);
  auto* wrapped = static_cast<wl_display*>(wl_proxy_create_wrapper(display));
  wl_proxy_set_queue(reinterpret_cast<wl_proxy*>(wrapped), queue);
  wl_registry* registry = wl_display_get_registry(wrapped);
  struct Found {
    wl_registry* registry;
    org_kde_plasma_shell* shell = nullptr;
  } found{registry};
  static const wl_registry_listener listener = {
      [](void* data, wl_registry* registry, std::uint32_t name, const char* interface,
         std::uint32_t) {
        auto* found = static_cast<Found*>(data);
        if (std::strcmp(interface, org_kde_plasma_shell_interface.name) == 0 && !found->shell) {
          found->shell = static_cast<org_kde_plasma_shell*>(
              wl_registry_bind(registry, name, &org_kde_plasma_shell_interface, 1));
        }
      },
      [](void*, wl_registry*, std::uint32_t) {}};
  wl_registry_add_listener(registry, &listener, &found);
  wl_display_roundtrip_queue(display, queue);
  wl_registry_destroy(registry);
  wl_proxy_wrapper_destroy(wrapped);
  // The shell sends no event to version 1: it can go back to the toolkit's queue.
  if (found.shell) wl_proxy_set_queue(reinterpret_cast<wl_proxy*>(found.shell), nullptr);
  wl_event_queue_destroy(queue);
  return found.shell;
}

}  // namespace

PlasmaPanelShell::PlasmaPanelShell() : ToolkitShell(false), shell_(BindShell()) {}

PlasmaPanelShell::~PlasmaPanelShell() {
  if (surface_) org_kde_plasma_surface_destroy(surface_);
  if (shell_) org_kde_plasma_shell_destroy(shell_);
}

void PlasmaPanelShell::TakeAsMainWindow(WindowHandle window) {
  for (QWidget* candidate : QApplication::topLevelWidgets()) {
    if (static_cast<WindowHandle>(candidate->winId()) == window) widget_ = candidate;
  }
  if (!widget_) return;
  window_ = widget_->windowHandle();
  window_->installEventFilter(this);
  widget_->installEventFilter(this);
  Decorate();
}

// The toolkit makes the window's surface anew each time the window is shown after hiding.
// The window's place is the bar's: Wayland tells a client nothing of its place, and the toolkit
// takes a shown window to be at the origin, which is no news from the compositor.
bool PlasmaPanelShell::eventFilter(QObject* watched, QEvent* event) {
  if (watched == window_ && (event->type() == QEvent::Show || event->type() == QEvent::Expose)) {
    Decorate();
  }
  if (watched == widget_ && event->type() == QEvent::Show) Place();
  if (watched == widget_ && event->type() == QEvent::Move) {
    if (!event->spontaneous()) {
      Place();
    } else if (surface_ && widget_->pos() != placed_) {
      widget_->move(placed_);
    }
  }
  return false;
}

void PlasmaPanelShell::Decorate() {
  auto* surface = static_cast<wl_surface*>(Native("surface", window_));
  if (!shell_ || !surface || surface == decorated_) return;
  if (surface_) org_kde_plasma_surface_destroy(surface_);
  decorated_ = surface;
  surface_ = org_kde_plasma_shell_get_surface(shell_, surface);
  org_kde_plasma_surface_set_role(surface_, ORG_KDE_PLASMA_SURFACE_ROLE_PANEL);
  org_kde_plasma_surface_set_panel_behavior(surface_,
                                            ORG_KDE_PLASMA_SURFACE_PANEL_BEHAVIOR_ALWAYS_VISIBLE);
  placed_ = {-1, -1};
  Place();
}

void PlasmaPanelShell::Place() {
  if (!surface_ || widget_->pos() == placed_) return;
  placed_ = widget_->pos();
  org_kde_plasma_surface_set_position(surface_, placed_.x(), placed_.y());
  wl_surface_commit(decorated_);
  wl_display_flush(static_cast<wl_display*>(Native("wl_display")));
}

}  // namespace kavo::platform::kde
