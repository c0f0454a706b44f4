#ifndef TARVIK_TESTS_SUPPORT_UI_SUPPORT_H_
#define TARVIK_TESTS_SUPPORT_UI_SUPPORT_H_

#include <QString>
#include <functional>
#include <optional>

class QWidget;

namespace tarvik::testing {

// Runs `answer` on the next modal widget (a dialog or message box) as soon
// as it shows, from a single-shot timer polling the event loop. Fails the
// test if none shows within a few seconds.
void answer_next_modal(std::function<void(QWidget*)> answer);

// What to type into the "Edit Record" dialog; unset boxes stay as they are.
struct typed_record {
  std::optional<QString> mileage = std::nullopt;
  std::optional<QString> date = std::nullopt;
  std::optional<QString> operation = std::nullopt;
  std::optional<QString> cost = std::nullopt;
  std::optional<QString> notes = std::nullopt;
  bool press_ok = true;  // else Cancel
};

// Fills the boxes of an open "Edit Record" dialog and presses OK or Cancel.
void fill_and_close(QWidget* dialog, const typed_record& typed);

// answer_next_modal(fill_and_close(typed)).
void answer_next_editor(const typed_record& typed);

}  // namespace tarvik::testing

#endif  // TARVIK_TESTS_SUPPORT_UI_SUPPORT_H_
