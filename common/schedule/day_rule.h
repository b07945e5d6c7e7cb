// Whether the list opens on a day under the settings, why not when it does
// not, and the next day on which it will.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace ombrel {

class Settings;
struct LocalTime;

// Every rule of the settings that keeps the list closed on a day; a day may
// be closed by more than one (a Sunday January 1), and all of them are named.
struct DayJudgement {
  bool weekdayOff = false;  // Days has 0 for this weekday
  // The holiday's name when SkipHolidays is 1 and the day is one of Japan's
  // holidays; empty otherwise.
  std::wstring_view holiday;
  bool yearEnd = false;  // SkipYearEnd is 1 and the day lies in December 29 to January 3

  [[nodiscard]] bool Opens() const { return !weekdayOff && holiday.empty() && !yearEnd; }
};

[[nodiscard]] DayJudgement JudgeDay(const Settings& settings, std::chrono::year_month_day day);

// The first day from `from` on, `from` included, on which the list opens.
// Nothing when no day of the year and week that follow opens, which only
// happens when Days is 0000000: then the list never opens by itself, and a
// caller says so rather than naming a day.
[[nodiscard]] std::optional<std::chrono::year_month_day> NextOpeningDay(const Settings& settings,
                                                                        std::chrono::year_month_day from);

// The day as the settings show it: "2026-12-08 (火)".
[[nodiscard]] std::wstring DayText(std::chrono::year_month_day day);
// The weekday's one character, as DayText shows it: "火".
[[nodiscard]] wchar_t WeekdayCharacter(std::chrono::year_month_day day);

// Why a day kept the list closed, as the run record says it: a word for each
// rule that closed it, separated by blanks, in the order of DayJudgement.
// A holiday's word carries its name, which holds no blank.
inline constexpr std::wstring_view kClosedOnWeekday = L"weekday";
inline constexpr std::wstring_view kClosedOnHoliday = L"holiday:";  // followed by the name
inline constexpr std::wstring_view kClosedAtYearEnd = L"year-end";
[[nodiscard]] std::wstring ClosedDayReasons(const DayJudgement& judgement);

// The calendar day of a clock reading.
[[nodiscard]] std::chrono::year_month_day DayOf(const LocalTime& time);

}  // namespace ombrel
