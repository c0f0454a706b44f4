#ifndef TARVIK_UI_UI_LANGUAGE_H_
#define TARVIK_UI_UI_LANGUAGE_H_

#include <QLocale>
#include <QString>

class QCoreApplication;

namespace tarvik {

// The first of the user's languages (LANGUAGE, then LC_ALL, LC_MESSAGES,
// LANG) that Tarvik is translated into, or empty when an English one comes
// first or none is: the texts are written in English.
QString ui_language(const QLocale& locale = QLocale::system());

// Installs the translators of that language into `application`: Tarvik's
// own (built into the program) and the toolkit's, for its button boxes and
// file dialogs (from the system's Qt translations). Gives the language
// installed, or empty when the texts stay English.
QString install_translations(QCoreApplication& application,
                             const QLocale& locale = QLocale::system());

}  // namespace tarvik

#endif  // TARVIK_UI_UI_LANGUAGE_H_
