#include "common/win/win_pacing.h"

#include <windows.h>

#include <algorithm>

#include "common/win/win_system.h"

namespace ombrel::win {

std::chrono::milliseconds WinClock::Elapsed() {
  return std::chrono::milliseconds{static_cast<std::chrono::milliseconds::rep>(::GetTickCount64())};
}

bool WinClock::Sleep(std::chrono::milliseconds duration) {
  ::Sleep(static_cast<DWORD>(duration.count()));
  return true;
}

void WinClock::BoundNextStep(std::chrono::milliseconds bound) {
  deadline_ = ::GetTickCount64() + static_cast<ULONGLONG>(bound.count());
  if (!watch_) {
    changed_.reset(::CreateEventW(nullptr, FALSE, FALSE, nullptr));
    // Without its watch the run is as it always was: unbounded.
    if (changed_) watch_.reset(::CreateThread(nullptr, 0, &WinClock::Watch, this, 0, nullptr));
    return;
  }
  ::SetEvent(changed_.get());
}

WinClock::~WinClock() {
  if (!watch_) return;
  deadline_ = 0;
  ::SetEvent(changed_.get());
  ::WaitForSingleObject(watch_.get(), INFINITE);
}

DWORD WINAPI WinClock::Watch(void* clock) {
  auto& self = *static_cast<WinClock*>(clock);
  for (;;) {
    const ULONGLONG deadline = self.deadline_;
    if (deadline == 0) return 0;
    const ULONGLONG now = ::GetTickCount64();
    if (now >= deadline) {
      // The main thread is stuck in Windows (a shell extension, a DDE
      // conversation that never ends): nothing it holds can be let go
      // gently. Ending the process frees the folder's lock; the stamp was
      // renewed before the first entry, so the day is not run twice.
      ::TerminateProcess(::GetCurrentProcess(), self.hungExitStatus_);
      return 0;
    }
    // INFINITE is no wait here: a bound that far off is none either.
    ::WaitForSingleObject(self.changed_.get(),
                          static_cast<DWORD>(std::min<ULONGLONG>(deadline - now, INFINITE - 1)));
  }
}

bool WinNetworkProbe::IsNetworkDrive(wchar_t letter) {
  const wchar_t root[] = {letter, L':', L'\\', L'\0'};
  return ::GetDriveTypeW(root) == DRIVE_REMOTE;
}

bool PathAnswersNow(const std::wstring& path) {
  // Whatever it names, a file or a folder, the share behind it answered.
  return PathExists(path, 0);
}

PathReply WinNetworkProbe::AskPath(const std::wstring& path) {
  return PathAnswersNow(path) ? PathReply::kAnswered : PathReply::kSilent;
}

}  // namespace ombrel::win
