#include "test_support.h"

#include <atomic>
#include <fstream>
#include <sstream>
#include <thread>

namespace ombrel::testing {

namespace {

std::wstring UniqueName(const wchar_t* stem) {
  static std::atomic<unsigned> counter{0};
  return std::wstring(stem) + std::to_wstring(::GetCurrentProcessId()) + L"_" +
         std::to_wstring(::GetTickCount64()) + L"_" + std::to_wstring(counter++);
}

}  // namespace

std::wstring BinDir() {
  wchar_t path[MAX_PATH * 4];
  const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH * 4);
  const std::wstring module(path, length);
  return module.substr(0, module.rfind(L'\\'));
}

std::wstring BinPath(const std::wstring& name) { return BinDir() + L"\\" + name; }

TempFolder::TempFolder() {
  wchar_t temp[MAX_PATH + 1];
  const DWORD length = ::GetTempPathW(MAX_PATH + 1, temp);
  std::wstring base(temp, length);
  if (!base.empty() && base.back() == L'\\') base.pop_back();
  path_ = base + L"\\" + UniqueName(L"ombrel_test_");
  ::CreateDirectoryW(path_.c_str(), nullptr);
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(std::filesystem::path(path_), ignored);
}

RecorderLog::RecorderLog() : path_(folder_ / L"recorder.log") {
  ::SetEnvironmentVariableW(L"OMBREL_RECORDER_LOG", path_.c_str());
}

RecorderLog::~RecorderLog() { ::SetEnvironmentVariableW(L"OMBREL_RECORDER_LOG", nullptr); }

std::vector<std::wstring> RecorderLog::Lines() const {
  std::vector<std::wstring> lines;
  const std::optional<std::string> bytes = ReadBytes(path_);
  if (!bytes) return lines;
  std::istringstream in(*bytes);
  for (std::string line; std::getline(in, line);) lines.push_back(FromUtf8(line));
  return lines;
}

std::vector<std::wstring> RecorderLog::WaitForLines(std::size_t count,
                                                    std::chrono::milliseconds timeout) const {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (Lines().size() < count && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  return Lines();
}

std::wstring RecorderLog::Quoted() { return L"\"" + BinPath(L"recorder.exe") + L"\""; }

std::optional<DWORD> RunAndWait(const std::wstring& commandLine, std::chrono::milliseconds timeout) {
  std::wstring line = commandLine;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
    return std::nullopt;
  }
  ::CloseHandle(process.hThread);
  std::optional<DWORD> status;
  if (::WaitForSingleObject(process.hProcess, static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0) {
    DWORD code = 0;
    if (::GetExitCodeProcess(process.hProcess, &code)) status = code;
  }
  ::CloseHandle(process.hProcess);
  return status;
}

std::optional<std::string> ReadBytes(const std::wstring& path) {
  std::ifstream in(std::filesystem::path(path), std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
  std::ofstream out(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
  out << bytes;
}

bool CopyProgram(const std::wstring& name, const std::wstring& toFolder) {
  return ::CopyFileW(BinPath(name).c_str(), (toFolder + L"\\" + name).c_str(), FALSE) != 0;
}

std::string HostPath(const std::wstring& windowsPath) {
  // Wine's own export; tests only ever run under Wine.
  using UnixNameFn = char*(CDECL*)(LPCWSTR);
  const auto unixName = reinterpret_cast<UnixNameFn>(reinterpret_cast<void (*)()>(
      ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  if (unixName == nullptr) return {};
  char* name = unixName(windowsPath.c_str());
  if (name == nullptr) return {};
  std::string result(name);
  ::HeapFree(::GetProcessHeap(), 0, name);
  return result;
}

bool RunHost(const std::string& shellCommand) {
  // Wine starts a host program but gives no handle to wait on: the command
  // leaves its exit status in a file, which is waited for instead.
  TempFolder folder;
  const std::string done = HostPath(folder / L"done");
  std::wstring line =
      L"Z:\\bin\\sh -c \"" + FromUtf8("(" + shellCommand + "); echo $? > '" + done + "'") + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
    return false;
  }
  if (process.hThread) ::CloseHandle(process.hThread);
  if (process.hProcess) ::CloseHandle(process.hProcess);
  for (int i = 0; i < 400; ++i) {
    const std::optional<std::string> status = ReadBytes(folder / L"done");
    if (status && !status->empty() && status->back() == '\n') return *status == "0\n";
    ::Sleep(25);
  }
  return false;
}

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
  std::string bytes(static_cast<std::size_t>(size), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size, nullptr,
                        nullptr);
  return bytes;
}

std::wstring FromUtf8(const std::string& bytes) {
  if (bytes.empty()) return {};
  const int size =
      ::MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring text(static_cast<std::size_t>(size), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), size);
  return text;
}

}  // namespace ombrel::testing
