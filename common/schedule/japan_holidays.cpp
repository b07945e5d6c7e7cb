#include "common/schedule/japan_holidays.h"

#include <algorithm>

namespace ombrel {

namespace {

using std::chrono::days;
using std::chrono::sys_days;
using std::chrono::year_month_day;

constexpr int kStillInForce = 9999;

// Where in its month a rule puts its day.
enum class Falls { kOnDay, kOnMonday, kOnVernalEquinox, kOnAutumnalEquinox };

struct HolidayRule {
  std::wstring_view name;
  int firstYear;
  int lastYear;
  unsigned month;
  Falls falls;
  unsigned dayOrWeek;  // the day of the month, or which Monday of it
};

// The holidays as the law and its amendments set them, each with the years it
// held: 1966 added 敬老の日 and 体育の日, and 建国記念の日 from 1967; 1989 moved
// 天皇誕生日 to the new emperor's birthday and named April 29 みどりの日; 海の日
// came in 1996; the Happy Monday amendments moved four days to a Monday in
// 2000 and 2003; 2007 named April 29 昭和の日 and moved みどりの日 to May 4;
// 山の日 came in 2016; the abdication moved 天皇誕生日 to February 23 from 2020,
// leaving 2019 without one; 体育の日 became スポーツの日 in 2020.
constexpr HolidayRule kRules[] = {
    {L"元日", 1948, kStillInForce, 1, Falls::kOnDay, 1},
    {L"成人の日", 1948, 1999, 1, Falls::kOnDay, 15},
    {L"成人の日", 2000, kStillInForce, 1, Falls::kOnMonday, 2},
    {L"建国記念の日", 1967, kStillInForce, 2, Falls::kOnDay, 11},
    {L"天皇誕生日", 2020, kStillInForce, 2, Falls::kOnDay, 23},
    {L"春分の日", 1948, kStillInForce, 3, Falls::kOnVernalEquinox, 0},
    {L"天皇誕生日", 1948, 1988, 4, Falls::kOnDay, 29},
    {L"みどりの日", 1989, 2006, 4, Falls::kOnDay, 29},
    {L"昭和の日", 2007, kStillInForce, 4, Falls::kOnDay, 29},
    {L"憲法記念日", 1948, kStillInForce, 5, Falls::kOnDay, 3},
    {L"みどりの日", 2007, kStillInForce, 5, Falls::kOnDay, 4},
    {L"こどもの日", 1948, kStillInForce, 5, Falls::kOnDay, 5},
    {L"海の日", 1996, 2002, 7, Falls::kOnDay, 20},
    {L"海の日", 2003, kStillInForce, 7, Falls::kOnMonday, 3},
    {L"山の日", 2016, kStillInForce, 8, Falls::kOnDay, 11},
    {L"敬老の日", 1966, 2002, 9, Falls::kOnDay, 15},
    {L"敬老の日", 2003, kStillInForce, 9, Falls::kOnMonday, 3},
    {L"秋分の日", 1948, kStillInForce, 9, Falls::kOnAutumnalEquinox, 0},
    {L"体育の日", 1966, 1999, 10, Falls::kOnDay, 10},
    {L"体育の日", 2000, 2019, 10, Falls::kOnMonday, 2},
    {L"スポーツの日", 2020, kStillInForce, 10, Falls::kOnMonday, 2},
    {L"文化の日", 1948, kStillInForce, 11, Falls::kOnDay, 3},
    {L"勤労感謝の日", 1948, kStillInForce, 11, Falls::kOnDay, 23},
    {L"天皇誕生日", 1989, 2018, 12, Falls::kOnDay, 23},
};

struct SingleDay {
  int year;
  unsigned month;
  unsigned day;
  std::wstring_view name;
};

// Days off given once by a law of their own: the weddings of the crown
// princes (1959, 1993), the Showa emperor's funeral (1989) and the
// enthronements (1990, 2019). The 2019 law counts its days as national
// holidays for the substitute and citizens' rules, which is how 2019 got
// April 30 and May 2 off; they are counted so for the earlier ones too, where
// it changes nothing.
constexpr SingleDay kSingleDays[] = {
    {1959, 4, 10, L"結婚の儀"}, {1989, 2, 24, L"大喪の礼"}, {1990, 11, 12, L"即位礼正殿の儀"},
    {1993, 6, 9, L"結婚の儀"},  {2019, 5, 1, L"即位の日"},  {2019, 10, 22, L"即位礼正殿の儀"},
};

// The Tokyo Olympics' years: these holidays fell on these days instead of the
// days their rules give.
constexpr SingleDay kOlympicMoves[] = {
    {2020, 7, 23, L"海の日"}, {2020, 7, 24, L"スポーツの日"}, {2020, 8, 10, L"山の日"},
    {2021, 7, 22, L"海の日"}, {2021, 7, 23, L"スポーツの日"}, {2021, 8, 8, L"山の日"},
};

constexpr year_month_day Date(int year, unsigned month, unsigned day) {
  return year_month_day{std::chrono::year{year}, std::chrono::month{month}, std::chrono::day{day}};
}

constexpr year_month_day kLawInForce = Date(1948, 7, 20);
// A holiday on a Sunday gives the next day off (振替休日) from here on.
constexpr year_month_day kSubstituteInForce = Date(1973, 4, 12);
// A day between two holidays is a day off (国民の休日) from here on.
constexpr year_month_day kCitizensHolidayInForce = Date(1985, 12, 27);
// From 2007 a substitute holiday goes to the first following day that is no
// holiday (May 6 when May 3 is a Sunday), where it was the next day alone
// before; and a citizens' holiday no longer has to be a weekday or other than
// a substitute holiday.
constexpr int kRulesOf2007 = 2007;

// The usual approximation of the equinox days: the mean equinox of 1980 plus
// the tropical year's drift against the calendar, less the leap days since.
// Each era has its constants; the integer division truncates toward zero,
// which the constants of the years before 1980 count on.
unsigned EquinoxDay(int year, Falls equinox) {
  struct Era {
    int lastYear;
    double vernal;
    double autumnal;
    int leapYearsFrom;
  };
  constexpr Era kEras[] = {
      {1979, 20.8357, 23.2588, 1983},
      {2099, 20.8431, 23.2488, 1980},
      {kStillInForce, 21.8510, 24.2488, 1980},
  };
  const Era& era = *std::find_if(std::begin(kEras), std::end(kEras),
                                 [year](const Era& candidate) { return year <= candidate.lastYear; });
  const double mean = equinox == Falls::kOnVernalEquinox ? era.vernal : era.autumnal;
  const int leapDays = (year - era.leapYearsFrom) / 4;
  return static_cast<unsigned>(mean + 0.242194 * (year - 1980) - leapDays);
}

year_month_day RuleDate(const HolidayRule& rule, int year) {
  for (const SingleDay& move : kOlympicMoves) {
    if (move.year == year && move.name == rule.name) return Date(year, move.month, move.day);
  }
  switch (rule.falls) {
    case Falls::kOnMonday:
      return year_month_day{sys_days{std::chrono::year{year} / std::chrono::month{rule.month} /
                                     std::chrono::Monday[rule.dayOrWeek]}};
    case Falls::kOnVernalEquinox:
    case Falls::kOnAutumnalEquinox:
      return Date(year, rule.month, EquinoxDay(year, rule.falls));
    case Falls::kOnDay:
      break;
  }
  return Date(year, rule.month, rule.dayOrWeek);
}

bool IsSunday(sys_days day) { return std::chrono::weekday{day} == std::chrono::Sunday; }

// The named holidays of the year, in date order.
std::vector<Holiday> NamedHolidays(int year) {
  std::vector<Holiday> named;
  for (const HolidayRule& rule : kRules) {
    if (year >= rule.firstYear && year <= rule.lastYear) named.push_back({RuleDate(rule, year), rule.name});
  }
  for (const SingleDay& single : kSingleDays) {
    if (single.year == year) named.push_back({Date(year, single.month, single.day), single.name});
  }
  std::erase_if(named, [](const Holiday& holiday) { return holiday.date < kLawInForce; });
  std::sort(named.begin(), named.end(), [](const Holiday& a, const Holiday& b) { return a.date < b.date; });
  return named;
}

}  // namespace

std::vector<Holiday> JapaneseHolidays(int year) {
  const std::vector<Holiday> named = NamedHolidays(year);
  const auto isNamed = [&named](sys_days day) {
    return std::any_of(named.begin(), named.end(),
                       [day](const Holiday& holiday) { return sys_days{holiday.date} == day; });
  };
  const bool rulesOf2007 = year >= kRulesOf2007;

  std::vector<Holiday> all = named;
  for (const Holiday& holiday : named) {
    const sys_days day{holiday.date};
    if (holiday.date < kSubstituteInForce || !IsSunday(day)) continue;
    sys_days off = day + days{1};
    if (rulesOf2007) {
      while (isNamed(off)) off += days{1};
    } else if (isNamed(off)) {
      continue;
    }
    all.push_back({year_month_day{off}, L"振替休日"});
  }
  for (std::size_t i = 1; i < named.size(); ++i) {
    const sys_days between = sys_days{named[i - 1].date} + days{1};
    if (sys_days{named[i].date} != between + days{1} || year_month_day{between} < kCitizensHolidayInForce) {
      continue;
    }
    const bool substitute = std::any_of(all.begin(), all.end(), [between](const Holiday& holiday) {
      return sys_days{holiday.date} == between;
    });
    if (substitute || (!rulesOf2007 && IsSunday(between))) continue;
    all.push_back({year_month_day{between}, L"国民の休日"});
  }
  std::sort(all.begin(), all.end(), [](const Holiday& a, const Holiday& b) { return a.date < b.date; });
  return all;
}

std::wstring_view JapaneseHolidayName(year_month_day day) {
  for (const Holiday& holiday : JapaneseHolidays(static_cast<int>(day.year()))) {
    if (holiday.date == day) return holiday.name;
  }
  return {};
}

}  // namespace ombrel
