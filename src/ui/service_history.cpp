#include "ui/service_history.h"

#include <QFile>
#include <QLocale>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPdfWriter>
#include <QTextDocument>
#include <algorithm>

#include "data/record.h"
#include "ui/widget_text.h"

namespace tarvik {
namespace {

QString escaped(const std::string& text) { return to_widget_text(text).toHtmlEscaped(); }

}  // namespace

std::unique_ptr<QTextDocument> service_history::document() const {
  QString html = QStringLiteral("<h2>Service history: %1</h2>").arg(log_name.toHtmlEscaped());
  if (!records.empty()) {
    const auto [first, last] = std::minmax_element(
        records.begin(), records.end(),
        [](const Record* a, const Record* b) { return a->date() < b->date(); });
    html += QStringLiteral("<p>%1 entries, %2 to %3</p>")
                .arg(records.size())
                .arg(to_widget_text((*first)->value("date")), to_widget_text((*last)->value("date")));
  } else {
    html += QStringLiteral("<p>No entries.</p>");
  }
  html += QStringLiteral(
      "<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" width=\"100%\">"
      "<thead><tr><th>Date</th><th>Mileage</th><th>Operation</th>");
  if (with_costs) html += QStringLiteral("<th>Cost</th>");
  html += QStringLiteral("<th>Notes</th></tr></thead>");
  double total = 0;
  for (const Record* record : records) {
    html += QStringLiteral("<tr><td>%1</td><td align=\"right\">%2</td><td>%3</td>")
                .arg(escaped(record->value("date")), escaped(record->value("mileage")),
                     escaped(record->operation()));
    if (with_costs) {
      html += QStringLiteral("<td align=\"right\">%1</td>").arg(escaped(record->value("cost")));
      total += static_cast<double>(record->cost());
    }
    html += QStringLiteral("<td>%1</td></tr>")
                .arg(escaped(record->notes()).replace(QLatin1Char('\n'), QStringLiteral("<br>")));
  }
  html += QStringLiteral("</table>");
  if (with_costs) {
    html += QStringLiteral("<p><b>Total cost: %1</b></p>").arg(QString::number(total, 'f', 2));
  }
  auto document = std::make_unique<QTextDocument>();
  document->setHtml(html);
  return document;
}

// An unpaginated document is laid out on the device's own pages.
void service_history::print(QPagedPaintDevice& device) const { document()->print(&device); }

bool service_history::write_pdf(const QString& path) const {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
  QPdfWriter writer(&file);
  writer.setPageSize(QPageSize(QPageSize::A4));
  writer.setTitle(QStringLiteral("Service history: %1").arg(log_name));
  writer.setCreator(QStringLiteral("Tarvik"));
  print(writer);
  return true;
}

}  // namespace tarvik
