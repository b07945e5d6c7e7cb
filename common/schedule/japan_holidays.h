// Japan's national holidays, computed from the rules of the holiday law
// (国民の祝日に関する法律, in force since July 20, 1948) and the special laws
// that added or moved single days. Each rule is written once, with the years
// it held; a year beyond the Cabinet Office's published list is computed by
// the same rules.
#pragma once

#include <chrono>
#include <string_view>
#include <vector>

namespace ombrel {

struct Holiday {
  std::chrono::year_month_day date;
  // The holiday's Japanese name: "元日", "海の日", or for the two kinds of
  // day off the law adds to its holidays "振替休日" and "国民の休日".
  std::wstring_view name;
};

// Every holiday of the year, in date order: the named holidays, the
// substitute holidays (振替休日) and the citizens' holidays (国民の休日).
// Nothing before the law came into force. The equinox days come from the
// usual approximation, whose constants are known for 1900 to 2150; later
// years keep the last constants and may be a day off.
[[nodiscard]] std::vector<Holiday> JapaneseHolidays(int year);

// The day's holiday name, or an empty view on a day that is none.
[[nodiscard]] std::wstring_view JapaneseHolidayName(std::chrono::year_month_day day);

}  // namespace ombrel
