// The hand and eyes of the KDE Plasma tests: a program of the session's user that KWin lets use
// its fake input and screenshots (a desktop file names it), driven by the test through a pipe.
// Each command is one line; once it is done, "done" is appended to the answer file, after what
// the command printed.
//
//   kavo_kwin_driver COMMANDS ANSWERS
//
//   move X Y            the pointer to a point of the desktop
//   button 1|0          the left button down or up; prints "at NS", the monotonic clock's
//                       nanoseconds when the button went
//   key CODE 1|0        a key, by evdev number, down or up
//   windows             each window: "title<TAB>app id<TAB>active<TAB>x y width height"
//   activate TITLE      asks KWin to activate the window with this title
//   shot X Y W H FILE   the desktop's rectangle, as PNG

#include <linux/input-event-codes.h>
#include <wayland-client.h>

#include <unistd.h>
#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusUnixFileDescriptor>
#include <QImage>
#include <QVariantMap>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/kde/plasma_window_list.h"

extern "C" {
#include "fake-input-client.h"
}

namespace {

using kavo::platform::kde::PlasmaWindowList;

struct Seat {
  wl_display* display = nullptr;
  org_kde_kwin_fake_input* input = nullptr;
};

Seat ConnectSeat() {
  Seat seat;
  seat.display = wl_display_connect(nullptr);
  if (!seat.display) return seat;
  wl_registry* registry = wl_display_get_registry(seat.display);
  static const wl_registry_listener listener = {
      [](void* data, wl_registry* registry, std::uint32_t name, const char* interface,
         std::uint32_t) {
        if (std::strcmp(interface, org_kde_kwin_fake_input_interface.name) == 0) {
          static_cast<Seat*>(data)->input = static_cast<org_kde_kwin_fake_input*>(
              wl_registry_bind(registry, name, &org_kde_kwin_fake_input_interface, 4));
        }
      },
      [](void*, wl_registry*, std::uint32_t) {}};
  wl_registry_add_listener(registry, &listener, &seat);
  wl_display_roundtrip(seat.display);
  if (seat.input) {
    org_kde_kwin_fake_input_authenticate(seat.input, "Kavo tests", "drives the desktop");
    wl_display_roundtrip(seat.display);
  }
  return seat;
}

// KWin's screenshot of an area, written into a pipe as raw pixels.
std::string Shot(int x, int y, int width, int height, const std::string& file) {
  int fds[2];
  if (::pipe(fds) != 0) return "no pipe";
  QVariantMap info;
  {
    // The message keeps a copy of the pipe's writing end: gone before the reading, which ends
    // once KWin closes its own.
    QDBusMessage call = QDBusMessage::createMethodCall("org.kde.KWin", "/org/kde/KWin/ScreenShot2",
                                                       "org.kde.KWin.ScreenShot2", "CaptureArea");
    QVariantMap options;
    options["native-resolution"] = true;
    call << x << y << static_cast<uint>(width) << static_cast<uint>(height) << options
         << QVariant::fromValue(QDBusUnixFileDescriptor(fds[1]));
    ::close(fds[1]);
    const QDBusMessage reply = QDBusConnection::sessionBus().call(call);
    if (reply.type() != QDBusMessage::ReplyMessage) {
      ::close(fds[0]);
      return reply.errorMessage().toStdString();
    }
    info = qdbus_cast<QVariantMap>(reply.arguments().value(0));
  }
  const int w = info["width"].toInt(), h = info["height"].toInt();
  const int stride = info["stride"].toInt();
  const auto format = static_cast<QImage::Format>(info["format"].toInt());
  QByteArray data;
  char buffer[65536];
  for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;) data.append(buffer, n);
  ::close(fds[0]);
  if (data.size() < static_cast<qsizetype>(stride) * h) return "short image";
  QImage image(reinterpret_cast<const uchar*>(data.constData()), w, h, stride, format);
  return image.copy().save(QString::fromStdString(file), "PNG") ? "" : "not saved";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s COMMANDS ANSWERS\n", argv[0]);
    return 2;
  }
  QCoreApplication app(argc, argv);
  Seat seat = ConnectSeat();
  PlasmaWindowList::Offer offer;
  auto windows = PlasmaWindowList::Connect(offer);
  if (!seat.input || !windows) {
    std::fprintf(stderr, "KWin offers no fake input or window list to this program\n");
    return 1;
  }
  // Opened for writing too, so that the test's opening and closing it is no end of commands.
  FILE* commands = std::fopen(argv[1], "r+");
  if (!commands) return 1;
  char buffer[4096];
  while (std::fgets(buffer, sizeof buffer, commands)) {
    std::string line(buffer);
    if (!line.empty() && line.back() == '\n') line.pop_back();
    std::istringstream in(line);
    std::string verb;
    in >> verb;
    std::string out;
    if (verb == "move") {
      double x = 0, y = 0;
      in >> x >> y;
      org_kde_kwin_fake_input_pointer_motion_absolute(seat.input, wl_fixed_from_double(x),
                                                      wl_fixed_from_double(y));
    } else if (verb == "button") {
      int down = 0;
      in >> down;
      org_kde_kwin_fake_input_button(seat.input, BTN_LEFT, down ? 1 : 0);
      timespec now{};
      clock_gettime(CLOCK_MONOTONIC, &now);
      wl_display_flush(seat.display);
      out = "at " +
            std::to_string(static_cast<long long>(now.tv_sec) * 1'000'000'000 + now.tv_nsec) + "\n";
    } else if (verb == "key") {
      int code = 0, down = 0;
      in >> code >> down;
      org_kde_kwin_fake_input_keyboard_key(seat.input, static_cast<std::uint32_t>(code),
                                           down ? 1 : 0);
    } else if (verb == "windows" || verb == "activate") {
      windows->ReadNews();
      std::string title;
      std::getline(in >> std::ws, title);
      for (const std::uint64_t handle : windows->Handles()) {
        const auto* w = windows->Find(handle);
        if (verb == "activate" && w->title == title) windows->Activate(handle, 2000);
        out += w->title + "\t" + w->appId + "\t" + (w->activated ? "1" : "0") + "\t" +
               std::to_string(w->x) + " " + std::to_string(w->y) + " " + std::to_string(w->width) +
               " " + std::to_string(w->height) + "\n";
      }
    } else if (verb == "shot") {
      int x = 0, y = 0, w = 0, h = 0;
      std::string file;
      in >> x >> y >> w >> h >> file;
      out = Shot(x, y, w, h, file);
      if (!out.empty()) out = "error " + out + "\n";
    }
    wl_display_roundtrip(seat.display);
    std::ofstream answers(argv[2], std::ios::app);
    answers << out << "done\n";
  }
  return 0;
}
