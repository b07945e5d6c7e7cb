// Time and the network's answers on Windows, for the pacing of a run. Through
// kernel32 alone, as everything the launcher needs before its first entry.
#pragma once

#include <windows.h>

#include <atomic>

#include "common/schedule/pacing.h"
#include "common/win/scoped.h"

namespace ombrel::win {

// Sleeps for real; never cuts a wait short. It keeps the run to each step's
// bound: a watch on a thread of its own, started with the first bound (never
// in the same-day start), ends the process with `hungExitStatus` once a step
// has overrun its bound.
class WinClock final : public Clock {
 public:
  explicit WinClock(unsigned hungExitStatus) : hungExitStatus_(hungExitStatus) {}
  WinClock(const WinClock&) = delete;
  WinClock& operator=(const WinClock&) = delete;
  ~WinClock() override;

  [[nodiscard]] std::chrono::milliseconds Elapsed() override;
  [[nodiscard]] bool Sleep(std::chrono::milliseconds duration) override;
  void BoundNextStep(std::chrono::milliseconds bound) override;

 private:
  static DWORD WINAPI Watch(void* clock);

  unsigned hungExitStatus_;
  std::atomic<ULONGLONG> deadline_{0};  // GetTickCount64's; 0 once the run is over
  ScopedHandle changed_;                // set at each new bound, and at the end
  ScopedHandle watch_;
};

// The path's attributes can be read, asked on the calling thread.
[[nodiscard]] bool PathAnswersNow(const std::wstring& path);

class WinNetworkProbe final : public NetworkProbe {
 public:
  // GetDriveTypeW: DRIVE_REMOTE.
  [[nodiscard]] bool IsNetworkDrive(wchar_t letter) override;
  // PathAnswersNow. On a server that does not answer, Windows' own asking
  // may take 20 to 45 seconds itself.
  [[nodiscard]] PathReply AskPath(const std::wstring& path) override;
};

}  // namespace ombrel::win
