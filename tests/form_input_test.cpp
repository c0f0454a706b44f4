// How the Edit Record dialog reads a typed number, in the locales whose
// marks differ: English (comma groups), German (full stop groups, comma
// decimal) and French (spaces group, comma decimal).
#include "ui/form_input.h"

#include <gtest/gtest.h>

#include <QLocale>
#include <cfloat>
#include <string>

namespace tarvik {
namespace {

const QLocale kEnglish(QLocale::English, QLocale::UnitedStates);
const QLocale kGerman(QLocale::German, QLocale::Germany);
const QLocale kFrench(QLocale::French, QLocale::France);

// What the text is read as: the value, or why it is refused.
std::string read(const QString& text, const QLocale& locale, double largest = DBL_MAX) {
  const number_input number = read_number(text, largest, locale);
  switch (number.problem) {
    case input_problem::none: return std::to_string(number.value);
    case input_problem::malformed: return "malformed";
    case input_problem::grouping: return "grouping";
    case input_problem::out_of_range: return "out of range";
  }
  return "?";
}

std::string read(const char* text, const QLocale& locale) {
  return read(QString::fromUtf8(text), locale);
}

TEST(ReadNumber, ThePlainFormReadsTheSameEverywhere) {
  for (const QLocale& locale : {kEnglish, kGerman, kFrench, QLocale::c()}) {
    EXPECT_EQ(read("148950.5", locale), "148950.500000") << locale.name().toStdString();
    EXPECT_EQ(read("  -.5 ", locale), "-0.500000");
    EXPECT_EQ(read("7e3", locale), "7000.000000");
    EXPECT_EQ(read("+12", locale), "12.000000");
    EXPECT_EQ(read("12.", locale), "12.000000") << "a decimal mark with nothing after it";
    EXPECT_EQ(read("1e999", locale), "out of range");
  }
  EXPECT_EQ(read(QStringLiteral("1e39"), kEnglish, FLT_MAX), "out of range");
}

// One separator: three digits after it are a group where the locale groups
// with that mark; any other count makes it the decimal mark.
TEST(ReadNumber, ALoneSeparatorGroupsOnlyBeforeExactlyThreeDigitsAndAsTheLocaleHasIt) {
  EXPECT_EQ(read("148,950", kEnglish), "148950.000000");
  EXPECT_EQ(read("148,950", kGerman), "148.950000");
  EXPECT_EQ(read("148,950", kFrench), "148.950000");
  EXPECT_EQ(read("149.200", kGerman), "149200.000000");
  EXPECT_EQ(read("149.200", kEnglish), "149.200000");
  EXPECT_EQ(read("149.200", kFrench), "149.200000") << "the full stop is no French mark";
  for (const QLocale& locale : {kEnglish, kGerman, kFrench}) {
    EXPECT_EQ(read("12,50", locale), "12.500000") << "a decimal comma in any locale";
    EXPECT_EQ(read("12,5000", locale), "12.500000");
    EXPECT_EQ(read("149.20", locale), "149.200000");
    EXPECT_EQ(read(",5", locale), "0.500000");
  }
  // More than three digits before it: no first group is that long.
  EXPECT_EQ(read("1234,567", kEnglish), "1234.567000");
  EXPECT_EQ(read("1234.567", kGerman), "1234.567000");
}

TEST(ReadNumber, GroupsAreThreesThroughout) {
  EXPECT_EQ(read("1,234,567", kEnglish), "1234567.000000");
  EXPECT_EQ(read("1.234.567", kGerman), "1234567.000000");
  EXPECT_EQ(read("1.234.567", kEnglish), "1234567.000000") << "a mark twice can only group";
  EXPECT_EQ(read("1,234,567.25", kEnglish), "1234567.250000");
  EXPECT_EQ(read("1,23,456", kEnglish), "grouping");
  EXPECT_EQ(read("1,2,3", kEnglish), "grouping");
  EXPECT_EQ(read("1234,567,890", kEnglish), "grouping");
  EXPECT_EQ(read("148,950,", kEnglish), "grouping");
  EXPECT_EQ(read("12 34", kFrench), "grouping");
  EXPECT_EQ(read("1.234.5", kGerman), "grouping");
}

// Both marks: the last, written once, is the decimal, in any locale; the
// other groups. Spaces group only where the locale groups with them.
TEST(ReadNumber, TwoKindsOfMarkReadByTheirOrder) {
  for (const QLocale& locale : {kEnglish, kGerman, kFrench}) {
    EXPECT_EQ(read("1.234,5", locale), "1234.500000") << locale.name().toStdString();
    EXPECT_EQ(read("1,234.5", locale), "1234.500000") << locale.name().toStdString();
  }
  for (const char* spaced : {"1\u202F234,5", "1\u00A0234,5", "1 234,5", "-1 234 567,5"}) {
    EXPECT_NE(read(spaced, kFrench).find("234"), std::string::npos) << spaced;
    EXPECT_EQ(read(spaced, kEnglish), "malformed") << spaced;
    EXPECT_EQ(read(spaced, kGerman), "malformed") << spaced;
  }
  EXPECT_EQ(read("1 234", kFrench), "1234.000000");
  EXPECT_EQ(read("1,234,5", kEnglish), "grouping");
  EXPECT_EQ(read("1,234.5,6", kEnglish), "malformed") << "the decimal mark twice";
  EXPECT_EQ(read("1.234,5.6", kGerman), "malformed");
  EXPECT_EQ(read("1 234.567,8", kFrench), "malformed") << "three kinds of mark";
  EXPECT_EQ(read("12,34.5", kEnglish), "grouping");
}

TEST(ReadNumber, SignsLettersAndStrayMarks) {
  EXPECT_EQ(read("-148,950", kEnglish), "-148950.000000");
  EXPECT_EQ(read("\u2212" "12,5", kGerman), "-12.500000");
  for (const char* text : {"", " ", "--5", "5-", "+-5", "- 5", "abc", "12.5 km", "0x10", "inf",
                           "nan", "1/2", "12%", ".", ",", "1,5e3"}) {
    EXPECT_EQ(read(text, kEnglish), "malformed") << text;
  }
}

}  // namespace
}  // namespace tarvik
