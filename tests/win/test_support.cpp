#include "test_support.h"

#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cwchar>
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
  WaitUntil([&] { return Lines().size() >= count; }, timeout, std::chrono::milliseconds(50));
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  return Lines();
}

std::vector<std::pair<std::uint64_t, std::wstring>> RecorderLog::StartTimes() const {
  const std::optional<std::string> bytes = ReadBytes(path_ + L".order");
  std::vector<std::pair<std::uint64_t, std::wstring>> stamped;
  std::size_t start = 0;
  while (bytes && start < bytes->size()) {
    const std::size_t end = bytes->find('\n', start);
    const std::string line = bytes->substr(start, end - start);
    if (line.size() > 21) stamped.emplace_back(std::stoull(line.substr(0, 20)), FromUtf8(line.substr(21)));
    start = end == std::string::npos ? bytes->size() : end + 1;
  }
  std::stable_sort(stamped.begin(), stamped.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  return stamped;
}

std::vector<std::wstring> RecorderLog::StartOrder() const {
  std::vector<std::wstring> lines;
  for (auto& [time, line] : StartTimes()) lines.push_back(std::move(line));
  return lines;
}

std::optional<std::wstring> RecorderLog::WorkingFolderOf(const std::wstring& line) const {
  const std::optional<std::string> bytes = ReadBytes(path_ + L".folders");
  std::istringstream in(bytes.value_or(""));
  for (std::string placed; std::getline(in, placed);) {
    const std::size_t tab = placed.find('\t');
    if (tab != std::string::npos && FromUtf8(placed.substr(tab + 1)) == line) {
      return FromUtf8(placed.substr(0, tab));
    }
  }
  return std::nullopt;
}

std::wstring RecorderLog::Quoted() { return L"\"" + BinPath(L"recorder.exe") + L"\""; }

std::wstring RecorderEntry(const std::wstring& tag) { return RecorderLog::Quoted() + L" " + tag; }

std::wstring OpenedByShell(const std::wstring& target) {
  return RecorderLog::Quoted() + L" \"" + target + L"\"";
}

void WaitForRecorders() {
  const auto noneRunning = [] {
    const win::ScopedFile snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more;
         more = ::Process32NextW(snapshot.get(), &entry)) {
      if (::lstrcmpiW(entry.szExeFile, L"recorder.exe") == 0) return false;
    }
    return true;
  };
  if (!WaitUntil(noneRunning)) ADD_FAILURE() << "recorders still running";
}

std::string TodaysStamp() {
  SYSTEMTIME now{};
  ::GetLocalTime(&now);
  char text[16];
  std::snprintf(text, sizeof text, "%02u-%02u-%04u\r\n", now.wMonth, now.wDay, now.wYear);
  return text;
}

std::optional<DWORD> Process::WaitForExit(std::chrono::milliseconds timeout) const {
  if (!process ||
      ::WaitForSingleObject(process.get(), static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0) {
    return std::nullopt;
  }
  DWORD code = 0;
  if (!::GetExitCodeProcess(process.get(), &code)) return std::nullopt;
  return code;
}

Process StartProcess(const std::wstring& commandLine, DWORD creationFlags,
                     const std::wstring& workingFolder) {
  // CreateProcessW may write into the command line.
  std::wstring line = commandLine;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  Process process;
  if (::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, creationFlags, nullptr,
                       workingFolder.empty() ? nullptr : workingFolder.c_str(), &startup, &started)) {
    process.process.reset(started.hProcess);
    process.thread.reset(started.hThread);
    process.processId = started.dwProcessId;
    process.threadId = started.dwThreadId;
    process.started = true;
  }
  return process;
}

std::optional<DWORD> RunAndWait(const std::wstring& commandLine, std::chrono::milliseconds timeout) {
  return StartProcess(commandLine).WaitForExit(timeout);
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
  const Process shell = StartProcess(L"Z:\\bin\\sh -c \"" +
                                     FromUtf8("(" + shellCommand + "); echo $? > '" + done + "'") + L"\"");
  if (!shell) return false;
  std::optional<std::string> status;
  WaitUntil([&] {
    status = ReadBytes(folder / L"done");
    return status && !status->empty() && status->back() == '\n';
  });
  return status == "0\n";
}

ImmutablePath::ImmutablePath(const std::wstring& path) : host_(HostPath(path)) {
  applied_ = !host_.empty() && RunHost("chattr +i '" + host_ + "'");
}

ImmutablePath::~ImmutablePath() {
  if (applied_) {
    EXPECT_TRUE(RunHost("chattr -i '" + host_ + "'"));
  }
}

HeldFile::HeldFile(const std::wstring& path, std::chrono::milliseconds holdFor)
    : file_(::CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)),
      held_(file_.valid()),
      release_([this, holdFor] {
        std::this_thread::sleep_for(holdFor);
        file_.reset();
      }) {}

HeldFile::~HeldFile() { release_.join(); }

std::optional<VersionInfo> ReadVersionInfo(const std::wstring& program) {
  DWORD ignored = 0;
  std::vector<char> block(::GetFileVersionInfoSizeW(program.c_str(), &ignored));
  if (block.empty() ||
      !::GetFileVersionInfoW(program.c_str(), 0, static_cast<DWORD>(block.size()), block.data())) {
    return std::nullopt;
  }
  VersionInfo info;
  VS_FIXEDFILEINFO* fixed = nullptr;
  WORD* translation = nullptr;
  UINT length = 0;
  if (!::VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) ||
      !::VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                        &length) ||
      length < 2 * sizeof(WORD)) {
    return std::nullopt;
  }
  info.fileVersionMS = fixed->dwFileVersionMS;
  info.fileVersionLS = fixed->dwFileVersionLS;
  info.productVersionMS = fixed->dwProductVersionMS;
  info.productVersionLS = fixed->dwProductVersionLS;
  info.language = translation[0];
  info.codePage = translation[1];
  wchar_t table[16];
  ::swprintf(table, 16, L"%04X%04X", info.language, info.codePage);
  for (const wchar_t* name : {L"FileVersion", L"ProductVersion", L"ProductName", L"InternalName",
                              L"OriginalFilename", L"FileDescription", L"CompanyName", L"LegalCopyright"}) {
    void* value = nullptr;
    const std::wstring path = std::wstring(L"\\StringFileInfo\\") + table + L"\\" + name;
    if (::VerQueryValueW(block.data(), path.c_str(), &value, &length) && length > 0) {
      info.strings[name] = static_cast<const wchar_t*>(value);
    }
  }
  return info;
}

}  // namespace ombrel::testing
