#pragma once
// The toplevel windows of a wlroots compositor, as its foreign-toplevel list reports them: each
// with its title, application id and whether it is the activated one; and the request that
// activates one. Keeps its own connection to the compositor, apart from the toolkit's, which
// also carries the virtual keyboard and the idle notices.

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "platform/wayland/idle_watch.h"
#include "platform/wayland/key_typer.h"

struct wl_display;
struct wl_registry;
struct wl_seat;
struct zwlr_foreign_toplevel_manager_v1;
struct zwlr_foreign_toplevel_handle_v1;
struct zwp_virtual_keyboard_manager_v1;
struct org_kde_kwin_idle;
struct ext_idle_notifier_v1;

namespace kavo::platform::wayland {

class ToplevelList {
 public:
  struct Toplevel {
    std::string title;
    std::string appId;
    bool activated = false;
  };

  // Connects to the compositor of WAYLAND_DISPLAY; nullptr when there is none, or when it lacks
  // the foreign-toplevel list (missing then names what is missing).
  static std::unique_ptr<ToplevelList> Connect(std::string& missing);
  ~ToplevelList();
  ToplevelList(const ToplevelList&) = delete;
  ToplevelList& operator=(const ToplevelList&) = delete;

  // Handles are numbers that stay with their window for as long as it lives; 0 is none.
  std::uint64_t Activated() const;
  const Toplevel* Find(std::uint64_t handle) const;

  // Asks the compositor to activate the window, and waits, at most timeoutMs, until it says so.
  bool Activate(std::uint64_t handle, int timeoutMs);

  // The virtual keyboard on this connection, made at the first use; nullptr where the
  // compositor offers none.
  KeyTyper* Typer();
  bool CanMakeKeyboard() const { return keyboards_ != nullptr; }

  // Watches the seat for idleMs of stillness; nullptr where the compositor offers no idle
  // notices.
  std::unique_ptr<IdleWatch> WatchIdle(std::uint32_t idleMs);

  // The descriptor that becomes readable when the compositor has news; ReadNews takes it in.
  int Descriptor() const;
  void ReadNews();

 private:
  ToplevelList() = default;
  bool Dispatch(int timeoutMs);

  struct Entry {
    ToplevelList* list;
    std::uint64_t handle;
    Toplevel pending;
    Toplevel shown;
  };
  static void OnGlobal(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
                       std::uint32_t version);
  static void OnToplevel(void* data, zwlr_foreign_toplevel_manager_v1* manager,
                         zwlr_foreign_toplevel_handle_v1* toplevel);

  wl_display* display_ = nullptr;
  wl_registry* registry_ = nullptr;
  wl_seat* seat_ = nullptr;
  zwlr_foreign_toplevel_manager_v1* manager_ = nullptr;
  zwp_virtual_keyboard_manager_v1* keyboards_ = nullptr;
  ext_idle_notifier_v1* idleNotifier_ = nullptr;
  org_kde_kwin_idle* kdeIdle_ = nullptr;
  std::unique_ptr<KeyTyper> typer_;
  std::map<zwlr_foreign_toplevel_handle_v1*, std::unique_ptr<Entry>> entries_;
  // The top bit set: a handle is never taken for a pointer or a small number the toolkit calls
  // one of its own windows by.
  std::uint64_t nextHandle_ = (std::uint64_t{1} << 63) + 1;
};

}  // namespace kavo::platform::wayland
