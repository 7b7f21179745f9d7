// Kavo: starts the bar and runs until it is closed.

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "base/errors.h"
#include "platform/desktop.h"
#include "platform/system.h"
#include "settings/home_folder.h"
#include "ui/Unit1.h"
#include "ui/command_line.h"
#include "ui/error_guard.h"
#include "ui/single_instance.h"
#include "ui/toolkit_translations.h"

namespace {

QStringList Arguments(int argc, char** argv) {
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  return arguments;
}

}  // namespace

int main(int argc, char** argv) {
  const kavo::CommandLine command = kavo::ParseCommandLine(Arguments(argc, argv));
  switch (command.action) {
    case kavo::CommandLine::Action::Help:
    case kavo::CommandLine::Action::Version:
      std::fputs(command.text.toLocal8Bit().constData(), stdout);
      return 0;
    case kavo::CommandLine::Action::Error:
      std::fputs(command.text.toLocal8Bit().constData(), stderr);
      return 2;
    case kavo::CommandLine::Action::Run:
      break;
  }
  // Without a display the toolkit would abort with a message of its own; say it plainly instead.
  if (!kavo::platform::HasDesktopSession()) {
    std::fputs("Kavo needs a graphical desktop: no display was found (DISPLAY is not set).\n",
               stderr);
    return 1;
  }
  // The platform that reaches most programs, unless the user named one: on Wayland the wayland
  // platform where the compositor lets the bar type, XWayland where it does not.
  std::string note;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    const std::string platform = kavo::platform::PreferredPlatform(note);
    if (!platform.empty()) qputenv("QT_QPA_PLATFORM", QByteArray::fromStdString(platform));
    if (!note.empty()) std::fprintf(stderr, "Kavo: %s\n", note.c_str());
  }
  QApplication app(argc, argv);
  // The class name a task bar groups the bar's windows by, whatever the executable is called.
  QApplication::setApplicationName(QStringLiteral("kavo"));
  QApplication::setApplicationVersion(kavo::ProgramVersion());
  // The desktop entry it was started from (and, on Wayland, its application id).
  QGuiApplication::setDesktopFileName(QStringLiteral("org.kavo.kavo"));
  app.setQuitOnLastWindowClosed(false);  // the bar's own close ends the program
  kavo::InstallToolkitTranslations(app);

  const kavo::Home home = kavo::ChooseHome(
      command.home.toStdU16String(), kavo::platform::FolderOf(kavo::platform::ExecutablePath()));
  kavo::SingleInstance instance(QString::fromStdU16String(home.folder));
  if (!instance.IsFirst()) {
    if (instance.AskRunningBarToComeForward()) return 0;
    std::fprintf(stderr, "Kavo: a bar for %s is running but does not answer.\n",
                 qPrintable(QString::fromStdU16String(home.folder)));
    return 1;
  }

  const std::unique_ptr<kavo::platform::Desktop> desktop =
      kavo::platform::MakeDesktop(QGuiApplication::platformName().toStdString());
  if (!desktop->CanType()) std::fprintf(stderr, "Kavo: %s\n", desktop->Problem().c_str());

  std::unique_ptr<kavo::TForm1> form1;
  try {
    kavo::SeedHomeFromProgramFolder(home,
                                    kavo::platform::FolderOf(kavo::platform::ExecutablePath()));
    form1 = std::make_unique<kavo::TForm1>(*desktop, home.folder);
  } catch (const kavo::KavoError& error) {
    // The address of the start-up code, as the box shows one.
    kavo::ShowStartupErrorBox(error.Kind(), error.Message(),
                              reinterpret_cast<const void*>(&Arguments));
    return 1;
  }
  QObject::connect(&instance, &kavo::SingleInstance::ComeForwardAsked, form1.get(),
                   &kavo::TForm1::ComeForward);
  // What the desktop withholds, where the target's title will stand.
  if (!note.empty()) form1->ShowNotice(QString::fromStdString(note));
  form1->show();
  kavo::platform::ListenForCloseRequests();
  const int code = app.exec();
  form1.reset();
  return code;
}
