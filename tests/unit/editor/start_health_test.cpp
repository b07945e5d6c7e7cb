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

constexpr year_month_day Dec(unsigned d) { return std::chrono::year{2026} / 12 / d; }
constexpr year_month_day Jan(unsigned d) { return std::chrono::year{2027} / 1 / d; }

RecordedRun RunOf(RunStarter starter, year_month_day day) {
  const auto number = [](auto part) { return static_cast<int>(static_cast<unsigned>(part)); };
  return {{static_cast<int>(day.year()), number(day.month()), number(day.day()), 8, 30, 0},
          1,
          starter,
          {},
          RunEnd::kDone,
          L"",
          false};
}

struct QuietCase {
  const char* name;
  year_month_day lastRun;
  const char* settings;  // the [Ombrel] section's lines
  year_month_day today;
  std::optional<year_month_day> since;
};

// 2026-12-04 is a Friday, 2026-12-07 a Monday; 2027-01-11 is 成人の日.
TEST(QuietSinceTest, ADayTheListShouldHaveOpenedOnPassedWithoutARun) {
  const QuietCase cases[] = {
      {"ran_yesterday", Dec(8), "", Dec(9), std::nullopt},
      {"missed_yesterday", Dec(7), "", Dec(9), Dec(7)},
      {"weekend_between", Dec(4), "Days=1111100", Dec(7), std::nullopt},
      {"weekend_and_monday_missed", Dec(4), "Days=1111100", Dec(8), Dec(4)},
      {"holiday_monday", Jan(8), "Days=1111100\r\nSkipHolidays=1", Jan(12), std::nullopt},
      {"closed_dates", Dec(7), "ClosedDates=2026-12-08", Dec(9), std::nullopt},
  };
  for (const QuietCase& c : cases) {
    SCOPED_TRACE(c.name);
    const Settings settings = ParseSettings(std::string("[Ombrel]\r\n") + c.settings).settings;
    EXPECT_EQ(QuietSince({RunOf(RunStarter::kLauncher, c.lastRun)}, settings, c.today), c.since);
  }
  // Run-now is no run of the launcher; a record without one says nothing.
  const RecordedRun runNow = RunOf(RunStarter::kRunNow, Dec(8));
  EXPECT_EQ(QuietSince({RunOf(RunStarter::kLauncher, Dec(1)), runNow}, {}, Dec(9)), Dec(1));
  EXPECT_EQ(QuietSince({runNow}, {}, Dec(9)), std::nullopt);
}

}  // namespace
}  // namespace ombrel::editor
