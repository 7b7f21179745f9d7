// Kavo: starts the bar and runs until it is closed.

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "base/errors.h"
#include "platform/input.h"
#include "platform/system.h"
#include "ui/Unit1.h"
#include "ui/Unit2.h"
#include "ui/error_guard.h"

namespace {

// Without a display the toolkit would abort with a message of its own; say it plainly instead.
bool HasDisplay() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
    const char* value = std::getenv(name);
    if (value && *value) return true;
  }
#ifdef _WIN32
  return true;
#else
  return false;
#endif
}

}  // namespace

int main(int argc, char** argv) {
  if (!HasDisplay()) {
    std::fputs("Kavo needs a graphical desktop: no display was found (DISPLAY is not set).\n",
               stderr);
    return 1;
  }
  QApplication app(argc, argv);
  // The class name a task bar groups the bar's windows by, whatever the executable is called.
  QApplication::setApplicationName(QStringLiteral("kavo"));
  QGuiApplication::setDesktopFileName(QStringLiteral("kavo"));
  app.setQuitOnLastWindowClosed(false);  // the bar's own close ends the program

  const std::unique_ptr<kavo::platform::InputBackend> input =
      kavo::platform::MakeInputBackend(QGuiApplication::platformName().toStdString());
  if (!input->CanType()) {
    std::fprintf(stderr,
                 "Kavo: this session (%s) is not X11; the bar cannot type into other programs.\n",
                 qPrintable(QGuiApplication::platformName()));
  }

  std::unique_ptr<kavo::TForm1> form1;
  std::unique_ptr<kavo::TForm2> form2;
  try {
    form1 = std::make_unique<kavo::TForm1>(*input);
    form2 = std::make_unique<kavo::TForm2>();
  } catch (const kavo::KavoError& error) {
    // The address of the start-up code, as the box shows one.
    kavo::ShowStartupErrorBox(error.Kind(), error.Message(),
                              reinterpret_cast<const void*>(&HasDisplay));
    return 1;
  }
  form1->show();
  kavo::platform::ListenForCloseRequests();
  const int code = app.exec();
  form2.reset();
  form1.reset();
  return code;
}
