#include "common/schedule/entry_days.h"

#include <algorithm>
#include <array>

#include "common/list/ascii_case.h"
#include "common/list/blank.h"
#include "common/list/entry_list.h"
#include "common/list/utf8.h"
#include "common/port/system_port.h"
#include "common/schedule/ini_file.h"

namespace ombrel {

namespace {

using std::chrono::sys_days;
using std::chrono::year_month_day;

constexpr std::array<std::string_view, 7> kWeekdayTerms = {"mon", "tue", "wed", "thu", "fri", "sat", "sun"};
constexpr std::string_view kLastDayTerm = "dlast";
constexpr std::string_view kWeekStartTerm = "week1";

// A number of one digit or two, from `low` to `high`.
std::optional<int> SmallNumber(std::string_view text, int low, int high) {
  if (text.empty() || text.size() > 2 || text.find_first_not_of("0123456789") != std::string_view::npos) {
    return std::nullopt;
  }
  int value = 0;
  for (const char digit : text) value = value * 10 + (digit - '0');
  if (value < low || value > high) return std::nullopt;
  return value;
}

// One term, in lower case; months go into `months`.
std::optional<DayTerm> ParseTerm(std::string_view term, unsigned& months, bool& onlyMonth) {
  onlyMonth = false;
  if (const auto* weekday = std::ranges::find(kWeekdayTerms, term); weekday != kWeekdayTerms.end()) {
    return DayTerm{DayTerm::Kind::kWeekday, static_cast<int>(weekday - kWeekdayTerms.begin()), false};
  }
  if (term == kWeekStartTerm) return DayTerm{DayTerm::Kind::kWeekStart, 1, false};
  if (term.starts_with('d')) {
    const bool before = term.ends_with('-');
    const std::string_view number = term.substr(1, term.size() - (before ? 2 : 1));
    const std::optional<int> day = term.substr(0, term.size() - (before ? 1 : 0)) == kLastDayTerm
                                       ? std::optional(kLastMonthDay)
                                       : SmallNumber(number, 1, kLastMonthDay);
    if (!day) return std::nullopt;
    return DayTerm{DayTerm::Kind::kMonthDay, *day, before};
  }
  if (term.starts_with('w')) {
    const bool fromEnd = term.size() > 1 && term[1] == '-';
    const std::optional<int> count = SmallNumber(term.substr(fromEnd ? 2 : 1), 1, kMostWorkDays);
    if (!count) return std::nullopt;
    return DayTerm{DayTerm::Kind::kWorkDay, fromEnd ? -*count : *count, false};
  }
  if (term.starts_with('m')) {
    const std::optional<int> month = SmallNumber(term.substr(1), 1, 12);
    if (!month) return std::nullopt;
    months |= 1U << static_cast<unsigned>(*month - 1);
    onlyMonth = true;
    return DayTerm{};
  }
  return std::nullopt;
}

bool InMonths(const EntryDays& days, std::chrono::month month) {
  return days.months == 0 || (days.months >> (static_cast<unsigned>(month) - 1) & 1U) != 0;
}

year_month_day FirstOfMonth(std::chrono::year_month ym) { return ym / 1; }
year_month_day LastOfMonth(std::chrono::year_month ym) { return year_month_day{ym / std::chrono::last}; }

// The day a month day term names before the list's days move it.
year_month_day NominalDay(std::chrono::year_month ym, int day) {
  return std::min(year_month_day{ym / std::chrono::day{static_cast<unsigned>(day)}}, LastOfMonth(ym));
}

// The opening days of `day`'s month up to `day` (or from it to the month's
// end), `day` included.
int OpeningDaysCounted(OpeningCalendar& calendar, year_month_day day, bool toEnd) {
  const std::chrono::year_month ym{day.year(), day.month()};
  int count = 0;
  for (sys_days d{toEnd ? day : FirstOfMonth(ym)}; d <= sys_days{toEnd ? LastOfMonth(ym) : day};
       d += std::chrono::days{1}) {
    count += calendar.Opens(year_month_day{d}) ? 1 : 0;
  }
  return count;
}

// A month day term names `day` (an opening day) when the day it counts from
// in some month moves to it: without `before`, a nominal day after the last
// opening day before `day` and not after `day`; with it, a nominal day not
// before `day` and before the next opening day.
bool MonthDayNames(const EntryDays& days, const DayTerm& term, OpeningCalendar& calendar,
                   year_month_day day) {
  const std::optional<year_month_day> bound =
      term.before ? calendar.FirstFrom(DaysAfter(day, 1)) : calendar.LastUpTo(DaysAfter(day, -1));
  const year_month_day limit = bound.value_or(DaysAfter(day, term.before ? 366 : -366));
  const std::chrono::months step{term.before ? 1 : -1};
  for (std::chrono::year_month ym{day.year(), day.month()};; ym += step) {
    // Months wholly beyond the bound name nothing, nor do those after them.
    if (term.before ? FirstOfMonth(ym) >= limit : LastOfMonth(ym) <= limit) return false;
    const year_month_day nominal = NominalDay(ym, term.number);
    const bool named = term.before ? nominal >= day && nominal < limit : nominal > limit && nominal <= day;
    if (named && InMonths(days, ym.month())) return true;
  }
}

bool TermNames(const EntryDays& days, const DayTerm& term, OpeningCalendar& calendar, year_month_day day) {
  if (term.kind == DayTerm::Kind::kMonthDay) return MonthDayNames(days, term, calendar, day);
  if (!InMonths(days, day.month())) return false;
  switch (term.kind) {
    case DayTerm::Kind::kWeekday:
      return static_cast<int>(WeekdayFromMonday(day)) == term.number;
    case DayTerm::Kind::kWorkDay:
      return term.number > 0 ? OpeningDaysCounted(calendar, day, false) == term.number
                             : OpeningDaysCounted(calendar, day, true) == -term.number;
    case DayTerm::Kind::kWeekStart: {
      const year_month_day monday = DaysAfter(day, -static_cast<int>(WeekdayFromMonday(day)));
      const std::optional<year_month_day> before = calendar.LastUpTo(DaysAfter(day, -1));
      return !before || *before < monday;
    }
    case DayTerm::Kind::kMonthDay:
      break;
  }
  return false;
}

// The text before a line's last `=`, and after it.
std::pair<std::string_view, std::string_view> SplitAtLastEquals(std::string_view keyLine) {
  const IniKeyValue split = SplitIniKeyLine(keyLine, keyLine.rfind('='));
  return {split.key, split.value};
}

}  // namespace

std::optional<EntryDays> ParseEntryDays(std::string_view text) {
  EntryDays days;
  bool anyTerm = false;
  std::size_t at = 0;
  while (at < text.size()) {
    if (IsBlank(text[at])) {
      ++at;
      continue;
    }
    std::size_t end = at;
    while (end < text.size() && !IsBlank(text[end])) ++end;
    std::string term(text.substr(at, end - at));
    std::ranges::transform(term, term.begin(), [](char c) { return AsciiLower(c); });
    bool onlyMonth = false;
    const std::optional<DayTerm> parsed = ParseTerm(term, days.months, onlyMonth);
    if (!parsed) return std::nullopt;
    if (!onlyMonth) days.terms.push_back(*parsed);
    anyTerm = true;
    at = end;
  }
  if (!anyTerm) return std::nullopt;
  return days;
}

std::string EntryDaysText(const EntryDays& days) {
  std::string text;
  const auto add = [&text](std::string_view word, int number = 0, bool withNumber = false) {
    if (!text.empty()) text += ' ';
    text += word;
    if (withNumber) text += std::to_string(number);
  };
  for (const DayTerm& term : days.terms) {
    switch (term.kind) {
      case DayTerm::Kind::kWeekday:
        add(kWeekdayTerms[static_cast<std::size_t>(term.number)]);
        break;
      case DayTerm::Kind::kMonthDay:
        add("d", term.number, true);
        if (term.before) text += '-';
        break;
      case DayTerm::Kind::kWorkDay:
        add("w", term.number, true);
        break;
      case DayTerm::Kind::kWeekStart:
        add(kWeekStartTerm);
        break;
    }
  }
  for (int month = 1; month <= 12; ++month) {
    if ((days.months >> (month - 1) & 1U) != 0) add("m", month, true);
  }
  return text;
}

bool EntryOpensOn(const EntryDays& days, OpeningCalendar& calendar, year_month_day day) {
  if (!calendar.Opens(day)) return false;
  if (days.terms.empty()) return InMonths(days, day.month());
  return std::ranges::any_of(days.terms,
                             [&](const DayTerm& term) { return TermNames(days, term, calendar, day); });
}

std::vector<year_month_day> EntryDaysFrom(const EntryDays& days, OpeningCalendar& calendar,
                                          year_month_day from, std::size_t count) {
  std::vector<year_month_day> found;
  for (int i = 0; i < 3 * 366 && found.size() < count; ++i) {
    const year_month_day day = DaysAfter(from, i);
    if (EntryOpensOn(days, calendar, day)) found.push_back(day);
  }
  return found;
}

DueDays::DueDays(const Settings& settings, std::optional<year_month_day> lastRun, year_month_day today)
    : calendar_(settings), first_(today), today_(today) {
  if (lastRun && *lastRun < today)
    first_ = std::max(DaysAfter(*lastRun, 1), DaysAfter(today, -kLongestCatchUpDays));
}

EntryDue DueDays::Judge(const EntryDays* days) {
  if (days == nullptr) return {EntryDue::Kind::kToday, today_};
  // The latest day first: the one the record names.
  for (year_month_day day = today_; day >= first_; day = DaysAfter(day, -1)) {
    if (!EntryOpensOn(*days, calendar_, day)) continue;
    return {day == today_ ? EntryDue::Kind::kToday : EntryDue::Kind::kCatchUp, day};
  }
  return {EntryDue::Kind::kNotDue, today_};
}

const EntryDaysLine* EntryDaysTable::Find(std::wstring_view entry) const {
  const auto line = std::ranges::find(lines, entry, &EntryDaysLine::entry);
  return line == lines.end() ? nullptr : &*line;
}

const EntryDays* EntryDaysTable::DaysOf(std::wstring_view entry) const {
  const EntryDaysLine* line = Find(entry);
  return line != nullptr && line->days ? &*line->days : nullptr;
}

std::wstring DecodeIniText(SystemPort& system, std::string_view bytes) {
  if (IsValidUtf8(bytes)) return FromUtf8(bytes);
  return system.FromCodePage(ListCodePage(system.AnsiCodePage()), bytes);
}

EntryDaysTable ReadEntryDays(SystemPort& system, std::string_view bytes) {
  EntryDaysTable table;
  for (const std::string_view line : IniSectionKeyLines(bytes, kEntryDaysSection)) {
    const auto [key, value] = SplitAtLastEquals(line);
    std::optional<EntryDays> days = ParseEntryDays(value);
    if (key.empty() || !days) table.bad.emplace_back(line);
    if (key.empty()) continue;
    std::wstring entry = DecodeIniText(system, key);
    if (table.Find(entry) == nullptr)
      table.lines.push_back({std::move(entry), std::string(value), std::move(days)});
  }
  return table;
}

std::string MergeEntryDays(SystemPort& system, std::string_view bytes,
                           const std::vector<std::pair<std::wstring, std::string>>& wanted,
                           const std::function<bool(const std::wstring&)>& decides) {
  std::vector<bool> written(wanted.size());
  std::vector<std::wstring> seen;
  const auto edit = [&](std::string_view line) -> std::optional<std::string> {
    const auto [key, value] = SplitAtLastEquals(line);
    const std::wstring entry = key.empty() ? std::wstring() : DecodeIniText(system, key);
    if (entry.empty() || !decides(entry)) return std::string(line);
    const bool first = std::ranges::find(seen, entry) == seen.end();
    seen.push_back(entry);
    const auto want = std::ranges::find(wanted, entry, &std::pair<std::wstring, std::string>::first);
    // A later line would win once the first is gone.
    if (!first || want == wanted.end()) return std::nullopt;
    written[static_cast<std::size_t>(want - wanted.begin())] = true;
    if (value == want->second) return std::string(line);
    // The entry's bytes and the blanks after the `=` as they stand, in
    // whatever form the file has them.
    std::size_t daysAt = line.rfind('=') + 1;
    while (daysAt < line.size() && IsBlank(line[daysAt])) ++daysAt;
    return std::string(line.substr(0, daysAt)) + want->second;
  };
  const auto added = [&] {
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < wanted.size(); ++i) {
      if (written[i]) continue;
      lines.push_back(ToUtf8(wanted[i].first) + '=' + wanted[i].second);
      // A line of another piece of the section, later in the file, would
      // stand second to it.
      seen.push_back(wanted[i].first);
    }
    return lines;
  };
  return EditIniSection(bytes, kEntryDaysSection, edit, added);
}

bool CanHaveOwnDays(std::wstring_view entry) {
  return !entry.empty() && !IsBlank(entry.front()) && !IsBlank(entry.back()) && entry.front() != L';' &&
         entry.front() != L'#' && entry.find_first_of(L"\r\n") == std::wstring_view::npos;
}

}  // namespace ombrel
