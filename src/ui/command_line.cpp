#include "ui/command_line.h"

#include <QCommandLineParser>

#include "platform/system.h"
#include "settings/home_folder.h"

namespace kavo {
namespace {

// The toolkit's options that take a value, and those that do not.
constexpr const char* kToolkitValueOptions[] = {"platform",        "platformpluginpath",
                                                "platformtheme",   "plugin",
                                                "qwindowgeometry", "qwindowicon",
                                                "qwindowtitle",    "display",
                                                "geometry",        "style",
                                                "stylesheet",      "session",
                                                "qmljsdebugger"};
constexpr const char* kToolkitFlags[] = {"reverse", "widgetcount", "nograb", "dograb", "sync"};

QString WhereFilesLive() {
  const Home home = ChooseHome(u"", platform::FolderOf(platform::ExecutablePath()));
  return QStringLiteral(
             "\nFiles: Kavo.ini (the bar's place and look) and KavoKey.txt (its buttons) live in\n"
             "  - the folder given with --home;\n"
             "  - else, for a copy run from a folder of its own that it may write, that folder;\n"
             "  - else (an installed copy, or one on a read-only medium) in\n"
             "    $XDG_CONFIG_HOME/kavo/ (~/.config/kavo/ when that is not set).\n"
             "Without --home, this copy uses %1\n")
      .arg(QString::fromStdU16String(home.folder));
}

}  // namespace

QString ProgramVersion() {
  return QStringLiteral(KAVO_VERSION);
}

CommandLine ParseCommandLine(const QStringList& arguments) {
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral(
      "A floating bar of buttons that type keyboard shortcuts into the target window.\n"
      "The target is the first window of another program that you bring to the front after\n"
      "starting the bar or choosing ReAcquire, and it stays the target until you choose\n"
      "ReAcquire again. With Follow checked in the bar's menu, the target is always the window\n"
      "of another program that you brought to the front last."));
  // -platform and the like are single-dash words.
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                QStringLiteral("Print this help and exit."));
  const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                   QStringLiteral("Print the version and exit."));
  const QCommandLineOption home(
      QStringLiteral("home"),
      QStringLiteral("Keep Kavo.ini and KavoKey.txt in <folder> (created at the first save). "
                     "Bars with different folders run side by side."),
      QStringLiteral("folder"));
  parser.addOption(help);
  parser.addOption(version);
  parser.addOption(home);
  for (const char* name : kToolkitValueOptions) {
    QCommandLineOption option(QString::fromLatin1(name), QString(), QStringLiteral("value"));
    option.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(option);
  }
  for (const char* name : kToolkitFlags) {
    QCommandLineOption option(QString::fromLatin1(name), QString());
    option.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(option);
  }

  // Without an application object the parser cannot know the program's name.
  const QString usage =
      parser.helpText().replace(QStringLiteral("<executable_name>"), QStringLiteral("kavo"));
  CommandLine result;
  if (!parser.parse(arguments)) {
    result.action = CommandLine::Action::Error;
    result.text = QStringLiteral("kavo: ") + parser.errorText() + QLatin1Char('\n') + usage;
  } else if (!parser.positionalArguments().isEmpty()) {
    result.action = CommandLine::Action::Error;
    result.text = QStringLiteral("kavo: unexpected argument '") +
                  parser.positionalArguments().constFirst() + QStringLiteral("'\n") + usage;
  } else if (parser.isSet(help)) {
    result.action = CommandLine::Action::Help;
    result.text = usage + WhereFilesLive();
  } else if (parser.isSet(version)) {
    result.action = CommandLine::Action::Version;
    result.text = QStringLiteral("kavo ") + ProgramVersion() + QLatin1Char('\n');
  } else {
    result.home = parser.value(home);
    if (parser.isSet(home) && result.home.isEmpty()) {
      result.action = CommandLine::Action::Error;
      result.text = QStringLiteral("kavo: --home needs a folder\n") + usage;
    }
  }
  return result;
}

}  // namespace kavo
