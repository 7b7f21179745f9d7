#include "platform/kde/plasma_window_list.h"

#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include <cstring>

#include "platform/wayland/connection.h"

extern "C" {
#include "fake-input-client.h"
#include "idle-client.h"
#include "plasma-window-management-client.h"
}

namespace kavo::platform::kde {
namespace {

// Each of these takes whatever an event brings and does nothing with it.
constexpr auto kIgnore = [](auto...) {};

// The compositor's keymap, as text; nothing when it cannot be read.
std::optional<std::string> ReadKeymap(std::uint32_t format, int fd, std::uint32_t size) {
  std::optional<std::string> text;
  if (format == WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1 && size > 0) {
    void* map = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    if (map != MAP_FAILED) {
      text.emplace(static_cast<const char*>(map), ::strnlen(static_cast<const char*>(map), size));
      ::munmap(map, size);
    }
  }
  ::close(fd);
  return text;
}

}  // namespace

void PlasmaWindowList::OnGlobal(void* data, wl_registry* registry, std::uint32_t name,
                                const char* interface, std::uint32_t version) {
  auto* self = static_cast<PlasmaWindowList*>(data);
  const auto is = [&](const wl_interface& wanted) {
    return std::strcmp(interface, wanted.name) == 0;
  };
  const auto bind = [&](const wl_interface& wanted, std::uint32_t highest) {
    return wl_registry_bind(registry, name, &wanted, std::min(version, highest));
  };
  if (std::strcmp(interface, "org_kde_plasma_shell") == 0) {
    self->plasmaShell_ = true;
  } else if (is(org_kde_plasma_window_management_interface) && version >= 16) {
    self->manager_ = static_cast<org_kde_plasma_window_management*>(
        bind(org_kde_plasma_window_management_interface, 16));
  } else if (is(org_kde_kwin_fake_input_interface) && version >= 4) {
    self->fakeInput_ =
        static_cast<org_kde_kwin_fake_input*>(bind(org_kde_kwin_fake_input_interface, 4));
  } else if (is(ext_idle_notifier_v1_interface)) {
    self->idleNotifier_ =
        static_cast<ext_idle_notifier_v1*>(bind(ext_idle_notifier_v1_interface, 1));
  } else if (is(org_kde_kwin_idle_interface)) {
    self->kdeIdle_ = static_cast<org_kde_kwin_idle*>(bind(org_kde_kwin_idle_interface, 1));
  } else if (is(wl_seat_interface) && !self->seat_) {
    self->seat_ = static_cast<wl_seat*>(bind(wl_seat_interface, 5));
  }
}

std::unique_ptr<PlasmaWindowList> PlasmaWindowList::Connect(Offer& offer) {
  offer = Offer::None;
  std::unique_ptr<PlasmaWindowList> list(new PlasmaWindowList);
  list->display_ = wl_display_connect(nullptr);
  if (!list->display_) return nullptr;
  static const wl_registry_listener registryListener = {OnGlobal, kIgnore};
  list->registry_ = wl_display_get_registry(list->display_);
  wl_registry_add_listener(list->registry_, &registryListener, list.get());
  wl_display_roundtrip(list->display_);
  if (!list->plasmaShell_) return nullptr;
  if (!list->manager_ || !list->fakeInput_ || !list->seat_) {
    offer = Offer::Unauthorized;
    return nullptr;
  }
  offer = Offer::All;

  static const org_kde_plasma_window_management_listener managerListener = {
      .show_desktop_changed = kIgnore,
      // A client of this version hears of each window by id and uuid.
      .window = kIgnore,
      .stacking_order_changed = kIgnore,
      .stacking_order_uuid_changed = kIgnore,
      .window_with_uuid =
          [](void* d, org_kde_plasma_window_management* manager, std::uint32_t id,
             const char* uuid) {
            auto* self = static_cast<PlasmaWindowList*>(d);
            if (self->entries_.count(id) == 0) {
              self->Add(id, org_kde_plasma_window_management_get_window_by_uuid(manager, uuid));
            }
          },
  };
  org_kde_plasma_window_management_add_listener(list->manager_, &managerListener, list.get());

  // The session's keymap reaches a keyboard of this connection, and each change of it after.
  static const wl_keyboard_listener keyboardListener = {
      .keymap =
          [](void* d, wl_keyboard*, std::uint32_t format, int fd, std::uint32_t size) {
            auto* self = static_cast<PlasmaWindowList*>(d);
            if (const auto text = ReadKeymap(format, fd, size)) {
              if (auto keys = wayland::LayoutKeys::FromKeymap(*text)) self->layout_ = *keys;
            }
          },
      .enter = kIgnore,
      .leave = kIgnore,
      .key = kIgnore,
      .modifiers = kIgnore,
      .repeat_info = [](void* d, wl_keyboard*, std::int32_t rate,
                        std::int32_t) { static_cast<PlasmaWindowList*>(d)->repeatRate_ = rate; },
  };
  static const wl_seat_listener seatListener = {
      .capabilities =
          [](void* d, wl_seat* seat, std::uint32_t capabilities) {
            auto* self = static_cast<PlasmaWindowList*>(d);
            if ((capabilities & WL_SEAT_CAPABILITY_KEYBOARD) && !self->keyboard_) {
              self->keyboard_ = wl_seat_get_keyboard(seat);
              wl_keyboard_add_listener(self->keyboard_, &keyboardListener, self);
            }
          },
      .name = kIgnore,
  };
  wl_seat_add_listener(list->seat_, &seatListener, list.get());

  // KWin asks the user nothing here (5.27); the fake input's device joins the seat, which then
  // has a keyboard, and stays for the bar's lifetime.
  org_kde_kwin_fake_input_authenticate(list->fakeInput_, "Kavo",
                                       "Types the keyboard shortcuts of its buttons");
  PlasmaWindowList* raw = list.get();
  list->typer_ = std::make_unique<FakeInputTypist>(list->display_, list->fakeInput_,
                                                   [raw] { return raw->Layout(); });
  // Rounds: the windows and the seat are announced, then their states and the keymap come.
  for (int round = 0; round < 3; ++round) wl_display_roundtrip(list->display_);
  return list;
}

void PlasmaWindowList::Add(std::uint32_t id, org_kde_plasma_window* proxy) {
  static const org_kde_plasma_window_listener listener = {
      .title_changed = [](void* d, org_kde_plasma_window*,
                          const char* title) { static_cast<Entry*>(d)->window.title = title; },
      .app_id_changed = [](void* d, org_kde_plasma_window*,
                           const char* appId) { static_cast<Entry*>(d)->window.appId = appId; },
      .state_changed =
          [](void* d, org_kde_plasma_window*, std::uint32_t flags) {
            static_cast<Entry*>(d)->window.activated =
                (flags & ORG_KDE_PLASMA_WINDOW_MANAGEMENT_STATE_ACTIVE) != 0;
          },
      .virtual_desktop_changed = kIgnore,
      .themed_icon_name_changed = kIgnore,
      .unmapped =
          [](void* d, org_kde_plasma_window*) {
            auto* entry = static_cast<Entry*>(d);
            entry->list->Remove(entry->id);
          },
      .initial_state = [](void* d,
                          org_kde_plasma_window*) { static_cast<Entry*>(d)->ready = true; },
      .parent_window = kIgnore,
      .geometry =
          [](void* d, org_kde_plasma_window*, std::int32_t x, std::int32_t y, std::uint32_t width,
             std::uint32_t height) {
            Window& window = static_cast<Entry*>(d)->window;
            window.x = x;
            window.y = y;
            window.width = static_cast<int>(width);
            window.height = static_cast<int>(height);
          },
      .icon_changed = kIgnore,
      .pid_changed =
          [](void* d, org_kde_plasma_window*, std::uint32_t pid) {
            auto* entry = static_cast<Entry*>(d);
            entry->window.pid = pid;
            entry->window.own = static_cast<pid_t>(pid) == ::getpid();
          },
      .virtual_desktop_entered = kIgnore,
      .virtual_desktop_left = kIgnore,
      .application_menu = kIgnore,
      .activity_entered = kIgnore,
      .activity_left = kIgnore,
      .resource_name_changed = kIgnore,
  };
  auto entry = std::make_unique<Entry>(Entry{this, proxy, id, nextHandle_++, false, {}});
  org_kde_plasma_window_add_listener(proxy, &listener, entry.get());
  entries_[id] = std::move(entry);
}

void PlasmaWindowList::Remove(std::uint32_t id) {
  const auto it = entries_.find(id);
  if (it == entries_.end()) return;
  org_kde_plasma_window_destroy(it->second->proxy);
  entries_.erase(it);
}

PlasmaWindowList::~PlasmaWindowList() {
  if (!display_) return;
  typer_.reset();  // its keys come up first
  if (display_) wl_display_roundtrip(display_);
  for (auto& [id, entry] : entries_) org_kde_plasma_window_destroy(entry->proxy);
  entries_.clear();
  if (fakeInput_) org_kde_kwin_fake_input_destroy(fakeInput_);
  if (manager_) org_kde_plasma_window_management_destroy(manager_);
  if (idleNotifier_) ext_idle_notifier_v1_destroy(idleNotifier_);
  if (kdeIdle_) wl_proxy_destroy(reinterpret_cast<wl_proxy*>(kdeIdle_));
  if (keyboard_) wl_keyboard_destroy(keyboard_);
  if (seat_) wl_seat_destroy(seat_);
  if (registry_) wl_registry_destroy(registry_);
  wl_display_disconnect(display_);
}

const wayland::LayoutKeys* PlasmaWindowList::Layout() {
  // The default layout of the system's XKB data stands in until the compositor sends its own.
  if (!layout_) layout_ = wayland::LayoutKeys::FromNames("");
  return layout_ ? &*layout_ : nullptr;
}

std::uint64_t PlasmaWindowList::Activated() const {
  for (const auto& [id, entry] : entries_) {
    if (entry->ready && entry->window.activated) return entry->handle;
  }
  return 0;
}

const PlasmaWindowList::Window* PlasmaWindowList::Find(std::uint64_t handle) const {
  for (const auto& [id, entry] : entries_) {
    if (entry->ready && entry->handle == handle) return &entry->window;
  }
  return nullptr;
}

std::vector<std::uint64_t> PlasmaWindowList::Handles() const {
  std::vector<std::uint64_t> handles;
  for (const auto& [id, entry] : entries_) {
    if (entry->ready) handles.push_back(entry->handle);
  }
  return handles;
}

// The bar's panel never takes the focus: a window the list shows active still is, and asking
// again would only cost a round trip before the keys.
bool PlasmaWindowList::Activate(std::uint64_t handle, int timeoutMs) {
  ReadNews();
  if (Activated() == handle) return true;
  for (const auto& [id, entry] : entries_) {
    if (entry->handle != handle) continue;
    org_kde_plasma_window_set_state(entry->proxy, ORG_KDE_PLASMA_WINDOW_MANAGEMENT_STATE_ACTIVE,
                                    ORG_KDE_PLASMA_WINDOW_MANAGEMENT_STATE_ACTIVE);
    return wayland::AwaitEffect(display_, timeoutMs, [&] { return Activated() == handle; });
  }
  return false;
}

// KWin repeats a held key within itself, where the key repeats, and takes each repeat for the
// user's activity: while such a key is down the seat never stays idle, and the idle notices
// cannot tell a stroke from the repeats. The keys then stay down until the bar lets go of them.
bool PlasmaWindowList::IdleTellsStrokes() const {
  return repeatRate_ <= 0 || !typer_ || !typer_->HoldsRepeatingKey();
}

std::unique_ptr<wayland::IdleWatch> PlasmaWindowList::WatchIdle(std::uint32_t idleMs) {
  auto watch = wayland::IdleWatch::Start(idleNotifier_, kdeIdle_, seat_, idleMs);
  wl_display_flush(display_);
  return watch;
}

int PlasmaWindowList::Descriptor() const {
  return wl_display_get_fd(display_);
}

void PlasmaWindowList::ReadNews() {
  wayland::Dispatch(display_, 0);
}

}  // namespace kavo::platform::kde
