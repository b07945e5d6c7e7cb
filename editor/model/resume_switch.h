// OmbrelSet.exe /resume-task on|off: the installer's and the uninstaller's
// way to the resume task, through the same code as the menu item. It shows no
// window; the exit status tells what happened.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "editor/model/editor.h"

namespace ombrel::editor {

// Exit statuses of the switch.
inline constexpr int kSwitchDone = 0;  // registered; or removed, or there was no task of that name
inline constexpr int kSwitchRefused =
    1;  // the Task Scheduler could not be reached, refused, or removed nothing
inline constexpr int kSwitchMistyped = 2;       // a value other than on or off; nothing was changed
inline constexpr int kSwitchOtherCopyLeft = 3;  // off: the task starts another copy's Ombrel.exe and was left
inline constexpr int kSwitchWithoutWake = 4;    // on: registered without the start at the wake from sleep

// The status for the program's arguments (its own path not among them), or
// nothing when they hold no such switch and the window is to open. "on"
// registers the task for this copy, replacing any other copy's; "off" removes
// it only when it runs this copy (the same file, however named), so that
// removing one copy never stops another, and says so when it leaves one.
[[nodiscard]] std::optional<int> RunResumeTaskSwitch(const std::vector<std::wstring>& arguments,
                                                     ResumeStart& task);

}  // namespace ombrel::editor
