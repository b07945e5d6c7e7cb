#include "common/schedule/day_rule.h"

#include <algorithm>
#include <cwchar>
#include <iterator>

#include "common/port/system_port.h"
#include "common/schedule/japan_holidays.h"

namespace ombrel {

namespace {

using std::chrono::sys_days;

bool InYearEnd(std::chrono::year_month_day day) {
  const auto month = static_cast<unsigned>(day.month());
  const auto date = static_cast<unsigned>(day.day());
  return (month == 12 && date >= 29) || (month == 1 && date <= 3);
}

// A year and a week: time for every weekday to come round more often than
// holidays and the year end together can close it.
constexpr int kLongestSearchDays = 366 + 7;

// The day judged, its holiday's name (when holidays are skipped) given.
DayJudgement Judge(const Settings& settings, std::chrono::year_month_day day, std::wstring_view holiday) {
  DayJudgement judgement;
  judgement.weekdayOff = !settings.OpensOnWeekday(WeekdayFromMonday(day));
  judgement.holiday = holiday;
  judgement.yearEnd = settings[Setting::kSkipYearEnd] != 0 && InYearEnd(day);
  judgement.closedDate = InDates(settings.Dates(Setting::kClosedDates), day);
  judgement.openDate = InDates(settings.Dates(Setting::kOpenDates), day);
  return judgement;
}

// The first day of `days` from `from` on (or back, for a step of -1 day) on
// which the calendar opens.
template <typename Opens>
std::optional<std::chrono::year_month_day> Search(std::chrono::year_month_day from, int step, Opens opens) {
  sys_days day{from};
  for (int i = 0; i < kLongestSearchDays; ++i, day += std::chrono::days{step}) {
    if (opens(std::chrono::year_month_day{day})) return std::chrono::year_month_day{day};
  }
  return std::nullopt;
}

}  // namespace

DayJudgement JudgeDay(const Settings& settings, std::chrono::year_month_day day) {
  return Judge(settings, day, settings[Setting::kSkipHolidays] != 0 ? JapaneseHolidayName(day) : L"");
}

std::optional<std::chrono::year_month_day> NextOpeningDay(const Settings& settings,
                                                          std::chrono::year_month_day from) {
  const auto opens = [&settings](std::chrono::year_month_day day) { return JudgeDay(settings, day).Opens(); };
  if (const auto next = Search(from, 1, opens)) return next;
  // Closed dates may close more than a year; the search goes on after them.
  for (const DateRange& closed : settings.Dates(Setting::kClosedDates)) {
    if (closed.last < from) continue;
    if (const auto next = Search(DaysAfter(closed.last, 1), 1, opens)) return next;
  }
  // Days=0000000 and a working day set apart.
  std::optional<std::chrono::year_month_day> open;
  for (const DateRange& range : settings.Dates(Setting::kOpenDates)) {
    const std::chrono::year_month_day first = std::max(range.first, from);
    if (first <= range.last && (!open || first < *open)) open = first;
  }
  return open;
}

unsigned WeekdayFromMonday(std::chrono::year_month_day day) {
  return std::chrono::weekday{sys_days{day}}.iso_encoding() - 1;
}

wchar_t WeekdayCharacter(std::chrono::year_month_day day) {
  constexpr std::wstring_view kWeekdays = L"月火水木金土日";
  return kWeekdays[WeekdayFromMonday(day)];
}

std::wstring IsoDayText(std::chrono::year_month_day day) {
  wchar_t date[16] = {};
  std::swprintf(date, std::size(date), L"%04d-%02u-%02u", static_cast<int>(day.year()),
                static_cast<unsigned>(day.month()), static_cast<unsigned>(day.day()));
  return date;
}

std::wstring DayText(std::chrono::year_month_day day) {
  return IsoDayText(day) + L" (" + WeekdayCharacter(day) + L')';
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
  if (judgement.closedDate) add(kClosedOnClosedDate);
  return reasons;
}

std::chrono::year_month_day DayOf(const LocalTime& time) {
  return std::chrono::year_month_day{std::chrono::year{time.year},
                                     std::chrono::month{static_cast<unsigned>(time.month)},
                                     std::chrono::day{static_cast<unsigned>(time.day)}};
}

std::chrono::year_month_day DaysAfter(std::chrono::year_month_day day, int count) {
  return std::chrono::year_month_day{sys_days{day} + std::chrono::days{count}};
}

bool OpeningCalendar::Opens(std::chrono::year_month_day day) {
  const int year = static_cast<int>(day.year());
  auto known = std::ranges::find(years_, year, &std::pair<int, std::vector<bool>>::first);
  if (known == years_.end()) {
    const sys_days first{std::chrono::year{year} / 1 / 1};
    const int length = (sys_days{std::chrono::year{year + 1} / 1 / 1} - first).count();
    // The year's holidays once, rather than once a day.
    std::vector<Holiday> holidays;
    if (settings_[Setting::kSkipHolidays] != 0) holidays = JapaneseHolidays(year);
    std::vector<bool> opens(static_cast<std::size_t>(length));
    for (int i = 0; i < length; ++i) {
      const std::chrono::year_month_day date{first + std::chrono::days{i}};
      const auto holiday = std::ranges::find(holidays, date, &Holiday::date);
      opens[static_cast<std::size_t>(i)] =
          Judge(settings_, date, holiday == holidays.end() ? L"" : holiday->name).Opens();
    }
    years_.emplace_back(year, std::move(opens));
    known = years_.end() - 1;
  }
  const sys_days first{std::chrono::year{year} / 1 / 1};
  return known->second[static_cast<std::size_t>((sys_days{day} - first).count())];
}

std::optional<std::chrono::year_month_day> OpeningCalendar::FirstFrom(std::chrono::year_month_day from) {
  return Search(from, 1, [this](std::chrono::year_month_day day) { return Opens(day); });
}

std::optional<std::chrono::year_month_day> OpeningCalendar::LastUpTo(std::chrono::year_month_day upTo) {
  return Search(upTo, -1, [this](std::chrono::year_month_day day) { return Opens(day); });
}

}  // namespace ombrel
