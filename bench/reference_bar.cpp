// The floor our toolkit sets: a bare frameless, always-on-top window with one button that types
// Ctrl+Z through XTest into the window that has the focus. The desktop benchmark starts it beside
// the bar, so that the bar's start-up, CPU time and memory are read against what Qt itself costs.

// Qt's headers before Xlib's, whose macros (Bool, Status) clash with them.
#include <QApplication>
#include <QPushButton>
// clang-format off
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
// clang-format on

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  Display* display = XOpenDisplay(nullptr);
  if (!display) return 1;
  QPushButton button("Undo");
  button.setWindowTitle("Reference bar");
  button.setWindowFlags(Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                        Qt::WindowDoesNotAcceptFocus);
  button.setGeometry(100, 100, 250, 130);
  QObject::connect(&button, &QPushButton::clicked, [display] {
    const KeyCode ctrl = XKeysymToKeycode(display, XK_Control_L);
    const KeyCode z = XKeysymToKeycode(display, XK_z);
    XTestFakeKeyEvent(display, ctrl, True, CurrentTime);
    XTestFakeKeyEvent(display, z, True, CurrentTime);
    XTestFakeKeyEvent(display, z, False, CurrentTime);
    XTestFakeKeyEvent(display, ctrl, False, CurrentTime);
    XFlush(display);
  });
  button.show();
  const int status = app.exec();
  XCloseDisplay(display);
  return status;
}
