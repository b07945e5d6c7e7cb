// Whether the list opens on a day under the settings, why not when it does
// not, and the next day on which it will; and the calendar of many days in a
// row that an entry's own days are counted in.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/schedule/settings.h"

namespace ombrel {

struct LocalTime;

// Every rule of the settings that keeps the list closed on a day; a day may
// be closed by more than one (a Sunday January 1), and all of them are named.
struct DayJudgement {
  bool weekdayOff = false;  // Days has 0 for this weekday
  // The holiday's name when SkipHolidays is 1 and the day is one of Japan's
  // holidays; empty otherwise.
  std::wstring_view holiday;
  bool yearEnd = false;     // SkipYearEnd is 1 and the day lies in December 29 to January 3
  bool closedDate = false;  // the day lies in ClosedDates
  // The day lies in OpenDates: it opens whatever the other rules say, a
  // closed date included (土曜出勤 on a day off).
  bool openDate = false;

  [[nodiscard]] bool Opens() const {
    return openDate || (!weekdayOff && holiday.empty() && !yearEnd && !closedDate);
  }
};

[[nodiscard]] DayJudgement JudgeDay(const Settings& settings, std::chrono::year_month_day day);

// The first day from `from` on, `from` included, on which the list opens.
// Nothing when no day of the year and week that follow, nor of the closed
// dates and the year and week after them, opens and no open date comes
// later, which only happens when Days is 0000000: then the list never opens
// by itself, and a caller says so rather than naming a day.
[[nodiscard]] std::optional<std::chrono::year_month_day> NextOpeningDay(const Settings& settings,
                                                                        std::chrono::year_month_day from);

// Monday 0 to Sunday 6, the order of Days.
[[nodiscard]] unsigned WeekdayFromMonday(std::chrono::year_month_day day);

// The day as the settings show it: "2026-12-08 (火)".
[[nodiscard]] std::wstring DayText(std::chrono::year_month_day day);
// The day alone, as the run record writes it: "2026-12-08".
[[nodiscard]] std::wstring IsoDayText(std::chrono::year_month_day day);
// The weekday's one character, as DayText shows it: "火".
[[nodiscard]] wchar_t WeekdayCharacter(std::chrono::year_month_day day);

// Why a day kept the list closed, as the run record says it: a word for each
// rule that closed it, separated by blanks, in the order of DayJudgement.
// A holiday's word carries its name, which holds no blank.
inline constexpr std::wstring_view kClosedOnWeekday = L"weekday";
inline constexpr std::wstring_view kClosedOnHoliday = L"holiday:";  // followed by the name
inline constexpr std::wstring_view kClosedAtYearEnd = L"year-end";
inline constexpr std::wstring_view kClosedOnClosedDate = L"closed-date";
[[nodiscard]] std::wstring ClosedDayReasons(const DayJudgement& judgement);

// The calendar day of a clock reading.
[[nodiscard]] std::chrono::year_month_day DayOf(const LocalTime& time);

// The day `count` days after `day` (before it for a negative count).
[[nodiscard]] std::chrono::year_month_day DaysAfter(std::chrono::year_month_day day, int count);

// Which days the list opens on, for a run that asks about many days: each
// year's days are judged once, when first asked for.
class OpeningCalendar {
 public:
  explicit OpeningCalendar(Settings settings) : settings_(std::move(settings)) {}

  [[nodiscard]] bool Opens(std::chrono::year_month_day day);
  // The first opening day from `from` on, `from` included, or the last one
  // up to `upTo`, `upTo` included; nothing within a year and a week.
  [[nodiscard]] std::optional<std::chrono::year_month_day> FirstFrom(std::chrono::year_month_day from);
  [[nodiscard]] std::optional<std::chrono::year_month_day> LastUpTo(std::chrono::year_month_day upTo);

  [[nodiscard]] const Settings& settings() const { return settings_; }

 private:
  Settings settings_;
  // Each year asked for, with a flag a day from January 1.
  std::vector<std::pair<int, std::vector<bool>>> years_;
};

}  // namespace ombrel
