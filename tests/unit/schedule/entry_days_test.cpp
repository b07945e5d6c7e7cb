// An entry's own days: which days each term names under Japan's holidays and
// the company's calendar, the catch-up window, and the [EntryDays] lines.
#include "common/schedule/entry_days.h"

#include <gtest/gtest.h>

#include "fakes.h"

namespace ombrel {
namespace {

using Day = std::chrono::year_month_day;

Day D(int year, unsigned month, unsigned day) {
  return Day{std::chrono::year{year}, std::chrono::month{month}, std::chrono::day{day}};
}

// Monday to Friday, no holidays, no year end: a Japanese office.
const std::string kWork = "Days=1111100\nSkipHolidays=1\nSkipYearEnd=1\n";

struct TermCase {
  const char* name;
  std::string settings;  // the lines of [Ombrel]
  const char* terms;
  // kDaysIn: the days from `from` to `to` the entry opens on. kCatchUp: what
  // a run on `to` after a last run on `from` opens the entry for; `to`
  // itself is today's day, nothing not due.
  enum { kDaysIn, kCatchUp } check;
  std::optional<Day> from;
  Day to;
  std::vector<Day> days;
};

TEST(EntryDaysTest, EachTermsDaysUnderTheCalendarAndTheCatchUp) {
  const TermCase cases[] = {
      {"Mondays, 成人の日 passed over",
       kWork,
       "mon",
       TermCase::kDaysIn,
       D(2026, 1, 1),
       D(2026, 1, 31),
       {D(2026, 1, 5), D(2026, 1, 19), D(2026, 1, 26)}},
      {"the year's first work day on the 5th",
       kWork,
       "w1",
       TermCase::kDaysIn,
       D(2026, 1, 1),
       D(2026, 1, 31),
       {D(2026, 1, 5)}},
      {"on the 4th, and the second",
       kWork,
       "W1  w2",
       TermCase::kDaysIn,
       D(2027, 1, 1),
       D(2027, 1, 31),
       {D(2027, 1, 4), D(2027, 1, 5)}},
      {"Golden Week: d3 to the next work day",
       kWork,
       "d3",
       TermCase::kDaysIn,
       D(2026, 5, 1),
       D(2026, 5, 31),
       {D(2026, 5, 7)}},
      {"Golden Week: d3- to the one before",
       kWork,
       "d3-",
       TermCase::kDaysIn,
       D(2026, 5, 1),
       D(2026, 5, 31),
       {D(2026, 5, 1)}},
      {"Golden Week: the second work day",
       kWork,
       "w2",
       TermCase::kDaysIn,
       D(2026, 5, 1),
       D(2026, 5, 31),
       {D(2026, 5, 7)}},
      {"week starts, Golden Week's on Thursday",
       kWork,
       "week1",
       TermCase::kDaysIn,
       D(2026, 5, 1),
       D(2026, 5, 17),
       {D(2026, 5, 7), D(2026, 5, 11)}},
      {"d31: January's Saturday, February's 28th, March's own",
       kWork,
       "d31",
       TermCase::kDaysIn,
       D(2026, 2, 1),
       D(2026, 3, 31),
       {D(2026, 2, 2), D(2026, 3, 2), D(2026, 3, 31)}},
      {"d31- in February, the 28th a Sunday",
       kWork,
       "d31-",
       TermCase::kDaysIn,
       D(2027, 2, 1),
       D(2027, 2, 28),
       {D(2027, 2, 26)}},
      {"d25- on a Sunday", kWork, "d25-", TermCase::kDaysIn, D(2026, 1, 1), D(2026, 1, 31), {D(2026, 1, 23)}},
      {"d25 on a Sunday", kWork, "d25", TermCase::kDaysIn, D(2026, 1, 1), D(2026, 1, 31), {D(2026, 1, 26)}},
      {"d25 on a Sunday of a list open every day",
       "",
       "d25",
       TermCase::kDaysIn,
       D(2026, 1, 1),
       D(2026, 1, 31),
       {D(2026, 1, 25)}},
      {"w-1 of a month ending on 昭和の日 and a closed date",
       kWork + "ClosedDates=2026-04-30\n",
       "w-1",
       TermCase::kDaysIn,
       D(2026, 4, 1),
       D(2026, 4, 30),
       {D(2026, 4, 28)}},
      {"w-1 before the year end",
       kWork,
       "w-1",
       TermCase::kDaysIn,
       D(2026, 12, 1),
       D(2026, 12, 31),
       {D(2026, 12, 28)}},
      {"the quarters' last work days",
       kWork,
       "m3 m6 m9 m12 w-1",
       TermCase::kDaysIn,
       D(2026, 1, 1),
       D(2026, 12, 31),
       {D(2026, 3, 31), D(2026, 6, 30), D(2026, 9, 30), D(2026, 12, 28)}},
      {"an open date on a Saturday is the month's last work day",
       kWork + "OpenDates=2026-10-31\n",
       "w-1",
       TermCase::kDaysIn,
       D(2026, 10, 1),
       D(2026, 10, 31),
       {D(2026, 10, 31)}},
      {"a closed range moves d13",
       kWork + "ClosedDates = 2026-01-02, 2026-08-13..2026-08-14\n",
       "d13",
       TermCase::kDaysIn,
       D(2026, 8, 1),
       D(2026, 8, 31),
       {D(2026, 8, 17)}},
      {"months alone: every work day in them",
       kWork,
       "m12",
       TermCase::kDaysIn,
       D(2026, 11, 27),
       D(2026, 12, 2),
       {D(2026, 12, 1), D(2026, 12, 2)}},
      {"dlast m12 counted in December, opened in January",
       kWork,
       "dlast m12",
       TermCase::kDaysIn,
       D(2026, 12, 1),
       D(2027, 1, 31),
       {D(2027, 1, 4)}},
      {"caught up across a month's end",
       kWork,
       "w-1",
       TermCase::kCatchUp,
       D(2026, 3, 30),
       D(2026, 4, 1),
       {D(2026, 3, 31)}},
      {"caught up across a New Year",
       kWork,
       "m12 w-1",
       TermCase::kCatchUp,
       D(2026, 12, 25),
       D(2027, 1, 4),
       {D(2026, 12, 28)}},
      {"today's own day after the year end",
       kWork,
       "w1",
       TermCase::kCatchUp,
       D(2026, 12, 28),
       D(2027, 1, 4),
       {D(2027, 1, 4)}},
      {"three Mondays missed: the latest named",
       kWork,
       "mon",
       TermCase::kCatchUp,
       D(2026, 1, 2),
       D(2026, 1, 27),
       {D(2026, 1, 26)}},
      {"nothing since the last run", kWork, "mon", TermCase::kCatchUp, D(2026, 1, 26), D(2026, 1, 27), {}},
      {"no stamp: today alone", kWork, "mon", TermCase::kCatchUp, std::nullopt, D(2026, 1, 27), {}},
      {"a stamp of today: today alone",
       kWork,
       "mon tue",
       TermCase::kCatchUp,
       D(2026, 1, 27),
       D(2026, 1, 27),
       {D(2026, 1, 27)}},
      {"years off: caught up within the last year",
       "",
       "d25",
       TermCase::kCatchUp,
       D(2020, 1, 1),
       D(2026, 1, 27),
       {D(2026, 1, 25)}},
  };
  for (const TermCase& c : cases) {
    SCOPED_TRACE(c.name);
    const Settings settings = ParseSettings("[Ombrel]\n" + c.settings).settings;
    const std::optional<EntryDays> days = ParseEntryDays(c.terms);
    ASSERT_TRUE(days.has_value());
    EXPECT_EQ(ParseEntryDays(EntryDaysText(*days)), days) << EntryDaysText(*days);
    std::vector<Day> found;
    if (c.check == TermCase::kDaysIn) {
      OpeningCalendar calendar(settings);
      for (Day day = *c.from; day <= c.to; day = DaysAfter(day, 1)) {
        if (EntryOpensOn(*days, calendar, day)) found.push_back(day);
      }
    } else {
      const EntryDue due = DueDays(settings, c.from, c.to).Judge(&*days);
      if (due.kind != EntryDue::Kind::kNotDue) found.push_back(due.day);
      EXPECT_EQ(due.kind == EntryDue::Kind::kToday, found == std::vector<Day>{c.to});
    }
    EXPECT_EQ(found, c.days);
  }
}

struct LineCase {
  const char* name;
  std::string lines;                                       // of the file, after "[EntryDays]"
  std::vector<std::pair<std::wstring, std::string>> read;  // entry, days text; in file order
  std::vector<std::string> bad;
};

TEST(EntryDaysTest, TheLinesOfTheSectionAsRead) {
  const LineCase cases[] = {
      {"split at the last =", "https://x.jp/?a=b=mon\r\n", {{L"https://x.jp/?a=b", "mon"}}, {}},
      {"blanks around both, case and blanks between terms",
       " \tC:\\a b\\c.exe  =  D25-  \tW-1 \n",
       {{L"C:\\a b\\c.exe", "D25-  \tW-1"}},
       {}},
      {"an entry with = and ,", "\\\\srv\\a,b=c.xlsx=d1\r", {{L"\\\\srv\\a,b=c.xlsx", "d1"}}, {}},
      {"UTF-8, and the code page where it is none",
       "caf\xC3\xA9=fri\n\xE9t\xE9=sat\n",
       {{L"caf\u00E9", "fri"}, {L"\u00E9t\u00E9", "sat"}},
       {}},
      {"the first line of an entry wins", "g=mon\ng=tue\n", {{L"g", "mon"}}, {}},
      {"comments, lines without =, other sections",
       ";a=mon\n#b=mon\nc\n[Ombrel]\nd=mon\n[entrydays]\ne=w3\n",
       {{L"e", "w3"}},
       {}},
      {"bad lines: named, their entries daily",
       "=mon\na=mo\nb=\nc=d32\nd=w0\ne=m13\nf=w-24\ng=\xE6\x9C\x88\nh=d25+\n",
       {{L"a", "mo"},
        {L"b", ""},
        {L"c", "d32"},
        {L"d", "w0"},
        {L"e", "m13"},
        {L"f", "w-24"},
        {L"g", "\xE6\x9C\x88"},
        {L"h", "d25+"}},
       {"=mon", "a=mo", "b=", "c=d32", "d=w0", "e=m13", "f=w-24", "g=\xE6\x9C\x88", "h=d25+"}},
  };
  for (const LineCase& c : cases) {
    SCOPED_TRACE(c.name);
    testing::FakeSystem system;
    const EntryDaysTable table = ReadEntryDays(system, "\xEF\xBB\xBF[EntryDays]\r\n" + c.lines);
    std::vector<std::pair<std::wstring, std::string>> read;
    for (const EntryDaysLine& line : table.lines) {
      read.emplace_back(line.entry, line.text);
      EXPECT_EQ(line.days.has_value(), ParseEntryDays(line.text).has_value());
      EXPECT_EQ(table.DaysOf(line.entry) != nullptr, line.days.has_value());
    }
    EXPECT_EQ(read, c.read);
    EXPECT_EQ(table.bad, c.bad);
  }
}

}  // namespace
}  // namespace ombrel
