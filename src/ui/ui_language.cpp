#include "ui/ui_language.h"

#include <QCoreApplication>
#include <QFile>
#include <QLibraryInfo>
#include <QTranslator>

namespace tarvik {
namespace {

// Where the build puts the compiled translations, inside the program.
const QString kOwnTranslations = QStringLiteral(":/i18n");

QString own_file(const QString& language) {
  return kOwnTranslations + QStringLiteral("/tarvik_") + language + QStringLiteral(".qm");
}

}  // namespace

QString ui_language(const QLocale& locale) {
  for (QString name : locale.uiLanguages()) {
    name.replace(QLatin1Char('-'), QLatin1Char('_'));
    // The user who lists English before another language wants English.
    if (QLocale(name).language() == QLocale::English) return {};
    if (QFile::exists(own_file(name))) return name;
    const QString language = name.section(QLatin1Char('_'), 0, 0);
    if (QFile::exists(own_file(language))) return language;
  }
  return {};
}

QString install_translations(QCoreApplication& application, const QLocale& locale) {
  const QString language = ui_language(locale);
  if (language.isEmpty()) return {};
  auto* own = new QTranslator(&application);
  if (!own->load(own_file(language))) {
    delete own;
    return {};
  }
  application.installTranslator(own);
  // The toolkit's texts are a system package's; without it they stay English.
  auto* toolkit = new QTranslator(&application);
  if (toolkit->load(QStringLiteral("qtbase_") + language,
                    QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    application.installTranslator(toolkit);
  } else {
    delete toolkit;
  }
  return language;
}

}  // namespace tarvik
