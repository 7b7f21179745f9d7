#pragma once
// The desktop backend for KDE Plasma on Wayland: the window in front and its title from
// Plasma's window management, activation through it, key strokes through its fake input with
// the session's layout, and the bar's window as a panel that never takes the keyboard.

#include <memory>
#include <string>

#include "platform/desktop.h"

namespace kavo::platform::kde {

// What the compositor of WAYLAND_DISPLAY lets the bar do as a KDE Plasma program.
enum class PlasmaOffer { None, Unauthorized, All };
// Asks once; when it offers all, the connection made to find out is the one MakeKdeDesktop
// takes.
PlasmaOffer ProbePlasma();
// nullptr unless the compositor offers all the bar needs; once only.
std::unique_ptr<Desktop> MakeKdeDesktop();

// What a Plasma session needs before it lets this program (at this path) see windows and type,
// and how to give it, in a sentence or two.
std::string UnauthorizedProblem(const std::string& executable);

}  // namespace kavo::platform::kde
