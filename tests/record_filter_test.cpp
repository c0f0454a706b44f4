// The table's sorting and filtering over the model, against the plain way
// of working out what to show: every record, stably sorted by the column's
// value, then filtered. Random steps change the records, the sort and the
// filter as the window does, and an index held across each step (the
// current cell) must stay on its record while that record is shown.
#include <gtest/gtest.h>

#include <QDate>
#include <QDateTime>
#include <QPersistentModelIndex>
#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "data/data_source.h"
#include "data/record.h"
#include "ui/record_filter.h"
#include "ui/record_model.h"

namespace tarvik {
namespace {

// Records in memory, in the order given.
class memory_store : public DataSource {
 public:
  bool commit() override { return true; }
  Record* remove(int identifier) override {
    for (auto at = records_.begin(); at != records_.end(); ++at) {
      if ((*at)->identifier() != identifier) continue;
      Record* taken = at->release();
      records_.erase(at);
      return taken;
    }
    return nullptr;
  }
  std::vector<int> identifiers() override {
    std::vector<int> ids;
    for (const auto& record : records_) ids.push_back(record->identifier());
    return ids;
  }
  int next_id() override { return next_++; }
  Record* record(int identifier) override {
    for (const auto& record : records_) {
      if (record->identifier() == identifier) return record.get();
    }
    return nullptr;
  }
  void record(Record* record) override { records_.emplace_back(record); }
  void insert(std::size_t position, Record* record) override {
    records_.emplace(records_.begin() + static_cast<std::ptrdiff_t>(std::min(position, records_.size())),
                     record);
  }
  void rollback() override {}

