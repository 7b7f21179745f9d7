#include "ui/toolkit_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace kavo {

bool InstallToolkitTranslations(QCoreApplication& app) {
  // English is the toolkit's own language: nothing to look for.
  if (QLocale().language() == QLocale::English || QLocale().language() == QLocale::C) {
    return false;
  }
  auto* translator = new QTranslator(&app);
  if (!translator->load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete translator;
    return false;
  }
  return QCoreApplication::installTranslator(translator);
}

}  // namespace kavo
