#include "editor/model/resume_switch.h"

namespace ombrel::editor {

std::optional<int> RunResumeTaskSwitch(const std::vector<std::wstring>& arguments, ResumeStart& task) {
  if (arguments.empty() || arguments.front() != L"/resume-task") return std::nullopt;
  const std::wstring value = arguments.size() == 2 ? arguments[1] : L"";
  if (value == L"on") return task.Register().done ? kSwitchDone : kSwitchRefused;
  if (value != L"off") return kSwitchMistyped;
  const ResumeTaskState found = task.Find();
  if (!found.reached) return kSwitchRefused;
  if (!found.exists || !found.runsLauncher) return kSwitchDone;
  return task.Remove().done ? kSwitchDone : kSwitchRefused;
}

}  // namespace ombrel::editor
