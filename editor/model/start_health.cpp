#include "editor/model/start_health.h"

#include <algorithm>

#include "common/schedule/day_rule.h"
#include "editor/model/editor.h"
#include "editor/model/typed_text.h"
#include "editor/resource.h"

namespace ombrel::editor {

LogOnState JudgeLogOn(const std::vector<StartupApproval>& shortcuts) {
  if (shortcuts.empty()) return LogOnState::kNone;
  const bool on = std::ranges::find(shortcuts, StartupApproval::kOn) != shortcuts.end();
  return on ? LogOnState::kOn : LogOnState::kSwitchedOff;
}

ResumeState JudgeResume(const ResumeTaskState& task) {
  if (!task.reached) return ResumeState::kUnknown;
  if (!task.exists) return ResumeState::kNone;
  if (!task.runsLauncher) return ResumeState::kOtherFolder;
  return task.enabled ? ResumeState::kOn : ResumeState::kOff;
}

StartHealth JudgeStartHealth(const std::vector<StartupApproval>& shortcuts, const ResumeTaskState& task) {
  return {JudgeLogOn(shortcuts), JudgeResume(task)};
}

std::wstring StartHealthText(EditorView& view, const StartHealth& health) {
  const int logOn = health.logOn == LogOnState::kOn            ? IDS_HEALTH_ON
                    : health.logOn == LogOnState::kSwitchedOff ? IDS_HEALTH_SWITCHED_OFF
                                                               : IDS_HEALTH_OFF;
  int resume = IDS_HEALTH_UNKNOWN;
  switch (health.resume) {
    case ResumeState::kOn:
      resume = IDS_HEALTH_ON;
      break;
    case ResumeState::kOff:
      resume = IDS_HEALTH_OFF;
      break;
    case ResumeState::kOtherFolder:
      resume = IDS_HEALTH_OTHER_FOLDER;
      break;
    case ResumeState::kNone:
      resume = IDS_HEALTH_NONE;
      break;
    case ResumeState::kUnknown:
      break;
  }
  return view.LoadText(IDS_HEALTH_LOGON) + view.LoadText(logOn) + view.LoadText(IDS_HEALTH_SEPARATOR) +
         view.LoadText(IDS_HEALTH_RESUME) + view.LoadText(resume);
}

std::optional<std::chrono::year_month_day> QuietSince(const std::vector<RecordedRun>& runs,
                                                      const Settings& settings,
                                                      std::chrono::year_month_day today) {
  const auto last = std::find_if(runs.rbegin(), runs.rend(),
                                 [](const RecordedRun& run) { return run.starter == RunStarter::kLauncher; });
  if (last == runs.rend()) return std::nullopt;
  const std::chrono::year_month_day lastRun = DayOf(last->start);
  OpeningCalendar calendar(settings);
  const std::optional<std::chrono::year_month_day> due = calendar.LastUpTo(DaysAfter(today, -1));
  if (!due || std::chrono::sys_days(*due) <= std::chrono::sys_days(lastRun)) return std::nullopt;
  return lastRun;
}

std::wstring QuietText(EditorView& view, std::chrono::year_month_day since) {
  const std::wstring day = std::to_wstring(static_cast<unsigned>(since.month())) + L'/' +
                           std::to_wstring(static_cast<unsigned>(since.day()));
  return FillIn(view.LoadText(IDS_HEALTH_QUIET), day);
}

}  // namespace ombrel::editor
