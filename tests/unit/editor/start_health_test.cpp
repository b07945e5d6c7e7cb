#include "editor/model/start_health.h"

#include <gtest/gtest.h>

#include "common/schedule/day_rule.h"
#include "editor/model/editor.h"

namespace ombrel::editor {
namespace {

using std::chrono::year_month_day;
using Approvals = std::vector<StartupApproval>;

constexpr StartupApproval kOn = StartupApproval::kOn;
constexpr StartupApproval kOff = StartupApproval::kOff;

struct HealthCase {
  const char* name;
  Approvals shortcuts;
  ResumeTaskState task;
  StartHealth health;
  bool nothingStarts;
};

TEST(StartHealthTest, EachWayFromWhatWindowsSaysAndNothingStartsOnlyWhenBothAreKnownOff) {
  const ResumeTaskState ours{true, true, true, true, L"C:\\Tools\\Ombrel.exe"};
  const ResumeTaskState disabled{true, true, false, true, L"C:\\Tools\\Ombrel.exe"};
  const ResumeTaskState other{true, true, true, false, L"D:\\Old\\Ombrel.exe"};
  const ResumeTaskState none{true, false, false, false, L""};
  const ResumeTaskState unreached{};
  const HealthCase cases[] = {
      {"shortcut_on", {kOn}, none, {LogOnState::kOn, ResumeState::kNone}, false},
      {"switched_off_task_ours", {kOff}, ours, {LogOnState::kSwitchedOff, ResumeState::kOn}, false},
      {"switched_off_no_task", {kOff, kOff}, none, {LogOnState::kSwitchedOff, ResumeState::kNone}, true},
      {"no_shortcut_task_disabled", {}, disabled, {LogOnState::kNone, ResumeState::kOff}, true},
      {"no_shortcut_other_folders_task", {}, other, {LogOnState::kNone, ResumeState::kOtherFolder}, true},
      {"no_shortcut_scheduler_silent", {}, unreached, {LogOnState::kNone, ResumeState::kUnknown}, false},
  };
  for (const HealthCase& c : cases) {
    SCOPED_TRACE(c.name);
    const StartHealth health = JudgeStartHealth(c.shortcuts, c.task);
    EXPECT_EQ(health, c.health);
    EXPECT_EQ(health.NothingStarts(), c.nothingStarts);
  }
}

constexpr year_month_day Day(int y, unsigned m, unsigned d) {
  return year_month_day{std::chrono::year{y}, std::chrono::month{m}, std::chrono::day{d}};
}

RecordedRun RunOf(RunStarter starter, year_month_day day) {
  RecordedRun run;
  run.starter = starter;
  run.start = {static_cast<int>(day.year()),
               static_cast<int>(static_cast<unsigned>(day.month())),
               static_cast<int>(static_cast<unsigned>(day.day())),
               8,
               30,
               0};
  run.end = RunEnd::kDone;
  return run;
}

struct QuietCase {
  const char* name;
  std::vector<RecordedRun> runs;
  const char* settings;  // the [Ombrel] section's lines
  year_month_day today;
  std::optional<year_month_day> since;
};

// 2026-12-04 is a Friday, 2026-12-07 a Monday; 2027-01-11 is 成人の日.
TEST(QuietSinceTest, ADayTheListShouldHaveOpenedOnPassedWithoutARun) {
  const auto launcher = [](year_month_day day) { return RunOf(RunStarter::kLauncher, day); };
  const QuietCase cases[] = {
      {"ran_yesterday", {launcher(Day(2026, 12, 8))}, "", Day(2026, 12, 9), std::nullopt},
      {"missed_yesterday", {launcher(Day(2026, 12, 7))}, "", Day(2026, 12, 9), Day(2026, 12, 7)},
      {"weekend_between", {launcher(Day(2026, 12, 4))}, "Days=1111100", Day(2026, 12, 7), std::nullopt},
      {"weekend_and_monday_missed",
       {launcher(Day(2026, 12, 4))},
       "Days=1111100",
       Day(2026, 12, 8),
       Day(2026, 12, 4)},
      {"holiday_monday",
       {launcher(Day(2027, 1, 8))},
       "Days=1111100\r\nSkipHolidays=1",
       Day(2027, 1, 12),
       std::nullopt},
      {"holiday_counted_when_not_skipped",
       {launcher(Day(2027, 1, 8))},
       "Days=1111100",
       Day(2027, 1, 12),
       Day(2027, 1, 8)},
      {"closed_dates",
       {launcher(Day(2026, 12, 7))},
       "ClosedDates=2026-12-08",
       Day(2026, 12, 9),
       std::nullopt},
      {"run_now_is_not_the_launcher",
       {launcher(Day(2026, 12, 1)), RunOf(RunStarter::kRunNow, Day(2026, 12, 8))},
       "",
       Day(2026, 12, 9),
       Day(2026, 12, 1)},
      {"no_launcher_run", {RunOf(RunStarter::kRunNow, Day(2026, 11, 1))}, "", Day(2026, 12, 9), std::nullopt},
  };
  for (const QuietCase& c : cases) {
    SCOPED_TRACE(c.name);
    const Settings settings = ParseSettings(std::string("[Ombrel]\r\n") + c.settings).settings;
    EXPECT_EQ(QuietSince(c.runs, settings, c.today), c.since);
  }
}

}  // namespace
}  // namespace ombrel::editor
