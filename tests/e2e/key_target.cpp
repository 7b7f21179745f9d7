// A window for the end-to-end tests: takes the focus when activated and writes each key event it
// receives to a log, one line per event ("press Control_L", "release z"), flushed at once.
//
//   kavo_key_target TITLE LOGFILE [X Y]

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s TITLE LOGFILE [X Y [buttons] [class=NAME]]\n", argv[0]);
    return 2;
  }
  Display* display = XOpenDisplay(nullptr);
  if (!display) return 1;
  std::FILE* log = std::fopen(argv[2], "a");
  if (!log) return 1;
  const int x = argc > 4 ? std::atoi(argv[3]) : 400;
  const int y = argc > 4 ? std::atoi(argv[4]) : 300;

  const Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), x, y, 300, 200, 1,
                                            BlackPixel(display, 0), WhitePixel(display, 0));
  XStoreName(display, window, argv[1]);
  const Atom netWmName = XInternAtom(display, "_NET_WM_NAME", False);
  const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
  XChangeProperty(display, window, netWmName, utf8, 8, PropModeReplace,
                  reinterpret_cast<unsigned char*>(argv[1]),
                  static_cast<int>(std::strlen(argv[1])));
  XWMHints hints{};
  hints.flags = InputHint;
  hints.input = True;
  XSetWMHints(display, window, &hints);
  XSizeHints size{};
  size.flags = USPosition;
  size.x = x, size.y = y;
  XSetWMNormalHints(display, window, &size);
  Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
  XSetWMProtocols(display, window, &deleteWindow, 1);
  // With "buttons", pointer button presses and releases are logged among the keys; with
  // "class=NAME" the window's WM_CLASS is ("name", NAME), as a program of that name sets it.
  bool buttons = false;
  for (int i = 5; i < argc; ++i) {
    if (std::strcmp(argv[i], "buttons") == 0) buttons = true;
    if (std::strncmp(argv[i], "class=", 6) == 0) {
      std::string name = argv[i] + 6;
      std::string instance = name;
      for (char& c : instance) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      XClassHint hint{instance.data(), name.data()};
      XSetClassHint(display, window, &hint);
    }
  }
  XSelectInput(display, window,
               KeyPressMask | KeyReleaseMask | FocusChangeMask |
                   (buttons ? ButtonPressMask | ButtonReleaseMask : NoEventMask));
  XMapWindow(display, window);
  XSync(display, False);
  // Tests find the window by its id, written once it exists.
  if (std::FILE* id = std::fopen((std::string(argv[2]) + ".id").c_str(), "w")) {
    std::fprintf(id, "%lu\n", window);
    std::fclose(id);
  }

  while (true) {
    XEvent event;
    XNextEvent(display, &event);
    if (event.type == MappingNotify) {
      XRefreshKeyboardMapping(&event.xmapping);  // as toolkits do, for keys bound on the fly
    } else if (event.type == KeyPress || event.type == KeyRelease) {
      const KeySym sym = XLookupKeysym(&event.xkey, 0);
      const char* name = XKeysymToString(sym);
      std::fprintf(log, "%s %s\n", event.type == KeyPress ? "press" : "release",
                   name ? name : "NoSymbol");
      std::fflush(log);
    } else if (event.type == ButtonPress || event.type == ButtonRelease) {
      std::fprintf(log, "button %s %u\n", event.type == ButtonPress ? "press" : "release",
                   event.xbutton.button);
      std::fflush(log);
    } else if (event.type == ClientMessage &&
               static_cast<Atom>(event.xclient.data.l[0]) == deleteWindow) {
      break;
    }
  }
  std::fclose(log);
  XCloseDisplay(display);
  return 0;
}
