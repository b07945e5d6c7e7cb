// The recorder: stands in for every program the tests let the shell start.
// It appends its own command line, as UTF-8, as one line to a log file, so a
// test can see exactly what was started or opened, and in which order.
//
// The log is the file named by OMBREL_RECORDER_LOG, or recorder.log beside
// the recorder when that is not set.
//
// Recorders started one right after the other may reach their log in either
// order. So that a test can still see in which order they were started, each
// also appends its line to the log's name followed by ".order", behind its
// process creation time (100 ns units, 20 digits) and a blank; and to the
// log's name followed by ".folders", behind the folder it was started in and
// a tab, so that a test can see each program's working folder.
#include <windows.h>

#include <string>

#include "common/list/utf8.h"

namespace {

std::wstring LogPath() {
  wchar_t path[32768];
  const DWORD length = ::GetEnvironmentVariableW(L"OMBREL_RECORDER_LOG", path, 32768);
  if (length > 0 && length < 32768) return path;
  const DWORD module = ::GetModuleFileNameW(nullptr, path, 32768);
  std::wstring log(path, module);
  return log.substr(0, log.rfind(L'\\') + 1) + L"recorder.log";
}

std::string CreationTime() {
  FILETIME created{}, exited{}, kernel{}, user{};
  ::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user);
  const unsigned long long ticks =
      (static_cast<unsigned long long>(created.dwHighDateTime) << 32U) | created.dwLowDateTime;
  std::string text = std::to_string(ticks);
  return std::string(text.size() < 20 ? 20 - text.size() : 0, '0') + text + " ";
}

std::string CurrentFolder() {
  std::wstring folder(32768, L'\0');
  folder.resize(::GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data()));
  return ombrel::ToUtf8(folder) + "\t";
}

// Appends one line; 0 when it was written whole. Callers hold the log's
// mutex, so that the line lands whole at the end.
int Append(const std::wstring& path, const std::string& line) {
  // A sharing conflict with a test reading the log is waited out.
  for (int attempt = 0; attempt < 200; ++attempt) {
    HANDLE file = ::CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      DWORD written = 0;
      const BOOL ok = ::WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
      ::CloseHandle(file);
      return ok && written == line.size() ? 0 : 1;
    }
    ::Sleep(25);
  }
  return 2;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  const std::string line = ombrel::ToUtf8(::GetCommandLineW()) + "\n";
  const std::wstring path = LogPath();
  // Several recorders may start at once, and Wine's appends are a seek to
  // the end and a write, so two of them can land on the same place: one line
  // was seen cut into by another. One writer at a time; a recorder that
  // waited this long writes anyway.
  const HANDLE mutex = ::CreateMutexW(nullptr, FALSE, L"Local\\OmbrelRecorderLog");
  const bool held = mutex != nullptr && ::WaitForSingleObject(mutex, 10000) != WAIT_TIMEOUT;
  // The order and folder files first: once a test sees a recorder's log
  // line, its other lines are there too.
  const int ordered = Append(path + L".order", CreationTime() + line);
  const int placed = Append(path + L".folders", CurrentFolder() + line);
  const int logged = Append(path, line);
  if (held) ::ReleaseMutex(mutex);
  if (mutex != nullptr) ::CloseHandle(mutex);
  return logged != 0 ? logged : (ordered != 0 ? ordered : placed);
}
