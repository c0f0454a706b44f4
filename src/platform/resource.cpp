#include "platform/resource.h"

#include <QIcon>
#include <QPainter>
#include <QPainterPath>
#include <initializer_list>

namespace tarvik {
namespace {

constexpr int kSize = 32;

// Our own images, drawn for a 32-pixel square, for desktops whose icon
// theme lacks the names: a page with a plus, a pencil, a waste bin.
void draw_new(QPainter& p) {
  QPainterPath page;
  page.moveTo(7, 3);
  page.lineTo(19, 3);
  page.lineTo(26, 10);
  page.lineTo(26, 29);
  page.lineTo(7, 29);
  page.closeSubpath();
  p.setPen(QPen(QColor(70, 70, 70), 1.5));
  p.setBrush(Qt::white);
  p.drawPath(page);
  p.drawPolyline(QPolygonF({QPointF(19, 3), QPointF(19, 10), QPointF(26, 10)}));
  p.setPen(QPen(QColor(40, 140, 40), 3.5, Qt::SolidLine, Qt::FlatCap));
  p.drawLine(QPointF(16.5, 13), QPointF(16.5, 25));
  p.drawLine(QPointF(10.5, 19), QPointF(22.5, 19));
}

void draw_edit(QPainter& p) {
  p.translate(16, 16);
  p.rotate(45);
  p.setPen(QPen(QColor(70, 70, 70), 1.5));
  p.setBrush(QColor(240, 190, 60));
  p.drawRect(QRectF(-3.5, -12, 7, 18));
  p.setBrush(QColor(230, 120, 120));
  p.drawRect(QRectF(-3.5, -15, 7, 3));
  p.setBrush(QColor(245, 220, 180));
  p.drawPolygon(QPolygonF({QPointF(-3.5, 6), QPointF(3.5, 6), QPointF(0, 13)}));
  p.setBrush(QColor(50, 50, 50));
  p.drawPolygon(QPolygonF({QPointF(-1.2, 10.5), QPointF(1.2, 10.5), QPointF(0, 13)}));
}

void draw_trash(QPainter& p) {
  p.setPen(QPen(QColor(70, 70, 70), 1.5));
  p.setBrush(QColor(200, 205, 210));
  p.drawPolygon(QPolygonF({QPointF(8, 9), QPointF(24, 9), QPointF(22.5, 29), QPointF(9.5, 29)}));
  p.drawRect(QRectF(5.5, 5.5, 21, 3.5));
  p.drawRect(QRectF(13, 2.5, 6, 3));
  for (const double x : {12.5, 16.0, 19.5}) p.drawLine(QPointF(x, 12), QPointF(x, 26));
}

struct stock_image {
  const char* name;
  std::initializer_list<const char*> theme_names;
  void (*draw)(QPainter&);
};

const stock_image kStockImages[] = {
    {"new", {"document-new"}, draw_new},
    {"edit", {"document-edit"}, draw_edit},
    {"trash", {"edit-delete", "user-trash"}, draw_trash},
};

}  // namespace

QPixmap Resource::loadPixmap(const QString& name) {
  for (const stock_image& image : kStockImages) {
    if (name != QLatin1String(image.name)) continue;
    for (const char* theme_name : image.theme_names) {
      const QIcon icon = QIcon::fromTheme(QLatin1String(theme_name));
      if (!icon.isNull()) return icon.pixmap(kSize, kSize);
    }
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    image.draw(painter);
    return pixmap;
  }
  return QPixmap();
}

}  // namespace tarvik
