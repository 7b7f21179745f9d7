#include "platform/wayland/wayland_desktop.h"

#include <optional>

#include "platform/wayland/toplevel_desktop.h"
#include "platform/wayland/toplevel_list.h"

namespace kavo::platform::wayland {
namespace {

// The compositor's toplevel list where a virtual keyboard is at hand too; nullptr otherwise,
// with missing naming what the compositor lacks.
std::unique_ptr<ToplevelList> ConnectForTyping(std::string& missing) {
  auto list = ToplevelList::Connect(missing);
  if (list && !list->CanMakeKeyboard()) {
    missing = "zwp_virtual_keyboard_manager_v1";
    return nullptr;
  }
  return list;
}

// The connection MissingProtocol made, which the backend takes over instead of making another;
// or what it found missing, which a second look would find again.
std::unique_ptr<ToplevelList> probed;
std::optional<std::string> probedMissing;

}  // namespace

std::unique_ptr<Desktop> MakeWaylandDesktop(std::string& missing) {
  if (probedMissing && !probedMissing->empty()) {
    missing = *probedMissing;
    return nullptr;
  }
  auto list = probed ? std::move(probed) : ConnectForTyping(missing);
  if (!list) return nullptr;
  // The toolkit sets a Wayland surface's input region from the window's mask, and the
  // compositor places windows.
  return MakeToplevelDesktop(std::move(list), std::make_unique<ToolkitShell>(true));
}

std::string MissingProtocol() {
  std::string missing;
  probed = ConnectForTyping(missing);
  probedMissing = missing;
  return missing;
}

}  // namespace kavo::platform::wayland
