#include "platform/resource.h"

#include <QApplication>
#include <QIcon>
#include <QStyle>

namespace tarvik {
namespace {

struct stock_image {
  const char* name;
  const char* theme_name;
  QStyle::StandardPixmap fallback;
};

constexpr stock_image kStockImages[] = {
    {"new", "document-new", QStyle::SP_FileIcon},
    {"edit", "document-edit", QStyle::SP_FileDialogDetailedView},
    {"trash", "user-trash", QStyle::SP_TrashIcon},
};

constexpr int kSize = 32;

}  // namespace

QPixmap Resource::loadPixmap(const QString& name) {
  for (const stock_image& image : kStockImages) {
    if (name != QLatin1String(image.name)) continue;
    QIcon icon = QIcon::fromTheme(QLatin1String(image.theme_name));
    if (icon.isNull()) icon = QApplication::style()->standardIcon(image.fallback);
    return icon.pixmap(kSize, kSize);
  }
  return QPixmap();
}

}  // namespace tarvik
