// What the Windows tests share: temporary program folders, the recorder's
// log, running programs and reading files byte for byte.
#pragma once

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "common/list/utf8.h"
#include "common/win/scoped.h"

namespace ombrel::testing {

// Polls `done` until it holds or the time is up; its last answer. Every wait
// of the tests is one of these, so none can hang a run.
template <typename Condition>
bool WaitUntil(Condition done, std::chrono::milliseconds timeout = std::chrono::seconds(10),
               std::chrono::milliseconds poll = std::chrono::milliseconds(20)) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    if (done()) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(poll);
  }
}

// A program started by a test; its handles are closed with it.
struct Process {
  win::ScopedHandle process;
  win::ScopedHandle thread;
  DWORD processId = 0;
  DWORD threadId = 0;
  // Wine starts a host program without handles to it, so this, not the
  // handle, says whether the start worked.
  bool started = false;
  explicit operator bool() const { return started; }
  // The exit status, or nothing when it still runs after `timeout`.
  [[nodiscard]] std::optional<DWORD> WaitForExit(std::chrono::milliseconds timeout) const;
};

// Starts `commandLine` (the program first, quoted when it holds blanks) with
// the given creation flags, in `workingFolder` or the test's own. An empty
// Process when it could not be started.
[[nodiscard]] Process StartProcess(const std::wstring& commandLine, DWORD creationFlags = 0,
                                   const std::wstring& workingFolder = {});

// The folder of the running test program, where the build puts every
// program: Ombrel.exe, OmbrelSet.exe, recorder.exe and the probes.
std::wstring BinDir();
std::wstring BinPath(const std::wstring& name);

// A fresh, empty folder that is removed again (with whatever is in it) at the
// end of the test.
class TempFolder {
 public:
  TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  ~TempFolder();
  [[nodiscard]] const std::wstring& path() const { return path_; }
  [[nodiscard]] std::wstring operator/(const std::wstring& name) const { return path_ + L"\\" + name; }

 private:
  std::wstring path_;
};

// Points every recorder started from now on (through the inherited
// environment) at a log of its own, and reads what was recorded.
class RecorderLog {
 public:
  RecorderLog();
  ~RecorderLog();
  RecorderLog(const RecorderLog&) = delete;
  RecorderLog& operator=(const RecorderLog&) = delete;

  [[nodiscard]] std::vector<std::wstring> Lines() const;
  // Waits until at least `count` lines are there, then a moment more so that
  // a line too many is seen too; the recorder starts asynchronously.
  std::vector<std::wstring> WaitForLines(std::size_t count,
                                         std::chrono::milliseconds timeout = std::chrono::seconds(20)) const;
  // The lines in the order the recorders were started (see the recorder's
  // order file), rather than the order they reached the log.
  [[nodiscard]] std::vector<std::wstring> StartOrder() const;
  // The same with each recorder's creation time, in 100 ns units.
  [[nodiscard]] std::vector<std::pair<std::uint64_t, std::wstring>> StartTimes() const;
  // The working folder of the recorder that logged `line`; nothing when none
  // did.
  [[nodiscard]] std::optional<std::wstring> WorkingFolderOf(const std::wstring& line) const;
  // The recorder's own command-line prefix, `"Z:\...\recorder.exe"`.
  [[nodiscard]] static std::wstring Quoted();

 private:
  TempFolder folder_;
  std::wstring path_;
};

// A program entry that starts the recorder, which is also the line it logs.
std::wstring RecorderEntry(const std::wstring& tag);
// What the recorder logs when the shell hands it a target.
std::wstring OpenedByShell(const std::wstring& target);
// Everything a run started has been created by the time the run ends; once
// no recorder is left running, the log is complete.
void WaitForRecorders();

// Settings that keep a run that went wrong silent: its notification would
// keep the launcher for up to 30 seconds in every test that makes an entry
// fail for another reason. The notification's own tests leave it on.
inline const std::string kNoNotice = "[Ombrel]\r\nNotifyFailures=0\r\n";

// The only stamp that means "ran today": MM-DD-YYYY, CR, LF.
std::string TodaysStamp();

// Runs a command line and waits for it; its exit status, or nothing when it
// could not be started or did not end in time.
std::optional<DWORD> RunAndWait(const std::wstring& commandLine,
                                std::chrono::milliseconds timeout = std::chrono::seconds(60));

[[nodiscard]] std::optional<std::string> ReadBytes(const std::wstring& path);
void WriteBytes(const std::wstring& path, const std::string& bytes);
bool CopyProgram(const std::wstring& name, const std::wstring& toFolder);

// Runs a command of the Linux host (chattr, for instance) and waits for it.
// Tests run as root, which ignores mode bits; an immutable file is what makes
// a Windows write fail for real.
bool RunHost(const std::string& shellCommand);
// The host's path of a Windows path, through Wine's own mapping.
std::string HostPath(const std::wstring& windowsPath);

// Makes a file or folder immutable for one scope: Windows writes to it fail
// even for root. Undone on every way out of the test; declare it after the
// folder it guards, so that it runs before the folder is removed.
class ImmutablePath {
 public:
  explicit ImmutablePath(const std::wstring& path);
  ImmutablePath(const ImmutablePath&) = delete;
  ImmutablePath& operator=(const ImmutablePath&) = delete;
  ~ImmutablePath();
  [[nodiscard]] bool applied() const { return applied_; }
  explicit operator bool() const { return applied_; }

 private:
  std::string host_;
  bool applied_ = false;
};

// A file held open without sharing, as an indexer or a virus scanner holds
// one for a moment; released after `holdFor`, or when the test ends.
class HeldFile {
 public:
  HeldFile(const std::wstring& path, std::chrono::milliseconds holdFor);
  HeldFile(const HeldFile&) = delete;
  HeldFile& operator=(const HeldFile&) = delete;
  ~HeldFile();
  [[nodiscard]] bool held() const { return held_; }

 private:
  win::ScopedFile file_;
  bool held_ = false;
  std::thread release_;
};

// A program's version resource: its fixed versions, its first translation and
// the strings of the table that translation names.
struct VersionInfo {
  DWORD fileVersionMS = 0;
  DWORD fileVersionLS = 0;
  DWORD productVersionMS = 0;
  DWORD productVersionLS = 0;
  WORD language = 0;
  WORD codePage = 0;
  std::map<std::wstring, std::wstring> strings;
};
std::optional<VersionInfo> ReadVersionInfo(const std::wstring& program);

}  // namespace ombrel::testing
