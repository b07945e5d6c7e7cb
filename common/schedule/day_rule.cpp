#include "common/schedule/day_rule.h"

#include <cwchar>
#include <iterator>

#include "common/port/system_port.h"
#include "common/schedule/japan_holidays.h"
#include "common/schedule/settings.h"

namespace ombrel {

namespace {

using std::chrono::sys_days;

// Monday 0 to Sunday 6, the order of Days.
unsigned WeekdayFromMonday(std::chrono::year_month_day day) {
  return std::chrono::weekday{sys_days{day}}.iso_encoding() - 1;
}

bool InYearEnd(std::chrono::year_month_day day) {
  const auto month = static_cast<unsigned>(day.month());
  const auto date = static_cast<unsigned>(day.day());
  return (month == 12 && date >= 29) || (month == 1 && date <= 3);
}

// A year and a week: time for every weekday to come round more often than
// holidays and the year end together can close it.
constexpr int kLongestSearchDays = 366 + 7;

}  // namespace

DayJudgement JudgeDay(const Settings& settings, std::chrono::year_month_day day) {
  DayJudgement judgement;
  judgement.weekdayOff = !settings.OpensOnWeekday(WeekdayFromMonday(day));
  if (settings[Setting::kSkipHolidays] != 0) judgement.holiday = JapaneseHolidayName(day);
  judgement.yearEnd = settings[Setting::kSkipYearEnd] != 0 && InYearEnd(day);
  return judgement;
}

std::optional<std::chrono::year_month_day> NextOpeningDay(const Settings& settings,
                                                          std::chrono::year_month_day from) {
  sys_days day{from};
  for (int i = 0; i < kLongestSearchDays; ++i, day += std::chrono::days{1}) {
    if (JudgeDay(settings, std::chrono::year_month_day{day}).Opens()) return std::chrono::year_month_day{day};
  }
  return std::nullopt;
}

wchar_t WeekdayCharacter(std::chrono::year_month_day day) {
  constexpr std::wstring_view kWeekdays = L"月火水木金土日";
  return kWeekdays[WeekdayFromMonday(day)];
}

std::wstring DayText(std::chrono::year_month_day day) {
  wchar_t date[16] = {};
  std::swprintf(date, std::size(date), L"%04d-%02u-%02u", static_cast<int>(day.year()),
                static_cast<unsigned>(day.month()), static_cast<unsigned>(day.day()));
  return date + std::wstring(L" (") + WeekdayCharacter(day) + L')';
}

std::wstring ClosedDayReasons(const DayJudgement& judgement) {
  std::wstring reasons;
  const auto add = [&reasons](std::wstring_view word, std::wstring_view name = {}) {
    if (!reasons.empty()) reasons += L' ';
    reasons.append(word).append(name);
  };
  if (judgement.weekdayOff) add(kClosedOnWeekday);
  if (!judgement.holiday.empty()) add(kClosedOnHoliday, judgement.holiday);
  if (judgement.yearEnd) add(kClosedAtYearEnd);
  return reasons;
}

std::chrono::year_month_day DayOf(const LocalTime& time) {
  return std::chrono::year_month_day{std::chrono::year{time.year},
                                     std::chrono::month{static_cast<unsigned>(time.month)},
                                     std::chrono::day{static_cast<unsigned>(time.day)}};
}

}  // namespace ombrel
