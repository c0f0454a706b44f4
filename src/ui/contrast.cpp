#include "ui/contrast.h"

#include <QEvent>
#include <QPalette>
#include <cmath>

namespace tarvik {
namespace {

double linear(double channel) {
  return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

double luminance(const QColor& colour) {
  const QColor rgb = colour.toRgb();
  return 0.2126 * linear(rgb.redF()) + 0.7152 * linear(rgb.greenF()) +
         0.0722 * linear(rgb.blueF());
}

}  // namespace

double contrast_ratio(const QColor& a, const QColor& b) {
  const double la = luminance(a);
  const double lb = luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor readable_text(const QColor& background, const QColor& preferred) {
  if (contrast_ratio(background, preferred) >= kReadableContrast) return preferred;
  const QColor black(Qt::black);
  const QColor white(Qt::white);
  return contrast_ratio(background, black) >= contrast_ratio(background, white) ? black : white;
}

QColor tinted(const QColor& base, const QColor& tint, double amount) {
  const QColor a = base.toRgb();
  const QColor b = tint.toRgb();
  const auto mix = [amount](double x, double y) { return x + (y - x) * amount; };
  return QColor::fromRgbF(static_cast<float>(mix(a.redF(), b.redF())),
                          static_cast<float>(mix(a.greenF(), b.greenF())),
                          static_cast<float>(mix(a.blueF(), b.blueF())));
}

QColor warning_text(const QColor& background) {
  // Towards black on a light background, towards white on a dark one,
  // until the red reads.
  const bool light = contrast_ratio(background, Qt::black) >= contrast_ratio(background, Qt::white);
  const QColor start = light ? QColor(0xb0, 0x00, 0x00) : QColor(0xff, 0x8a, 0x80);
  const QColor end = light ? QColor(Qt::black) : QColor(Qt::white);
  for (int step = 0; step <= 10; ++step) {
    const QColor red = tinted(start, end, step / 10.0);
    if (contrast_ratio(background, red) >= kReadableContrast) return red;
  }
  return end;
}

warning_label::warning_label(const QString& text, QWidget* parent) : QLabel(text, parent) {
  recolour();
}

void warning_label::changeEvent(QEvent* event) {
  QLabel::changeEvent(event);
  if (event->type() == QEvent::PaletteChange || event->type() == QEvent::ParentChange ||
      event->type() == QEvent::ApplicationPaletteChange) {
    recolour();
  }
}

void warning_label::recolour() {
  QPalette colours = palette();
  const QColor text = warning_text(colours.color(QPalette::Window));
  if (colours.color(QPalette::WindowText) == text) return;
  colours.setColor(QPalette::WindowText, text);
  setPalette(colours);
}

}  // namespace tarvik
