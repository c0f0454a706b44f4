#ifndef TARVIK_UI_CONTRAST_H_
#define TARVIK_UI_CONTRAST_H_

#include <QColor>
#include <QLabel>

// Colours that stay readable whatever the palette: a warning or a state
// never rests on a colour chosen for a light theme alone, and the text on a
// tinted background is chosen with it.
namespace tarvik {

// The WCAG 2 contrast ratio of two colours: 1 (the same) to 21 (black on
// white). Text reads well from 4.5 up.
double contrast_ratio(const QColor& a, const QColor& b);
constexpr double kReadableContrast = 4.5;

// `preferred` on `background` when it reads well, else black or white,
// whichever reads better.
QColor readable_text(const QColor& background, const QColor& preferred);

// `base` tinted `amount` (0 to 1) of the way towards `tint`.
QColor tinted(const QColor& base, const QColor& tint, double amount);

// A red for warning words on `background`: dark on a light one, light on a
// dark one, and always readable.
QColor warning_text(const QColor& background);

// A label whose words warn: in warning_text() on its background, chosen
// again whenever the palette changes.
class warning_label : public QLabel {
 public:
  explicit warning_label(const QString& text, QWidget* parent = nullptr);

 protected:
  void changeEvent(QEvent* event) override;

 private:
  void recolour();
};

}  // namespace tarvik

#endif  // TARVIK_UI_CONTRAST_H_
