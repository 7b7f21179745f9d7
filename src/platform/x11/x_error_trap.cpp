#include "platform/x11/x_error_trap.h"

namespace kavo::platform::x11 {
namespace {
int g_lastError = 0;
}

XErrorTrap::XErrorTrap(Display* display) : display_(display), savedError_(g_lastError) {
  XSync(display_, False);
  g_lastError = 0;
  previous_ = XSetErrorHandler(OnError);
}

XErrorTrap::~XErrorTrap() {
  XSync(display_, False);
  XSetErrorHandler(previous_);
  g_lastError = savedError_;
}

bool XErrorTrap::Failed() {
  XSync(display_, False);
  return g_lastError != 0;
}

int XErrorTrap::OnError(Display*, XErrorEvent* event) {
  g_lastError = event->error_code;
  return 0;
}

}  // namespace kavo::platform::x11
