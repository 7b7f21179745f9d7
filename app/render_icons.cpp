// Build step: writes the program's icon as <folder>/<n>x<n>/apps/kavo.png for every size, for
// the icon theme the install step fills.

#include <QDir>
#include <QImage>
#include <cstdio>

#include "widgets/bar_icon.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: kavo_render_icons FOLDER\n", stderr);
    return 2;
  }
  for (const int side : kavo::kIconSizes) {
    const QString folder =
        QString::fromLocal8Bit(argv[1]) + QStringLiteral("/%1x%1/apps").arg(side);
    if (!QDir().mkpath(folder) || !kavo::BarIconImage(side).save(folder + "/kavo.png")) {
      std::fprintf(stderr, "kavo_render_icons: cannot write %s/kavo.png\n", qPrintable(folder));
      return 1;
    }
  }
  return 0;
}
