// The due list's words: what the window's list and a command-line printer
// say about one interval, in the numbers of a locale.
#include "ui/due_texts.h"

#include <gtest/gtest.h>

#include "insight/insight_support.h"

namespace tarvik {
namespace {

using testing::local_time;

TEST(DueTexts, WhatIsLeftInTheUnitAndTheLocaleNumbers) {
  const QLocale english(QLocale::English, QLocale::UnitedStates);
  const QLocale german(QLocale::German, QLocale::Germany);
  const long today = local_time(2024, 1, 10);
  due_item item;
  item.state = due_state::ok;
  item.last_date = local_time(2023, 1, 31);
  item.next_date = local_time(2024, 4, 14);
  item.next_mileage = 65000;
  item.distance_left = 3211;
  item.days_left = 95;
  item.due_by = due_limit::date;
  item.due_date = item.next_date;
  item.soon_days = 30;
  item.soon_distance = 1000;
  due_texts texts = describe_due(item, today, QStringLiteral("km"), english);
  EXPECT_EQ(texts.left, QStringLiteral("3,211 km and 95 days"));
  EXPECT_EQ(texts.when, QStringLiteral("2024-04-14"));
  EXPECT_EQ(texts.limit, QStringLiteral("date"));
  EXPECT_EQ(texts.state, QStringLiteral("OK"));
  EXPECT_TRUE(texts.soon.contains(QStringLiteral("1,000 km or 30 days"))) << texts.soon.toStdString();
  EXPECT_EQ(describe_due(item, today, QStringLiteral("km"), german).left,
            QStringLiteral("3.211 km and 95 days"));
  EXPECT_EQ(describe_due(item, today, QString(), english).left, QStringLiteral("3,211 and 95 days"));

  // Overdue, by days, by distance, by both; never a minus sign.
  item.state = due_state::overdue;
  item.days_left = -12;
  EXPECT_EQ(describe_due(item, today, QStringLiteral("km"), english).left,
            QStringLiteral("overdue by 12 days"));
  item.days_left = 40;
  item.distance_left = -525;
  item.due_by = due_limit::distance;
  item.due_date.reset();
  texts = describe_due(item, today, QStringLiteral("mi"), english);
  EXPECT_EQ(texts.left, QStringLiteral("overdue by 525 mi"));
  EXPECT_EQ(texts.when, QStringLiteral("at 65,000 mi"));
  EXPECT_EQ(texts.limit, QStringLiteral("distance"));
  item.days_left = -1;
  EXPECT_EQ(describe_due(item, today, QStringLiteral("km"), german).left,
            QStringLiteral("overdue by 525 km and 1 day"));

  // Expected by the pace: the estimate's date, and how far off it is.
  due_item estimated;
  estimated.state = due_state::due_soon;
  estimated.last_date = local_time(2023, 1, 31);
  estimated.distance_left = 800;
  estimated.projected_date = local_time(2024, 1, 30);
  estimated.due_by = due_limit::distance;
  estimated.due_date = estimated.projected_date;
  texts = describe_due(estimated, today, QStringLiteral("km"), english);
  EXPECT_EQ(texts.left, QStringLiteral("800 km and about 20 days"));
  EXPECT_EQ(texts.limit, QStringLiteral("distance (estimated)"));
  EXPECT_EQ(texts.state, QStringLiteral("Due soon"));
  estimated.state = due_state::due_estimated;
  EXPECT_EQ(due_line(QStringLiteral("Oil change"), estimated, today, QStringLiteral("km"), english),
            QStringLiteral("Oil change: Due (estimated), 800 km and about 20 days (due 2024-01-30 by "
                           "distance (estimated))"));
  EXPECT_EQ(due_line(QStringLiteral("Belt"), due_item{}, today, QStringLiteral("km"), english),
            QStringLiteral("Belt: Never done"));
}

}  // namespace
}  // namespace tarvik
