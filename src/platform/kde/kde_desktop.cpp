#include "platform/kde/kde_desktop.h"

#include <optional>

#include "platform/kde/plasma_panel_shell.h"
#include "platform/kde/plasma_window_list.h"
#include "platform/wayland/toplevel_desktop.h"

namespace kavo::platform::kde {
namespace {

// The connection ProbePlasma made, which the backend takes over, and what it found.
std::unique_ptr<PlasmaWindowList> probed;
std::optional<PlasmaOffer> probedOffer;

PlasmaOffer OfferOf(PlasmaWindowList::Offer offer) {
  switch (offer) {
    case PlasmaWindowList::Offer::All:
      return PlasmaOffer::All;
    case PlasmaWindowList::Offer::Unauthorized:
      return PlasmaOffer::Unauthorized;
    case PlasmaWindowList::Offer::None:
      break;
  }
  return PlasmaOffer::None;
}

}  // namespace

PlasmaOffer ProbePlasma() {
  if (!probedOffer) {
    PlasmaWindowList::Offer offer = PlasmaWindowList::Offer::None;
    probed = PlasmaWindowList::Connect(offer);
    probedOffer = OfferOf(offer);
  }
  return *probedOffer;
}

std::unique_ptr<Desktop> MakeKdeDesktop() {
  if (ProbePlasma() != PlasmaOffer::All || !probed) return nullptr;
  return wayland::MakeToplevelDesktop(std::move(probed), std::make_unique<PlasmaPanelShell>());
}

std::string UnauthorizedProblem(const std::string& executable) {
  return "KDE Plasma lets only programs its desktop files name see windows and type: add "
         "~/.local/share/applications/org.kavo.kavo.desktop with Exec=" +
         executable +
         " and X-KDE-Wayland-Interfaces=org_kde_plasma_window_management,org_kde_kwin_fake_input.";
}

}  // namespace kavo::platform::kde
