#include "win_pacing.h"

#include <windows.h>

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
  return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace ombrel::win
