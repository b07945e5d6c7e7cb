#include "common/win/win_pacing.h"

#include <windows.h>

#include "common/win/win_system.h"

namespace ombrel::win {

std::chrono::milliseconds WinClock::Elapsed() {
  return std::chrono::milliseconds{static_cast<std::chrono::milliseconds::rep>(::GetTickCount64())};
}

bool WinClock::Sleep(std::chrono::milliseconds duration) {
  ::Sleep(static_cast<DWORD>(duration.count()));
  return true;
}

bool WinNetworkProbe::IsNetworkDrive(wchar_t letter) {
  const wchar_t root[] = {letter, L':', L'\\', L'\0'};
  return ::GetDriveTypeW(root) == DRIVE_REMOTE;
}

bool WinNetworkProbe::PathAnswers(const std::wstring& path) {
  // Whatever it names, a file or a folder, the share behind it answered.
  return PathExists(path, 0);
}

}  // namespace ombrel::win
