// The rules of Japan's holidays where they began or changed, and the single
// days. Every date from 1970 to 2050 is compared with an independent list by
// the test holidays.against_holiday_jp; this table holds the years before it
// and the first year of each rule.
#include "common/schedule/japan_holidays.h"

#include <gtest/gtest.h>

namespace ombrel {
namespace {

struct HolidayCase {
  const char* why;
  int year;
  unsigned month;
  unsigned day;
  std::wstring_view name;  // empty: no holiday
};

TEST(JapaneseHolidaysTest, RulesWhereTheyBeganOrChanged) {
  const HolidayCase cases[] = {
      {"before the law came into force", 1948, 5, 3, L""},
      {"the law's first holiday", 1948, 9, 23, L"秋分の日"},
      {"equinox by the constants before 1980", 1960, 3, 20, L"春分の日"},
      {"crown prince's wedding", 1959, 4, 10, L"結婚の儀"},
      {"before 敬老の日", 1965, 9, 15, L""},
      {"first 敬老の日", 1966, 9, 15, L"敬老の日"},
      {"before 建国記念の日", 1966, 2, 11, L""},
      {"first 建国記念の日", 1967, 2, 11, L"建国記念の日"},
      {"Sunday holiday before substitutes", 1973, 2, 12, L""},
      {"first substitute holiday", 1973, 4, 30, L"振替休日"},
      {"Sunday between holidays before 2007", 1986, 5, 4, L""},
      {"substitute, not citizens' holiday", 1987, 5, 4, L"振替休日"},
      {"first citizens' holiday", 1988, 5, 4, L"国民の休日"},
      {"funeral", 1989, 2, 24, L"大喪の礼"},
      {"April 29 renamed", 1989, 4, 29, L"みどりの日"},
      {"emperor's birthday moved", 1989, 12, 23, L"天皇誕生日"},
      {"enthronement ceremony", 1990, 11, 12, L"即位礼正殿の儀"},
      {"crown prince's wedding", 1993, 6, 9, L"結婚の儀"},
      {"first 海の日", 1996, 7, 20, L"海の日"},
      {"成人の日 on its old day", 2000, 1, 15, L""},
      {"成人の日 on the second Monday", 2000, 1, 10, L"成人の日"},
      {"海の日 on the third Monday", 2003, 7, 21, L"海の日"},
      {"敬老の日 on the third Monday", 2004, 9, 20, L"敬老の日"},
      {"first 昭和の日", 2007, 4, 29, L"昭和の日"},
      {"substitute past the next holiday", 2008, 5, 6, L"振替休日"},
      {"first 山の日", 2016, 8, 11, L"山の日"},
      {"no emperor's birthday in 2019", 2019, 12, 23, L""},
      {"day between a holiday and the enthronement", 2019, 4, 30, L"国民の休日"},
      {"enthronement", 2019, 5, 1, L"即位の日"},
      {"day between the enthronement and a holiday", 2019, 5, 2, L"国民の休日"},
      {"first 天皇誕生日 in February", 2020, 2, 23, L"天皇誕生日"},
      {"Olympic move", 2020, 7, 24, L"スポーツの日"},
      {"no スポーツの日 on its rule's day in 2020", 2020, 10, 12, L""},
      {"substitute for a moved holiday", 2021, 8, 9, L"振替休日"},
  };
  for (const HolidayCase& c : cases) {
    const std::chrono::year_month_day date{std::chrono::year{c.year}, std::chrono::month{c.month},
                                           std::chrono::day{c.day}};
    EXPECT_EQ(JapaneseHolidayName(date), c.name) << c.why << " " << c.year << "-" << c.month << "-" << c.day;
  }
}

TEST(JapaneseHolidaysTest, YearInDateOrderNothingBeforeTheLaw) {
  EXPECT_TRUE(JapaneseHolidays(1947).empty());
  const std::vector<Holiday> year1948 = JapaneseHolidays(1948);
  ASSERT_EQ(year1948.size(), 3U);
  const std::vector<Holiday> year2019 = JapaneseHolidays(2019);
  for (std::size_t i = 1; i < year2019.size(); ++i) EXPECT_LT(year2019[i - 1].date, year2019[i].date);
}

}  // namespace
}  // namespace ombrel
