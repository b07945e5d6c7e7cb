#include "launcher/win_session.h"

#include <windows.h>

#include <wtsapi32.h>

#include <cstddef>
#include <memory>

#include "common/win/scoped.h"

namespace ombrel::launcher {

namespace {

// WTSSessionInfoEx and its answer, newer than mingw-w64's wtsapi32.h: the
// layout of WTSINFOEXW as Microsoft documents it.
constexpr int kSessionInfoEx = 25;
struct SessionInfoLevel1 {
  ULONG sessionId;
  ULONG sessionState;
  LONG sessionFlags;
  WCHAR winStationName[33];
  WCHAR userName[21];
  WCHAR domainName[18];
  LARGE_INTEGER logonTime;
  LARGE_INTEGER connectTime;
  LARGE_INTEGER disconnectTime;
  LARGE_INTEGER lastInputTime;
  LARGE_INTEGER currentTime;
  DWORD incomingBytes;
  DWORD outgoingBytes;
  DWORD incomingFrames;
  DWORD outgoingFrames;
  DWORD incomingCompressedBytes;
  DWORD outgoingCompressedBytes;
};
struct SessionInfo {
  DWORD level;
  union {
    SessionInfoLevel1 level1;
  } data;
};

using QueryFn = BOOL(WINAPI*)(HANDLE, DWORD, int, LPWSTR*, DWORD*);
using FreeFn = void(WINAPI*)(PVOID);

// Exact for 6.1, the one version that matters here, whatever the manifest
// says: only later versions are reported as an older one.
void AddWindowsVersion(SessionReport& report) {
  OSVERSIONINFOW version{};
  version.dwOSVersionInfoSize = sizeof version;
  if (!::GetVersionExW(&version)) return;
  report.windowsMajor = version.dwMajorVersion;
  report.windowsMinor = version.dwMinorVersion;
}

}  // namespace

SessionReport WinSession::Report() {
  // Never freed: asked once a run, and loaded from the system folder alone.
  const HMODULE wtsapi = win::LoadSystemLibrary(L"wtsapi32.dll");
  const auto query = win::GetProc<QueryFn>(wtsapi, "WTSQuerySessionInformationW");
  const auto free = win::GetProc<FreeFn>(wtsapi, "WTSFreeMemory");
  if (query == nullptr || free == nullptr) return {};
  LPWSTR buffer = nullptr;
  DWORD bytes = 0;
  if (!query(WTS_CURRENT_SERVER_HANDLE, WTS_CURRENT_SESSION, kSessionInfoEx, &buffer, &bytes) ||
      buffer == nullptr) {
    return {};
  }
  const std::unique_ptr<WCHAR, FreeFn> answer(buffer, free);
  SessionReport report;
  const auto* info = reinterpret_cast<const SessionInfo*>(answer.get());
  if (bytes >= offsetof(SessionInfo, data.level1.winStationName) && info->level == 1) {
    report.answered = true;
    report.connectState = info->data.level1.sessionState;
    report.flags = info->data.level1.sessionFlags;
    AddWindowsVersion(report);
  }
  return report;
}

}  // namespace ombrel::launcher
