#ifndef TARVIK_UI_EITHER_QUESTION_H_
#define TARVIK_UI_EITHER_QUESTION_H_

#include <QString>
#include <optional>

class QWidget;

namespace tarvik {

// Asks, modally over `parent`, a question with two answers besides Cancel
// ("With Costs" or "Without Costs"). Returns true for `first`, false for
// `second`, nothing when the user cancelled (Cancel, Escape, closing the
// box). `first_preset`: Return picks `first`, else `second`.
std::optional<bool> ask_either(QWidget* parent, const QString& question, const QString& first,
                               const QString& second, bool first_preset);

}  // namespace tarvik

#endif  // TARVIK_UI_EITHER_QUESTION_H_
