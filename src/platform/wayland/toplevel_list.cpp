#include "platform/wayland/toplevel_list.h"

#include <unistd.h>
#include <wayland-client.h>

#include <cstring>

#include "platform/wayland/connection.h"

extern "C" {
#include "foreign-toplevel-client.h"
#include "idle-client.h"
#include "virtual-keyboard-client.h"
}

namespace kavo::platform::wayland {
namespace {

// The application id the bar's own windows carry (the desktop entry's name).
constexpr char kOwnAppId[] = "org.kavo.kavo";

void Ignore(void*, zwlr_foreign_toplevel_handle_v1*, wl_output*) {}
void IgnoreParent(void*, zwlr_foreign_toplevel_handle_v1*, zwlr_foreign_toplevel_handle_v1*) {}
void IgnoreRemoval(void*, wl_registry*, std::uint32_t) {}
void IgnoreFinished(void*, zwlr_foreign_toplevel_manager_v1*) {}

}  // namespace

void ToplevelList::OnGlobal(void* data, wl_registry* registry, std::uint32_t name,
                            const char* interface, std::uint32_t version) {
  auto* self = static_cast<ToplevelList*>(data);
  if (std::strcmp(interface, zwlr_foreign_toplevel_manager_v1_interface.name) == 0) {
    self->manager_ = static_cast<zwlr_foreign_toplevel_manager_v1*>(wl_registry_bind(
        registry, name, &zwlr_foreign_toplevel_manager_v1_interface, std::min(version, 3u)));
  } else if (std::strcmp(interface, zwp_virtual_keyboard_manager_v1_interface.name) == 0) {
    self->keyboards_ = static_cast<zwp_virtual_keyboard_manager_v1*>(
        wl_registry_bind(registry, name, &zwp_virtual_keyboard_manager_v1_interface, 1));
  } else if (std::strcmp(interface, ext_idle_notifier_v1_interface.name) == 0) {
    self->idleNotifier_ = static_cast<ext_idle_notifier_v1*>(
        wl_registry_bind(registry, name, &ext_idle_notifier_v1_interface, 1));
  } else if (std::strcmp(interface, org_kde_kwin_idle_interface.name) == 0) {
    self->kdeIdle_ = static_cast<org_kde_kwin_idle*>(
        wl_registry_bind(registry, name, &org_kde_kwin_idle_interface, 1));
  } else if (std::strcmp(interface, wl_seat_interface.name) == 0 && !self->seat_) {
    self->seat_ = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
  }
}

void ToplevelList::OnToplevel(void* data, zwlr_foreign_toplevel_manager_v1*,
                              zwlr_foreign_toplevel_handle_v1* toplevel) {
  auto* self = static_cast<ToplevelList*>(data);
  static const zwlr_foreign_toplevel_handle_v1_listener listener = {
      .title = [](void* d, zwlr_foreign_toplevel_handle_v1*,
                  const char* title) { static_cast<Entry*>(d)->pending.title = title; },
      .app_id = [](void* d, zwlr_foreign_toplevel_handle_v1*,
                   const char* id) { static_cast<Entry*>(d)->pending.appId = id; },
      .output_enter = Ignore,
      .output_leave = Ignore,
      .state =
          [](void* d, zwlr_foreign_toplevel_handle_v1*, wl_array* states) {
            bool activated = false;
            const auto* state = static_cast<const std::uint32_t*>(states->data);
            for (std::size_t i = 0; i < states->size / sizeof *state; ++i) {
              activated |= state[i] == ZWLR_FOREIGN_TOPLEVEL_HANDLE_V1_STATE_ACTIVATED;
            }
            static_cast<Entry*>(d)->pending.activated = activated;
          },
      // A window's news count once the compositor says they are complete.
      .done =
          [](void* d, zwlr_foreign_toplevel_handle_v1*) {
            // The protocol names no process: the bar's own windows are known by their id.
            Entry& entry = *static_cast<Entry*>(d);
            entry.pending.own = entry.pending.appId == kOwnAppId;
            entry.pending.pid = entry.pending.own ? ::getpid() : 0;
            entry.shown = entry.pending;
          },
      .closed =
          [](void* d, zwlr_foreign_toplevel_handle_v1* handle) {
            ToplevelList* list = static_cast<Entry*>(d)->list;
            zwlr_foreign_toplevel_handle_v1_destroy(handle);
            list->entries_.erase(handle);
          },
      .parent = IgnoreParent,
  };
  auto entry = std::make_unique<Entry>(Entry{self, self->nextHandle_++, {}, {}});
  zwlr_foreign_toplevel_handle_v1_add_listener(toplevel, &listener, entry.get());
  self->entries_[toplevel] = std::move(entry);
}

std::unique_ptr<ToplevelList> ToplevelList::Connect(std::string& missing) {
  std::unique_ptr<ToplevelList> list(new ToplevelList);
  list->display_ = wl_display_connect(nullptr);
  if (!list->display_) {
    missing = "a Wayland compositor";
    return nullptr;
  }
  static const wl_registry_listener registryListener = {OnGlobal, IgnoreRemoval};
  list->registry_ = wl_display_get_registry(list->display_);
  wl_registry_add_listener(list->registry_, &registryListener, list.get());
  wl_display_roundtrip(list->display_);
  if (!list->manager_ || !list->seat_) {
    missing = list->manager_ ? "wl_seat" : "zwlr_foreign_toplevel_manager_v1";
    return nullptr;
  }
  static const zwlr_foreign_toplevel_manager_v1_listener managerListener = {OnToplevel,
                                                                            IgnoreFinished};
  zwlr_foreign_toplevel_manager_v1_add_listener(list->manager_, &managerListener, list.get());
  // The first round announces the windows, the second brings their titles and states.
  wl_display_roundtrip(list->display_);
  wl_display_roundtrip(list->display_);
  return list;
}

ToplevelList::~ToplevelList() {
  if (!display_) return;
  typer_.reset();
  if (keyboards_) wl_proxy_destroy(reinterpret_cast<wl_proxy*>(keyboards_));
  if (idleNotifier_) ext_idle_notifier_v1_destroy(idleNotifier_);
  if (kdeIdle_) wl_proxy_destroy(reinterpret_cast<wl_proxy*>(kdeIdle_));
  for (auto& [toplevel, entry] : entries_) zwlr_foreign_toplevel_handle_v1_destroy(toplevel);
  if (manager_) zwlr_foreign_toplevel_manager_v1_destroy(manager_);
  if (seat_) wl_seat_destroy(seat_);
  if (registry_) wl_registry_destroy(registry_);
  wl_display_disconnect(display_);
}

std::uint64_t ToplevelList::Activated() const {
  for (const auto& [toplevel, entry] : entries_) {
    if (entry->shown.activated) return entry->handle;
  }
  return 0;
}

const ToplevelList::Window* ToplevelList::Find(std::uint64_t handle) const {
  for (const auto& [toplevel, entry] : entries_) {
    if (entry->handle == handle) return &entry->shown;
  }
  return nullptr;
}

bool ToplevelList::Activate(std::uint64_t handle, int timeoutMs) {
  zwlr_foreign_toplevel_handle_v1* target = nullptr;
  for (const auto& [toplevel, entry] : entries_) {
    if (entry->handle == handle) target = toplevel;
  }
  if (!target) return false;
  // Asked even when the list says the window is active: a click gave the bar the focus a moment
  // ago, which this connection may not have heard of yet.
  zwlr_foreign_toplevel_handle_v1_activate(target, seat_);
  return AwaitEffect(display_, timeoutMs, [&] { return Activated() == handle; });
}

Typist* ToplevelList::Typer() {
  if (!typer_ && keyboards_) typer_ = std::make_unique<KeyTyper>(display_, seat_, keyboards_);
  return typer_.get();
}

std::string ToplevelList::NoTyperReason() const {
  return "The compositor gave the bar no virtual keyboard to type with.";
}

std::unique_ptr<IdleWatch> ToplevelList::WatchIdle(std::uint32_t idleMs) {
  auto watch = IdleWatch::Start(idleNotifier_, kdeIdle_, seat_, idleMs);
  wl_display_flush(display_);
  return watch;
}

int ToplevelList::Descriptor() const {
  return wl_display_get_fd(display_);
}

void ToplevelList::ReadNews() {
  Dispatch(display_, 0);
}

}  // namespace kavo::platform::wayland
