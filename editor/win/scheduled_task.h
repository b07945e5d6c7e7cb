// The resume task on Windows: the Task Scheduler 2.0 through COM, with the
// task written as XML (common/startup/resume_task.h) and registered for the user who
// runs the editor, with neither administrator rights nor a password.
#pragma once

#include <string>

#include "editor/model/editor.h"

namespace ombrel::editor {

class ScheduledTask final : public ResumeStart {
 public:
  // `launcher` is the full path of the Ombrel.exe the task starts.
  explicit ScheduledTask(std::wstring launcher) : launcher_(std::move(launcher)) {}

  [[nodiscard]] ResumeTaskState Find() override;
  [[nodiscard]] TaskChange Register() override;
  [[nodiscard]] TaskChange Remove() override;
  [[nodiscard]] std::wstring TaskName() override;

 private:
  std::wstring launcher_;
};

}  // namespace ombrel::editor
