// The editor's clock for run-now's gaps and network waits. Its window keeps
// drawing and answering Windows while the run waits, and takes no input: no
// command can start in the middle of the run. A wait ends early when the
// window goes (the session ends), and the run with it.
#pragma once

#include <windows.h>

#include "common/schedule/pacing.h"
#include "editor/model/editor.h"

namespace ombrel::editor {

class WindowClock final : public Clock {
 public:
  // `view` is the window that waits; it exists by the time a run waits.
  explicit WindowClock(EditorView& view) : view_(view) {}

  [[nodiscard]] std::chrono::milliseconds Elapsed() override;
  [[nodiscard]] bool Sleep(std::chrono::milliseconds duration) override;

 private:
  EditorView& view_;
};

}  // namespace ombrel::editor
