#include "ui/due_texts.h"

#include <QCoreApplication>
#include <QStringList>
#include <cmath>

#include "data/calendar.h"
#include "data/record.h"
#include "ui/widget_text.h"

namespace tarvik {
namespace {

const QString kNone = QStringLiteral("\u2013");

// The texts of this file, translated under one context.
struct due_text {
  Q_DECLARE_TR_FUNCTIONS(tarvik::due_texts)
};

QString day_of(long date) {
  Record dated(0);
  dated.date(date);
  return to_widget_text(dated.value("date"));
}

QString distance(double value, const QString& unit, const QLocale& locale) {
  // Whole units: a fraction left over is no help in planning.
  const QString number = locale.toString(std::round(value), 'f', 0);
  return unit.isEmpty() ? number : due_text::tr("%1 %2").arg(number, unit);
}

QString days(long count, const QLocale& locale) {
  return count == 1 || count == -1 ? due_text::tr("%1 day").arg(locale.toString(count))
                                   : due_text::tr("%1 days").arg(locale.toString(count));
}

}  // namespace

due_texts describe_due(const due_item& item, long today, const QString& unit,
                       const QLocale& locale) {
  due_texts texts;
  switch (item.state) {
    case due_state::not_done: texts.state = due_text::tr("Never done"); break;
    case due_state::ok: texts.state = due_text::tr("OK"); break;
    case due_state::due_soon: texts.state = due_text::tr("Due soon"); break;
    case due_state::due_estimated: texts.state = due_text::tr("Due (estimated)"); break;
    case due_state::overdue: texts.state = due_text::tr("Overdue"); break;
  }

  texts.when = kNone;
  if (item.due_date) {
    texts.when = day_of(*item.due_date);
  } else if (item.due_by == due_limit::distance && item.next_mileage) {
    texts.when = due_text::tr("at %1").arg(distance(*item.next_mileage, unit, locale));
  }
  if (item.due_by == due_limit::date) texts.limit = due_text::tr("date");
  if (item.due_by == due_limit::distance) {
    texts.limit = item.due_date ? due_text::tr("distance (estimated)") : due_text::tr("distance");
  }

  QStringList left;
  if (item.state == due_state::overdue) {
    if (item.distance_left && *item.distance_left < 0) {
      left << distance(-*item.distance_left, unit, locale);
    }
    if (item.days_left && *item.days_left < 0) left << days(-*item.days_left, locale);
    texts.left = due_text::tr("overdue by %1").arg(left.join(due_text::tr(" and ")));
  } else if (item.state != due_state::not_done) {
    if (item.distance_left) left << distance(*item.distance_left, unit, locale);
    if (item.days_left) {
      left << days(*item.days_left, locale);
    } else if (item.projected_date) {
      // No date limit: how far off the estimate is.
      const std::optional<long> due = local_day_number(*item.projected_date);
      const std::optional<long> now = local_day_number(today);
      if (due && now && *due > *now) left << due_text::tr("about %1").arg(days(*due - *now, locale));
    }
    texts.left = left.isEmpty() ? kNone : left.join(due_text::tr(" and "));
  } else {
    texts.left = kNone;
  }

  QStringList soon;
  if (item.soon_distance) soon << distance(*item.soon_distance, unit, locale);
  if (item.soon_days) soon << days(*item.soon_days, locale);
  texts.soon = due_text::tr("Due soon: when a tenth of the interval is left, at most %1 and %2.")
                   .arg(days(kDueSoonDays, locale), distance(kDueSoonDistance, unit, locale));
  if (!soon.isEmpty()) texts.soon += QLatin1Char(' ') + due_text::tr("Here: %1.").arg(soon.join(due_text::tr(" or ")));
  texts.soon += QLatin1Char(' ') +
                due_text::tr("Due (estimated): the distance is expected to be reached by today at the "
                   "recent pace, though the log does not show it yet.");
  return texts;
}

QString due_line(const QString& operation, const due_item& item, long today, const QString& unit,
                 const QLocale& locale) {
  const due_texts texts = describe_due(item, today, unit, locale);
  QString line = due_text::tr("%1: %2").arg(operation, texts.state);
  if (item.state == due_state::not_done) return line;
  line += due_text::tr(", %1").arg(texts.left);
  if (!texts.limit.isEmpty()) line += due_text::tr(" (due %1 by %2)").arg(texts.when, texts.limit);
  return line;
}

}  // namespace tarvik
