// Whether the list opens on a day, why not, and the next day it opens.
#include "common/schedule/day_rule.h"

#include <gtest/gtest.h>

#include "common/port/system_port.h"
#include "common/schedule/settings.h"

namespace ombrel {
namespace {

// The settings as the lines of the file's section say them.
Settings FromLines(const std::string& lines) { return ParseSettings("[Ombrel]\n" + lines).settings; }

std::chrono::year_month_day Day(int year, unsigned month, unsigned day) {
  return DayOf({year, static_cast<int>(month), static_cast<int>(day), 9, 0, 0});
}

struct JudgeCase {
  const char* name;
  std::string settings;
  std::chrono::year_month_day day;
  bool weekdayOff;
  std::wstring_view holiday;
  bool yearEnd;
  std::wstring_view reasons;  // as the run record says them
};

TEST(JudgeDayTest, EachRuleThatClosesTheDayIsNamed) {
  const JudgeCase cases[] = {
      {"defaults open on a holiday in the year end", "", Day(2026, 1, 1), false, L"", false, L""},
      {"weekday switched off", "Days=1111100", Day(2026, 12, 5), true, L"", false, L"weekday"},
      {"weekday switched on", "Days=1111100", Day(2026, 12, 7), false, L"", false, L""},
      {"Sunday alone", "Days=0000001", Day(2026, 12, 6), false, L"", false, L""},
      {"Monday off under Sunday alone", "Days=0000001", Day(2026, 12, 7), true, L"", false, L"weekday"},
      {"holiday skipped", "SkipHolidays=1", Day(2026, 1, 12), false, L"成人の日", false, L"holiday:成人の日"},
      {"holiday not skipped", "SkipHolidays=0", Day(2026, 1, 12), false, L"", false, L""},
      {"substitute holiday", "SkipHolidays=1", Day(2026, 5, 6), false, L"振替休日", false,
       L"holiday:振替休日"},
      {"citizens' holiday", "SkipHolidays=1", Day(2026, 9, 22), false, L"国民の休日", false,
       L"holiday:国民の休日"},
      {"day before the year end", "SkipYearEnd=1", Day(2026, 12, 28), false, L"", false, L""},
      {"first day of the year end", "SkipYearEnd=1", Day(2026, 12, 29), false, L"", true, L"year-end"},
      {"last day of the year end", "SkipYearEnd=1", Day(2027, 1, 3), false, L"", true, L"year-end"},
      {"day after the year end", "SkipYearEnd=1", Day(2027, 1, 4), false, L"", false, L""},
      {"year end without holidays", "SkipYearEnd=1", Day(2027, 1, 1), false, L"", true, L"year-end"},
      {"all three", "Days=1111100\nSkipHolidays=1\nSkipYearEnd=1", Day(2028, 1, 1), true, L"元日", true,
       L"weekday holiday:元日 year-end"},
  };
  for (const JudgeCase& c : cases) {
    const DayJudgement judgement = JudgeDay(FromLines(c.settings), c.day);
    EXPECT_EQ(judgement.weekdayOff, c.weekdayOff) << c.name;
    EXPECT_EQ(judgement.holiday, c.holiday) << c.name;
    EXPECT_EQ(judgement.yearEnd, c.yearEnd) << c.name;
    EXPECT_EQ(judgement.Opens(), !c.weekdayOff && c.holiday.empty() && !c.yearEnd) << c.name;
    EXPECT_EQ(ClosedDayReasons(judgement), c.reasons) << c.name;
  }
}

struct NextCase {
  const char* name;
  std::string settings;
  std::chrono::year_month_day from;
  std::optional<std::chrono::year_month_day> next;
};

TEST(NextOpeningDayTest, FirstDayFromTheGivenOneThatOpens) {
  const std::string kWorkDays = "Days=1111100\nSkipHolidays=1\nSkipYearEnd=1";
  const NextCase cases[] = {
      {"an open day itself", "", Day(2026, 12, 5), Day(2026, 12, 5)},
      {"past the weekend", "Days=0111100", Day(2026, 12, 5), Day(2026, 12, 8)},
      {"past Golden Week", kWorkDays, Day(2026, 5, 2), Day(2026, 5, 7)},
      {"past the year end", kWorkDays, Day(2026, 12, 29), Day(2027, 1, 4)},
      {"Mondays alone, past 成人の日", "Days=1000000\nSkipHolidays=1", Day(2026, 1, 6), Day(2026, 1, 19)},
      {"no weekday at all", "Days=0000000", Day(2026, 12, 5), std::nullopt},
  };
  for (const NextCase& c : cases) EXPECT_EQ(NextOpeningDay(FromLines(c.settings), c.from), c.next) << c.name;
}

TEST(DayTextTest, DateAndJapaneseWeekday) {
  const std::pair<std::chrono::year_month_day, std::wstring_view> cases[] = {
      {Day(2026, 12, 7), L"2026-12-07 (月)"},  {Day(2026, 12, 8), L"2026-12-08 (火)"},
      {Day(2026, 12, 9), L"2026-12-09 (水)"},  {Day(2026, 12, 10), L"2026-12-10 (木)"},
      {Day(2026, 12, 11), L"2026-12-11 (金)"}, {Day(2026, 12, 12), L"2026-12-12 (土)"},
      {Day(2027, 1, 3), L"2027-01-03 (日)"},
  };
  for (const auto& [day, text] : cases) EXPECT_EQ(DayText(day), text);
}

}  // namespace
}  // namespace ombrel