 private:
  std::vector<std::unique_ptr<Record>> records_;
  int next_ = 0;
};

constexpr long k2001 = 978307200;  // 2001-01-01, UTC as the tests run
constexpr long kDay = 86400;
const double kNaN = std::numeric_limits<double>::quiet_NaN();

// Few values each, so that keys tie often; letter cases differ.
void fill(Record& record, std::mt19937& random) {
  const char* const operations[] = {"Fuel", "fuel", "Oil", "oil change", "Tyres", "Brakes"};
  const double mileages[] = {100, 200, 200, 50.5, kNaN, 1e6};
  const float costs[] = {10, 10, 9.5f, 0, 120};
  std::string notes;
  switch (random() % 5) {
    case 0: break;
    case 1: notes = "Filter"; break;
    case 2: notes = "AB cd"; break;
    case 3: notes = "filter too"; break;
    // Distinct texts enough to outgrow the first table of them.
    default: notes = "note " + std::to_string(random() % 100); break;
  }
  record.setup(record.identifier(), k2001 + static_cast<long>(random() % 6) * kDay / 2,
               mileages[random() % 6], operations[random() % 6], notes, costs[random() % 5]);
}

std::string lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// NaN after every number.
int compare_numbers(double x, double y) {
  if (std::isnan(x) || std::isnan(y)) return static_cast<int>(std::isnan(x)) - static_cast<int>(std::isnan(y));
  return x < y ? -1 : x > y ? 1 : 0;
}

int compare_by(int column, const Record& a, const Record& b) {
  switch (column) {
    case 0: return compare_numbers(a.mileage(), b.mileage());
    case 1: return compare_numbers(static_cast<double>(a.date()), static_cast<double>(b.date()));
    case 2: return lower(a.operation()).compare(lower(b.operation()));
    case 3: return compare_numbers(a.cost(), b.cost());
    default: return lower(a.notes()).compare(lower(b.notes()));
  }
}

struct view_settings {
  int column = -1;
  Qt::SortOrder order = Qt::AscendingOrder;
  std::string text;  // lower case
  std::optional<std::pair<QDate, QDate>> days;
};

// The identifiers of the records to show, top to bottom.
std::vector<int> expected_ids(memory_store& store, const view_settings& view) {
  std::vector<const Record*> rows;
  for (const int id : store.identifiers()) rows.push_back(store.record(id));
  if (view.column >= 0) {
    std::stable_sort(rows.begin(), rows.end(), [&](const Record* a, const Record* b) {
      return view.order == Qt::AscendingOrder ? compare_by(view.column, *a, *b) < 0
                                              : compare_by(view.column, *b, *a) < 0;
    });
  }
  std::vector<int> ids;
  for (const Record* record : rows) {
    if (!view.text.empty() && lower(record->operation()).find(view.text) == std::string::npos &&
        lower(record->notes()).find(view.text) == std::string::npos) {
      continue;
    }
    if (view.days && (record->date() < view.days->first.startOfDay().toSecsSinceEpoch() ||
                      record->date() >= view.days->second.addDays(1).startOfDay().toSecsSinceEpoch())) {
      continue;
    }
    ids.push_back(record->identifier());
  }
  return ids;
}

std::vector<int> shown_ids(const record_model& model, const record_filter& filter) {
  std::vector<int> ids;
  for (int row = 0; row < filter.rowCount(); ++row) {
    const int source = filter.mapToSource(filter.index(row, 0)).row();
    ids.push_back(model.identifiers()[static_cast<std::size_t>(source)]);
  }
  return ids;
}

TEST(record_filter, EveryStepShowsWhatSortingAndFilteringAllRecordsAnewWould) {
  std::mt19937 random(20240611);
  memory_store store;
  for (int k = 0; k < 40; ++k) {
    auto* record = new Record(store.next_id());
    fill(*record, random);
    store.record(record);
  }
  record_model model({"Mileage", "Date", "Operation", "Cost", "Notes"},
                    {"Mileage", "Date", "Operation", "Cost", "Notes"}, nullptr);
  model.reload(&store);
  record_filter filter(&model, nullptr);
  view_settings view;
  const char* const searches[] = {"", "f", "fu", "fuel", "FUEL", "il", "fil", "filter t", "ab c",
                                  "note 1", "zz"};

  for (int step = 0; step < 600; ++step) {
    // The current cell, on some row shown, and the record it shows.
    QPersistentModelIndex current;
    int current_id = -1;
    if (filter.rowCount() > 0) {
      current = filter.index(static_cast<int>(random() % static_cast<unsigned>(filter.rowCount())), 2);
      current_id = model.identifiers()[static_cast<std::size_t>(filter.mapToSource(current).row())];
    }
    // Changes a record, puts one in or takes one out, as an undoable step
    // does; the window refreshes after each, or after a burst of them.
    const auto change_records = [&](int count) {
      for (int k = 0; k < count; ++k) {
        const auto rows = static_cast<unsigned>(model.rowCount());
        const auto what = random() % 4;
        if (what <= 1 && rows > 0) {
          const auto row = random() % rows;
          fill(*store.record(model.identifiers()[row]), random);
          model.changed(row);
        } else if (what == 2 || rows == 0) {
          auto* record = new Record(store.next_id());
          fill(*record, random);
          const std::size_t position = random() % (rows + 1);
          store.insert(position, record);
          model.inserted(position, record->identifier());
        } else {
          const auto row = random() % rows;
          delete store.remove(model.identifiers()[row]);
          model.removed(row);
        }
      }
      filter.refresh();
    };
    switch (random() % 8) {
      case 0:
        view.column = static_cast<int>(random() % 6) - 1;
        view.order = random() % 2 == 0 ? Qt::AscendingOrder : Qt::DescendingOrder;
        filter.sort(view.column, view.order);
        break;
      case 1:
      case 2: {
        const QString text = QString::fromLatin1(searches[random() % std::size(searches)]);
        view.text = lower(text.toStdString());
        filter.set_text(text);
        break;
      }
      case 3:
        if (random() % 2 == 0) {
          const QDate first = QDate(2001, 1, 1).addDays(static_cast<int>(random() % 3));
          view.days = std::make_pair(first, first.addDays(static_cast<int>(random() % 2)));
        } else {
          view.days.reset();
        }
        filter.set_dates(view.days);
        break;
      case 7:
        // More than are moved one by one, at times.
        change_records(1 + static_cast<int>(random() % 80));
        break;
      default:
        change_records(1);
        break;
    }
    const std::vector<int> expected = expected_ids(store, view);
    ASSERT_EQ(shown_ids(model, filter), expected) << "step " << step;
    const bool still_shown = std::find(expected.begin(), expected.end(), current_id) != expected.end();
    if (current_id >= 0 && still_shown) {
      ASSERT_TRUE(current.isValid()) << "step " << step;
      EXPECT_EQ(current.column(), 2);
      EXPECT_EQ(model.identifiers()[static_cast<std::size_t>(filter.mapToSource(current).row())],
                current_id)
          << "step " << step;
    } else {
      EXPECT_FALSE(current.isValid()) << "step " << step;
    }
    for (int row = 0; row < filter.rowCount(); row += 7) {
      EXPECT_EQ(filter.mapFromSource(filter.mapToSource(filter.index(row, 3))), filter.index(row, 3));
    }
  }
}

TEST(record_filter, EqualKeysKeepStoreOrderBothWaysAndNaNSortsAfterEveryNumber) {
  memory_store store;
  const double mileages[] = {200, kNaN, 100, 200, kNaN, 100};
  for (const double mileage : mileages) {
    auto* record = new Record(store.next_id());
    record->mileage(mileage);
    store.record(record);
  }
  record_model model({"Mileage"}, {"Mileage"}, nullptr);
  model.reload(&store);
  record_filter filter(&model, nullptr);
  filter.sort(0, Qt::AscendingOrder);
  EXPECT_EQ(filter.source_rows(), (std::vector<int>{2, 5, 0, 3, 1, 4}));
  filter.sort(0, Qt::DescendingOrder);
  EXPECT_EQ(filter.source_rows(), (std::vector<int>{1, 4, 0, 3, 2, 5}));
  // A record changed to tie with others takes its place among them by its
  // place in the store.
  store.record(5)->mileage(kNaN);
  model.changed(5);
  filter.refresh();
  EXPECT_EQ(filter.source_rows(), (std::vector<int>{1, 4, 5, 0, 3, 2}));
  filter.sort(-1, Qt::AscendingOrder);
  EXPECT_EQ(filter.source_rows(), (std::vector<int>{0, 1, 2, 3, 4, 5}));
}

}  // namespace
}  // namespace tarvik
