#pragma once
// The program's command line: --help, --version and --home, beside the toolkit's own options.

#include <QString>
#include <QStringList>

namespace kavo {

struct CommandLine {
  enum class Action { Run, Help, Version, Error } action = Action::Run;
  QString home;  // --home, empty when not given
  QString text;  // what Help, Version and Error print
};

// Reads the arguments (the program's name first). Needs no display, so that --help works
// anywhere; the toolkit's own options (-platform, -display, ...) are let through.
CommandLine ParseCommandLine(const QStringList& arguments);

// The program's version, as --version prints it.
QString ProgramVersion();

}  // namespace kavo
