#include "ui/widget_text.h"

#include <QStringDecoder>

namespace tarvik {

QString to_widget_text(const std::string& bytes) {
  const QByteArrayView view(bytes.data(), static_cast<qsizetype>(bytes.size()));
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = utf8.decode(view);
  if (!utf8.hasError()) return text;
  return QString::fromLatin1(view);
}

bool is_utf8(const std::string& bytes) {
  return QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())).isValidUtf8();
}

std::string from_widget_text(const QString& text) {
  const QByteArray bytes = text.toUtf8();
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

std::string from_widget_text(const QString& text, const std::string& shown) {
  if (is_utf8(shown)) return from_widget_text(text);
  for (const QChar c : text) {
    if (c.unicode() > 255) return from_widget_text(text);
  }
  const QByteArray bytes = text.toLatin1();
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

}  // namespace tarvik
