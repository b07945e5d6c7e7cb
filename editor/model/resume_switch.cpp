#include "editor/model/resume_switch.h"

namespace ombrel::editor {

std::optional<int> RunResumeTaskSwitch(const std::vector<std::wstring>& arguments, ResumeStart& task) {
  if (arguments.empty() || arguments.front() != L"/resume-task") return std::nullopt;
  const std::wstring value = arguments.size() == 2 ? arguments[1] : L"";
  if (value == L"on") {
    const TaskChange registered = task.Register();
    if (!registered.done) return kSwitchRefused;
    return registered.withoutWake ? kSwitchWithoutWake : kSwitchDone;
  }
  if (value != L"off") return kSwitchMistyped;
  const ResumeTaskState found = task.Find();
  if (!found.reached) return kSwitchRefused;
  if (!found.exists) return kSwitchDone;
  if (!found.runsLauncher) return kSwitchOtherCopyLeft;
  if (!task.Remove().done) return kSwitchRefused;
  // Asked again: a removal Windows answered but did not make leaves a task
  // that starts a deleted program.
  const ResumeTaskState left = task.Find();
  return left.reached && !(left.exists && left.runsLauncher) ? kSwitchDone : kSwitchRefused;
}

}  // namespace ombrel::editor
