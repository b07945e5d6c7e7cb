// The editor's clock and network probe for run-now's gaps and network waits.
// Its window keeps drawing and answering Windows while the run waits, and
// takes no input: no command can start in the middle of the run. A wait ends
// early when the window goes (the session ends), and the run with it.
#pragma once

#include <windows.h>

#include "common/schedule/pacing.h"
#include "common/win/win_pacing.h"
#include "editor/model/editor.h"

namespace ombrel::editor {

class WindowClock final : public Clock {
 public:
  // `view` is the window that waits; it exists by the time a run waits.
  explicit WindowClock(EditorView& view) : view_(view) {}

  [[nodiscard]] std::chrono::milliseconds Elapsed() override;
  [[nodiscard]] bool Sleep(std::chrono::milliseconds duration) override;

  // Waits until `done` is set, as Sleep waits. False when the window went
  // meanwhile.
  [[nodiscard]] bool WaitFor(HANDLE done);

 private:
  // Until `done` is set (none: never) or `end` (GetTickCount64's) is reached.
  [[nodiscard]] bool Wait(HANDLE done, ULONGLONG end);

  EditorView& view_;
};

// Asks a network path on a thread of its own: Windows takes 20 to 45 seconds
// to find that a server does not answer, and the window waits meanwhile as
// the clock's sleeps do, never frozen into 応答なし. When the window goes
// while a path is asked, the question is left to end by itself (or with the
// program), and the run stops.
class WindowNetworkProbe final : public NetworkProbe {
 public:
  explicit WindowNetworkProbe(WindowClock& clock) : clock_(clock) {}

  [[nodiscard]] bool IsNetworkDrive(wchar_t letter) override { return direct_.IsNetworkDrive(letter); }
  [[nodiscard]] PathReply AskPath(const std::wstring& path) override;

 private:
  WindowClock& clock_;
  // GetDriveTypeW needs no server; and the way to ask when no thread can be
  // had.
  win::WinNetworkProbe direct_;
};

}  // namespace ombrel::editor
