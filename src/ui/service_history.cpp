#include "ui/service_history.h"

#include <QBuffer>
#include <QByteArray>
#include <QCoreApplication>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPdfWriter>
#include <QAbstractTextDocumentLayout>
#include <QCoreApplication>
#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QTextDocument>
#include <QTextFrame>
#include <algorithm>
#include <string>
#include <string_view>

#include "data/record.h"
#include "data/replacement_file.h"
#include "ui/shown_number.h"
#include "ui/widget_text.h"

namespace tarvik {
namespace {

// The texts of the history, translated under one context; the markup
// stays out of them.
struct history_text {
  Q_DECLARE_TR_FUNCTIONS(tarvik::service_history)
};

QString escaped(const std::string& text) { return to_widget_text(text).toHtmlEscaped(); }

}  // namespace

std::unique_ptr<QTextDocument> service_history::document() const {
  QString html = QStringLiteral("<h2>%1</h2>")
                     .arg(history_text::tr("Service history: %1")
                              .arg(vehicle.isEmpty() ? log_name : vehicle)
                              .toHtmlEscaped());
  if (!records.empty()) {
    const auto [first, last] = std::minmax_element(
        records.begin(), records.end(),
        [](const Record* a, const Record* b) { return a->date() < b->date(); });
    const QString from = to_widget_text((*first)->value("date"));
    const QString to = to_widget_text((*last)->value("date"));
    const QString span = records.size() == 1
                             ? history_text::tr("1 entry, %1 to %2").arg(from, to)
                             : history_text::tr("%1 entries, %2 to %3")
                                   .arg(shown_count(records.size()))
                                   .arg(from, to);
    html += QStringLiteral("<p>%1</p>").arg(span.toHtmlEscaped());
  } else {
    html += QStringLiteral("<p>%1</p>").arg(history_text::tr("No entries.").toHtmlEscaped());
  }
  html += QStringLiteral(
      "<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" width=\"100%\">"
      "<thead><tr><th>%1</th><th>%2</th><th>%3</th>")
              .arg(history_text::tr("Date").toHtmlEscaped(),
                   with_unit(history_text::tr("Mileage"), units.distance_text()).toHtmlEscaped(),
                   history_text::tr("Operation").toHtmlEscaped());
  if (with_costs) {
    html += QStringLiteral("<th>%1</th>").arg(with_unit(history_text::tr("Cost"), units.currency).toHtmlEscaped());
  }
  html += QStringLiteral("<th>%1</th></tr></thead>").arg(history_text::tr("Notes").toHtmlEscaped());
  double total = 0;
  for (const Record* record : records) {
    html += QStringLiteral("<tr><td>%1</td><td align=\"right\">%2</td><td>%3</td>")
                .arg(escaped(record->value("date")), shown_number(record->mileage(), 1),
                     escaped(record->operation()));
    if (with_costs) {
      html += QStringLiteral("<td align=\"right\">%1</td>")
                  .arg(shown_number(static_cast<double>(record->cost()), 2));
      total += static_cast<double>(record->cost());
    }
    html += QStringLiteral("<td>%1</td></tr>")
                .arg(escaped(record->notes()).replace(QLatin1Char('\n'), QStringLiteral("<br>")));
  }
  html += QStringLiteral("</table>");
  if (with_costs) {
    html += QStringLiteral("<p><b>%1: %2</b></p>")
                .arg(with_unit(history_text::tr("Total cost"), units.currency).toHtmlEscaped(),
                     shown_number(total, 2));
  }
  auto document = std::make_unique<QTextDocument>();
  document->setHtml(html);
  return document;
}

void service_history::print(QPagedPaintDevice& device) const {
  const std::unique_ptr<QTextDocument> history = document();
  QPainter painter(&device);
  if (!painter.isActive()) return;
  // Laid out for the device itself, so that its resolution sizes the fonts
  // and the table takes the whole width between the page's margins; a line
  // at the foot of each page is kept for "Page N of M".
  history->documentLayout()->setPaintDevice(&device);
  history->setDefaultFont(QFont());
  history->rootFrame()->setFrameFormat([&] {
    QTextFrameFormat format = history->rootFrame()->frameFormat();
    format.setMargin(0);
    return format;
  }());
  const QFontMetricsF metrics(history->defaultFont(), &device);
  const QRectF paper(0, 0, device.width(), device.height());
  const double foot = metrics.lineSpacing() * 2;
  const QSizeF body(paper.width(), paper.height() - foot);
  history->setPageSize(body);
  const int pages = history->pageCount();
  for (int page = 0; page < pages; ++page) {
    if (page > 0) device.newPage();
    painter.save();
    painter.translate(0, -page * body.height());
    history->drawContents(&painter, QRectF(QPointF(0, page * body.height()), body));
    painter.restore();
    painter.setFont(history->defaultFont());
    painter.drawText(QRectF(0, body.height(), paper.width(), foot), Qt::AlignCenter | Qt::AlignBottom,
                     QCoreApplication::translate("tarvik::service_history", "Page %1 of %2")
                         .arg(page + 1)
                         .arg(pages));
  }
}

bool service_history::write_pdf(const QString& path, QString* error) const {
  // Made in memory first: the file is then written by one safe path.
  QByteArray pdf;
  {
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(15, 15, 15, 12), QPageLayout::Millimeter);
    writer.setTitle(history_text::tr("Service history: %1").arg(vehicle.isEmpty() ? log_name : vehicle));
    writer.setCreator(QStringLiteral("Tarvik"));
    print(writer);
  }
  std::string reason;
  if (write_whole_file(path.toLocal8Bit().toStdString(),
                       std::string_view(pdf.constData(), static_cast<std::size_t>(pdf.size())),
                       reason)) {
    return true;
  }
  if (error != nullptr) *error = to_widget_text(reason);
  return false;
}

}  // namespace tarvik
