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

// The program's own icon (data/tarvik.svg, drawn at half its size): a log
// page with a car at its foot.
void draw_tarvik(QPainter& p) {
  p.scale(0.5, 0.5);
  p.setPen(QPen(QColor(0x4a, 0x4a, 0x4a), 2));
  p.setBrush(QColor(0xf4, 0xf1, 0xe8));
  p.drawRoundedRect(QRectF(8, 6, 48, 52), 4, 4);
  p.setPen(QPen(QColor(0x7a, 0x7a, 0x7a), 2));
  p.drawLine(QPointF(16, 18), QPointF(48, 18));
  p.drawLine(QPointF(16, 26), QPointF(48, 26));
  p.drawLine(QPointF(16, 34), QPointF(40, 34));
  QPainterPath car;
  car.moveTo(14, 52);
  car.quadTo(18, 42, 28, 42);
  car.lineTo(38, 42);
  car.quadTo(46, 42, 50, 52);
  car.closeSubpath();
  p.setPen(Qt::NoPen);
  p.fillPath(car, QColor(0x2f, 0x6d, 0xb5));
  p.setBrush(QColor(0x22, 0x22, 0x22));
  p.drawEllipse(QPointF(22, 53), 4, 4);
  p.drawEllipse(QPointF(44, 53), 4, 4);
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
    {"tarvik", {"tarvik"}, draw_tarvik},
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
