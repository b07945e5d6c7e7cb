// An entry's own days: the weekly and monthly work that is not done every
// day the list opens (the weekly report on Mondays, the sales sheet on the
// month's first work day, the payroll check on the 25th or the work day
// before it). They live in OMBREL.CFG, one line an entry under `[EntryDays]`:
//
//   [EntryDays]
//   \\files\経理\給与チェック.xlsx=d25-
//   https://intra.example.jp/?page=weekly=mon
//
// The entry text is everything before the last `=`, so an address keeps its
// own; the days are terms in ASCII. An older Ombrel reads no such section and
// opens every entry daily, as it always did. Each function here takes its
// list's lines and its settings, so that another list of entries can be
// given days the same way.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/schedule/day_rule.h"

namespace ombrel {

class SystemPort;

inline constexpr std::string_view kEntryDaysSection = "EntryDays";

// One term of an entry's days. Every day it names is a day the list opens.
struct DayTerm {
  enum class Kind {
    // mon ... sun: that weekday; `number` 0 (Monday) to 6.
    kWeekday,
    // d1 ... d31, dlast (31): that day of the month, its last day in a month
    // without it; when the list does not open then, the first day after it
    // that opens, or with `before` (d25-) the last day before it that does.
    kMonthDay,
    // w1 ... w23: the Nth day of the month on which the list opens (第N営業日);
    // w-1 ... w-23 (a negative `number`): the Nth from the month's end.
    kWorkDay,
    // week1: the first day of the week, Monday to Sunday, on which the list opens.
    kWeekStart,
  };
  Kind kind = Kind::kWeekday;
  int number = 0;
  bool before = false;
  bool operator==(const DayTerm&) const = default;
};

struct EntryDays {
  // Days named by any of them; none with months alone: every day the list
  // opens in those months.
  std::vector<DayTerm> terms;
  // m1 ... m12: bit 0 January to bit 11 December; 0, no m term: every
  // month. A month day or work day counts in the month it is counted from
  // (d31 m12 on a closed December 31 opens on the first day of January that
  // opens), the other terms in the month of the day itself.
  unsigned months = 0;
  bool operator==(const EntryDays&) const = default;
};

// All twelve months: every day the list opens.
inline constexpr unsigned kEveryMonth = 0xFFF;

inline constexpr int kMostWorkDays = 23;
inline constexpr int kLastMonthDay = 31;

// The terms of a days text: separated by blanks, letter case ignored.
// Nothing for a text with no term or anything that is none.
[[nodiscard]] std::optional<EntryDays> ParseEntryDays(std::string_view text);
// The text that reads back as `days`: its terms in order, then its months.
[[nodiscard]] std::string EntryDaysText(const EntryDays& days);

// Whether the entry opens on `day`.
[[nodiscard]] bool EntryOpensOn(const EntryDays& days, OpeningCalendar& calendar,
                                std::chrono::year_month_day day);
// The entry's first `count` days from `from` on, `from` included, within
// three years.
[[nodiscard]] std::vector<std::chrono::year_month_day> EntryDaysFrom(const EntryDays& days,
                                                                     OpeningCalendar& calendar,
                                                                     std::chrono::year_month_day from,
                                                                     std::size_t count);

// How a run on `today` treats an entry with its own days.
struct EntryDue {
  enum class Kind {
    kToday,    // today is one of its days
    kCatchUp,  // one of its days came while no run was made: `day`, the latest of them
    kNotDue,   // none of its days since the last run
  };
  Kind kind = Kind::kNotDue;
  std::chrono::year_month_day day;
};

// A missed day older than this is not caught up: a run after a long absence
// catches up what fell within the last year.
inline constexpr int kLongestCatchUpDays = 366;

// The days a run answers for: those after `lastRun` (the stamp's day before
// this run renews it) and not after `today`; today alone when there is no
// such day (a stamp that is cleared, missing, unreadable, or not before today).
class DueDays {
 public:
  DueDays(const Settings& settings, std::optional<std::chrono::year_month_day> lastRun,
          std::chrono::year_month_day today);

  // Null days (an entry without its own, or with a line that cannot be
  // read) are every day the list opens: today.
  [[nodiscard]] EntryDue Judge(const EntryDays* days);

 private:
  OpeningCalendar calendar_;
  std::chrono::year_month_day first_;
  std::chrono::year_month_day today_;
};

// One line of `[EntryDays]`.
struct EntryDaysLine {
  std::wstring entry;
  std::string text;               // the days as written, blanks around them dropped
  std::optional<EntryDays> days;  // nothing when they cannot be read: the entry opens daily
};

struct EntryDaysTable {
  // The first line of each entry, in file order.
  std::vector<EntryDaysLine> lines;
  // The lines that cannot be read, as written, in file order: no entry text
  // before the last `=`, or days that are no terms.
  std::vector<std::string> bad;

  // The line of exactly that entry text, or null.
  [[nodiscard]] const EntryDaysLine* Find(std::wstring_view entry) const;
  // Its days, or null when it has no line or one that cannot be read.
  [[nodiscard]] const EntryDays* DaysOf(std::wstring_view entry) const;
};

// The entry text of a line's bytes: UTF-8 when it is well-formed UTF-8, else
// the list's code page (an administrator's Notepad may save either).
[[nodiscard]] std::wstring DecodeIniText(SystemPort& system, std::string_view bytes);

// The `[EntryDays]` lines of a settings file's bytes. Only that section
// counts (in as many pieces as the file has); each line is split at its last
// `=`, the entry text and the days trimmed of blanks; comments and other
// lines are passed over; the first line of an entry text wins.
[[nodiscard]] EntryDaysTable ReadEntryDays(SystemPort& system, std::string_view bytes);

// The file's bytes with `wanted` (entry text and days text, each text once)
// written under `[EntryDays]`: for each entry text `decides` claims, its first
// line is kept when it holds those days, its days rewritten when it holds
// others, and it and its later lines are dropped when the text has no days
// (or is in `wanted` no more); a text without a line gets one, in UTF-8,
// after the section's last line that is not blank. Every other line and
// byte is kept.
[[nodiscard]] std::string MergeEntryDays(SystemPort& system, std::string_view bytes,
                                         const std::vector<std::pair<std::wstring, std::string>>& wanted,
                                         const std::function<bool(const std::wstring&)>& decides);

// Whether an entry text can be given a line at all: one that is empty,
// holds a line break, has blanks at an end (lost when the line is read) or
// starts with `;` or `#` (a comment) cannot.
[[nodiscard]] bool CanHaveOwnDays(std::wstring_view entry);

}  // namespace ombrel
