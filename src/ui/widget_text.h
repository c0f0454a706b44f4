#ifndef TARVIK_UI_WIDGET_TEXT_H_
#define TARVIK_UI_WIDGET_TEXT_H_

#include <QString>
#include <string>

// Texts cross between the log's byte strings and the widgets here, and only
// here. New text is stored as UTF-8, so every character the user types comes
// back; a stored text that is not valid UTF-8 (a log written as Latin-1)
// is shown as Latin-1, as it always was.
namespace tarvik {

QString to_widget_text(const std::string& bytes);
std::string from_widget_text(const QString& text);

// Whether to_widget_text shows `bytes` as UTF-8 (else as Latin-1).
bool is_utf8(const std::string& bytes);

// The bytes for `text`, an edited form of what to_widget_text showed for
// `shown`: as Latin-1 when `shown` was shown so and every character fits,
// so a Latin-1 (or mixed) text keeps the bytes of what the user did not
// touch; otherwise as UTF-8.
std::string from_widget_text(const QString& text, const std::string& shown);

}  // namespace tarvik

#endif  // TARVIK_UI_WIDGET_TEXT_H_
