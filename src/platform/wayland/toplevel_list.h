#pragma once
// The toplevel windows of a wlroots compositor, as its foreign-toplevel list reports them: each
// with its title, application id and whether it is the activated one; and the request that
// activates one. Keeps its own connection to the compositor, apart from the toolkit's, which
// also carries the virtual keyboard and the idle notices.

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "platform/wayland/key_typer.h"
#include "platform/wayland/window_source.h"

struct wl_display;
struct wl_registry;
struct wl_seat;
struct zwlr_foreign_toplevel_manager_v1;
struct zwlr_foreign_toplevel_handle_v1;
struct zwp_virtual_keyboard_manager_v1;
struct org_kde_kwin_idle;
struct ext_idle_notifier_v1;

namespace kavo::platform::wayland {

class ToplevelList final : public WindowSource {
 public:
  // Connects to the compositor of WAYLAND_DISPLAY; nullptr when there is none, or when it lacks
  // the foreign-toplevel list (missing then names what is missing).
  static std::unique_ptr<ToplevelList> Connect(std::string& missing);
  ~ToplevelList() override;
  ToplevelList(const ToplevelList&) = delete;
  ToplevelList& operator=(const ToplevelList&) = delete;

  std::uint64_t Activated() const override;
  const Window* Find(std::uint64_t handle) const override;
  bool Activate(std::uint64_t handle, int timeoutMs) override;

  // A virtual keyboard on this connection.
  Typist* Typer() override;
  std::string NoTyperReason() const override;
  bool CanMakeKeyboard() const { return keyboards_ != nullptr; }
  std::unique_ptr<IdleWatch> WatchIdle(std::uint32_t idleMs) override;

  int Descriptor() const override;
  void ReadNews() override;

 private:
  ToplevelList() = default;

  struct Entry {
    ToplevelList* list;
    std::uint64_t handle;
    Window pending;
    Window shown;
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
  std::uint64_t nextHandle_ = (std::uint64_t{1} << 63) + 1;
};

}  // namespace kavo::platform::wayland
