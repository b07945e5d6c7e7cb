// Whether Windows would start this folder's Ombrel.exe at all, and whether it
// has kept quiet for longer than the list's days allow. A shortcut switched
// off in Task Manager and a resume task removed leave nothing that opens the
// list, and nothing that says why: the editor says it.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "common/record/run_record.h"
#include "common/schedule/settings.h"
#include "common/startup/startup_approval.h"

namespace ombrel::editor {

// editor.h, which holds the health the editor last heard of.
class EditorView;
struct ResumeTaskState;

enum class LogOnState {
  kOn,           // a shortcut to this launcher in the Startup folder, switched on
  kSwitchedOff,  // every such shortcut switched off in the Startup tab
  kNone,         // no shortcut to it
};

enum class ResumeState {
  kOn,           // the task of this user runs this launcher and is enabled
  kOff,          // it runs this launcher but is disabled
  kOtherFolder,  // it runs another folder's Ombrel.exe
  kNone,         // there is no task of that name
  kUnknown,      // the Task Scheduler did not answer
};

struct StartHealth {
  LogOnState logOn = LogOnState::kNone;
  ResumeState resume = ResumeState::kUnknown;

  // Neither way would start this launcher. Not said while the Task
  // Scheduler cannot tell: its task may well be there.
  [[nodiscard]] bool NothingStarts() const {
    return logOn != LogOnState::kOn && resume != ResumeState::kOn && resume != ResumeState::kUnknown;
  }
  bool operator==(const StartHealth&) const = default;
};

[[nodiscard]] LogOnState JudgeLogOn(const std::vector<StartupApproval>& shortcuts);
[[nodiscard]] ResumeState JudgeResume(const ResumeTaskState& task);
[[nodiscard]] StartHealth JudgeStartHealth(const std::vector<StartupApproval>& shortcuts,
                                           const ResumeTaskState& task);

// How each way stands, as the record window says it above the runs:
// "ログオン時: 有効　ロック解除・復帰時: なし".
[[nodiscard]] std::wstring StartHealthText(EditorView& view, const StartHealth& health);

// The day of the launcher's last recorded run, when a day the list should
// have opened on (by the day rule) has passed since it without a run; today
// is not counted, since its run may still be to come (the editor opened at
// log-on, the launcher's pause). Nothing when the record holds no run of the
// launcher: a new copy, or a record cleared.
[[nodiscard]] std::optional<std::chrono::year_month_day> QuietSince(const std::vector<RecordedRun>& runs,
                                                                    const Settings& settings,
                                                                    std::chrono::year_month_day today);

// "12/1 を最後に Ombrel が実行されていません" for the day QuietSince gave.
[[nodiscard]] std::wstring QuietText(EditorView& view, std::chrono::year_month_day since);

}  // namespace ombrel::editor
