// Ombrel.exe end to end under Wine: a copy of the program in a fresh program
// folder, the real stamp and list files there, and the recorder standing in
// for everything the launcher starts or the shell opens.
#include <windows.h>

#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <set>

#include "common/list/entry_list.h"
#include "common/record/run_record.h"
#include "common/schedule/day_rule.h"
#include "common/win/error_text.h"
#include "common/win/win_system.h"
#include "launcher/folder_mutex.h"
#include "launcher/launcher_run.h"
#include "launcher_fixture.h"
#include "test_support.h"

namespace ombrel {
namespace {

using testing::DateOf;
using testing::kDone;
using testing::kEntryNotOpened;
using testing::kStampNotWritten;
using testing::LauncherTest;
using testing::Lines;
using testing::OpenedByShell;
using testing::Quote;
using testing::ReadBytes;
using testing::RecorderEntry;
using testing::RecorderLog;
using testing::TempFolder;
using testing::Today;
using testing::TodaysStamp;
using testing::WaitForRecorders;
using testing::WriteBytes;
using testing::WriteList;
using testing::Yesterday;

// A run of the launcher watched as its debugger: every DLL it loaded, in
// order, and what windows it had at the moment it loaded ole32, which it does
// for its first shell entry right after making its owner window.
struct WindowSeen {
  std::wstring className;
  std::wstring caption;
  bool visible = false;
};
struct WatchedRun {
  std::optional<DWORD> status;
  Lines modules;  // the DLLs' paths as the process registered them, upper case
  std::vector<WindowSeen> windowsAtOle32;
  bool messageOwnerAtOle32 = false;  // a message-only Form1 of ours
};

std::wstring Upper(std::wstring text) {
  std::transform(text.begin(), text.end(), text.begin(), [](wchar_t c) { return std::towupper(c); });
  return text;
}

std::wstring BaseName(const std::wstring& path) { return path.substr(path.rfind(L'\\') + 1); }

std::vector<WindowSeen> WindowsOf(DWORD processId) {
  struct Search {
    DWORD processId;
    std::vector<WindowSeen> found;
  } search{processId, {}};
  ::EnumWindows(
      [](HWND window, LPARAM context) -> BOOL {
        auto& s = *reinterpret_cast<Search*>(context);
        DWORD owner = 0;
        ::GetWindowThreadProcessId(window, &owner);
        if (owner != s.processId) return TRUE;
        wchar_t className[256] = {};
        wchar_t caption[256] = {};
        ::GetClassNameW(window, className, 256);
        // Without a message: the process stands still under the debugger.
        ::InternalGetWindowText(window, caption, 256);
        s.found.push_back({className, caption, ::IsWindowVisible(window) != FALSE});
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The path under which the process registered a DLL it loaded. Not the file
// that was mapped: when Wine finds a DLL of its own by name in a folder, it
// registers that folder's path but maps its own file, and it is the folder
// that tells where the program looked.
std::wstring LoadedAs(HANDLE process, const LOAD_DLL_DEBUG_INFO& dll) {
  void* remote = nullptr;
  SIZE_T read = 0;
  std::wstring name;
  if (dll.lpImageName != nullptr && dll.fUnicode &&
      ::ReadProcessMemory(process, dll.lpImageName, &remote, sizeof remote, &read) && remote != nullptr) {
    for (auto* at = static_cast<const wchar_t*>(remote); name.size() < 32768; ++at) {
      wchar_t c = 0;
      if (!::ReadProcessMemory(process, at, &c, sizeof c, &read) || c == L'\0') break;
      name += c;
    }
  }
  return name;
}

WatchedRun RunWatched(const std::wstring& program) {
  WatchedRun run;
  const testing::Process process = testing::StartProcess(Quote(program), DEBUG_ONLY_THIS_PROCESS);
  if (!process) {
    ADD_FAILURE() << "cannot start " << ToUtf8(program);
    return run;
  }
  for (;;) {
    DEBUG_EVENT event{};
    if (!::WaitForDebugEvent(&event, 30000)) {
      ADD_FAILURE() << "no debug event for 30 s";
      ::TerminateProcess(process.process.get(), 99);
      break;
    }
    DWORD next = DBG_CONTINUE;
    if (event.dwDebugEventCode == CREATE_PROCESS_DEBUG_EVENT && event.u.CreateProcessInfo.hFile) {
      ::CloseHandle(event.u.CreateProcessInfo.hFile);
    } else if (event.dwDebugEventCode == LOAD_DLL_DEBUG_EVENT) {
      std::wstring path = LoadedAs(process.process.get(), event.u.LoadDll);
      if (event.u.LoadDll.hFile) {
        // ntdll and DLLs mapped only as data have no registered path.
        wchar_t file[MAX_PATH * 2] = {};
        const DWORD length = ::GetFinalPathNameByHandleW(event.u.LoadDll.hFile, file, MAX_PATH * 2, 0);
        if (path.empty() && length > 0 && length < MAX_PATH * 2) path = file;
        ::CloseHandle(event.u.LoadDll.hFile);
      }
      std::wstring name = Upper(path);
      if (name.rfind(L"\\\\?\\", 0) == 0) name.erase(0, 4);
      run.modules.push_back(name);
      if (BaseName(name) == L"OLE32.DLL" && run.windowsAtOle32.empty()) {
        run.windowsAtOle32 = WindowsOf(event.dwProcessId);
        run.messageOwnerAtOle32 =
            ::FindWindowExW(HWND_MESSAGE, nullptr, L"OmbrelHiddenOwner", L"Form1") != nullptr;
      }
    } else if (event.dwDebugEventCode == EXCEPTION_DEBUG_EVENT &&
               event.u.Exception.ExceptionRecord.ExceptionCode != EXCEPTION_BREAKPOINT) {
      next = DBG_EXCEPTION_NOT_HANDLED;
    } else if (event.dwDebugEventCode == EXIT_PROCESS_DEBUG_EVENT) {
      run.status = event.u.ExitProcess.dwExitCode;
      ::ContinueDebugEvent(event.dwProcessId, event.dwThreadId, DBG_CONTINUE);
      break;
    }
    ::ContinueDebugEvent(event.dwProcessId, event.dwThreadId, next);
  }
  static_cast<void>(process.WaitForExit(std::chrono::seconds(10)));
  return run;
}

struct StampCase {
  const char* name;
  std::optional<std::string> bytes;  // nothing: no stamp file
  bool opens;
};

TEST_F(LauncherTest, StampDecidesAndIsLeftAsTwelveBytesOfToday) {
  const SYSTEMTIME today = Today();
  const std::string noLeadingZeros = DateOf(today, "%u-%u-%04u") + "\r\n";
  std::vector<StampCase> cases = {
      {"missing", std::nullopt, true},
      {"today", TodaysStamp(), false},
      {"today_then_more_lines", TodaysStamp() + "01-01-2000\r\n", false},
      {"yesterday", DateOf(Yesterday()) + "\r\n", true},
      {"reset_empty_line", "\r\n", true},
      {"zero_bytes", "", true},
      {"slashes", DateOf(today, "%02u/%02u/%04u") + "\r\n", true},
      {"two_digit_year", DateOf(today, "%02u-%02u-") + std::to_string(today.wYear % 100) + "\r\n", true},
      {"longer_old_content", "12-31-1999 and a long tail that must not survive\r\nmore\r\n", true},
  };
  if (noLeadingZeros != TodaysStamp()) cases.push_back({"no_leading_zeros", noLeadingZeros, true});
  WriteList(List(), {RecorderEntry(L"stamp")});

  std::size_t opened = 0;
  for (const StampCase& c : cases) {
    SCOPED_TRACE(c.name);
    ::DeleteFileW(Stamp().c_str());
    if (c.bytes) WriteBytes(Stamp(), *c.bytes);

    EXPECT_EQ(Run(), kDone);
    if (c.opens) ++opened;
    EXPECT_EQ(log_.Lines().size(), opened);
    const std::optional<std::string> after = ReadBytes(Stamp());
    EXPECT_EQ(after, c.opens ? std::optional(TodaysStamp()) : c.bytes);
    if (c.opens) {
      EXPECT_EQ(after.value_or("").size(), 12U);
    }
  }
}

TEST_F(LauncherTest, MissingOrEmptyListRenewsStampAndOpensNothing) {
  for (const bool missing : {true, false}) {
    SCOPED_TRACE(missing ? "missing" : "zero bytes");
    WriteBytes(Stamp(), DateOf(Yesterday()) + "\r\n");
    if (missing) {
      ::DeleteFileW(List().c_str());
    } else {
      WriteBytes(List(), "");
    }
    EXPECT_EQ(Run(), kDone);
    EXPECT_EQ(ReadBytes(Stamp()), TodaysStamp());
    EXPECT_TRUE(log_.Lines().empty());
  }
}

TEST_F(LauncherTest, MixedListOpensEachEntryOnceInFileOrderAndOnlyOnceADay) {
  const std::wstring document = folder_ / L"予定 表.ombtest";
  WriteBytes(document, "x");
  WriteList(List(), {
                        RecorderEntry(L"first"),
                        document,
                        L"user@host.example.jp",
                        folder_ / L"無い.ombtest",  // the shell cannot open it: skipped
                        folder_ / L"gone.exe",      // cannot start, nor can the shell open it
                        L"",                        // blank: skipped, and the run goes on
                        L"http://www.example.jp/",
                        RecorderEntry(L"last"),
                    });
  const std::optional<std::string> list = ReadBytes(List());

  EXPECT_EQ(Run(), kEntryNotOpened);
  const Lines expected = {RecorderEntry(L"first"), OpenedByShell(document),
                          OpenedByShell(L"Mailto:user@host.example.jp"),
                          OpenedByShell(L"http://www.example.jp/"), RecorderEntry(L"last")};
  log_.WaitForLines(expected.size());
  EXPECT_EQ(log_.StartOrder(), expected);
  EXPECT_EQ(log_.Lines().size(), expected.size());
  EXPECT_EQ(ReadBytes(Stamp()), TodaysStamp());
  EXPECT_EQ(ReadBytes(List()), list) << "the launcher never writes the list";

  // The record: every entry's outcome, with Windows' code and words for
  // those that failed, a line each, in a file that starts with the mark.
  const std::optional<std::string> record = ReadBytes(Record());
  ASSERT_TRUE(record.has_value());
  EXPECT_TRUE(record->starts_with("\xEF\xBB\xBF"));
  const std::vector<RecordedRun> runs = ParseRunRecord(*record);
  ASSERT_EQ(runs.size(), 1U);
  EXPECT_EQ(runs[0].starter, RunStarter::kLauncher);
  EXPECT_EQ(runs[0].end, RunEnd::kDone);
  const std::vector<RecordEvent> outcomes = {
      RecordEvent::kProgram, RecordEvent::kShell,   RecordEvent::kMailLink, RecordEvent::kFailed,
      RecordEvent::kFailed,  RecordEvent::kSkipped, RecordEvent::kShell,    RecordEvent::kProgram};
  ASSERT_EQ(runs[0].entries.size(), outcomes.size());
  for (std::size_t i = 0; i < outcomes.size(); ++i) {
    const RecordedEntry& entry = runs[0].entries[i];
    EXPECT_EQ(entry.event, outcomes[i]) << i;
    if (entry.event == RecordEvent::kFailed) {
      EXPECT_EQ(entry.error, static_cast<std::uint32_t>(ERROR_FILE_NOT_FOUND)) << ToUtf8(entry.entry);
      EXPECT_EQ(entry.detail, win::WindowsErrorText(ERROR_FILE_NOT_FOUND)) << ToUtf8(entry.entry);
    }
  }
  EXPECT_EQ(runs[0].entries[3].entry, folder_ / L"無い.ombtest");
  // The program's file as Windows found it.
  EXPECT_EQ(::lstrcmpiW(runs[0].entries[0].detail.c_str(), testing::BinPath(L"recorder.exe").c_str()), 0)
      << ToUtf8(runs[0].entries[0].detail);

  // The second start of the day.
  EXPECT_EQ(Run(), kDone);
  EXPECT_EQ(log_.Lines().size(), expected.size());
}

TEST_F(LauncherTest, SameDayStartTouchesNoDllBeyondKernel32) {
  WriteBytes(Stamp(), TodaysStamp());
  WriteList(List(), {folder_ / L"doc.ombtest", RecorderEntry(L"never")});

  const WatchedRun run = RunWatched(Program());
  EXPECT_EQ(run.status, kDone);
  ASSERT_FALSE(run.modules.empty());
  // Under Wine every process maps tzres.dll, as data for the time zone's
  // names, while it starts and before any of the launcher's code runs.
  const std::set<std::wstring> allowed = {L"NTDLL.DLL", L"KERNEL32.DLL", L"KERNELBASE.DLL", L"MSVCRT.DLL",
                                          L"TZRES.DLL"};
  for (const std::wstring& module : run.modules) {
    EXPECT_EQ(allowed.count(BaseName(module)), 1U) << ToUtf8(module);
  }
  WaitForRecorders();
  EXPECT_TRUE(log_.Lines().empty());
  EXPECT_EQ(ReadBytes(Stamp()), TodaysStamp());
}

// A new day asks who is at the session, through wtsapi32 from the system
// folder; Wine's cannot say (WTSQuerySessionInformationW fails), and the run
// goes on as it always did.
TEST_F(LauncherTest, ProgramEntriesAloneNeverLoadTheWindowSystem) {
  WriteList(List(), {RecorderEntry(L"one"), RecorderEntry(L"two")});

  const WatchedRun run = RunWatched(Program());
  EXPECT_EQ(run.status, kDone);
  ASSERT_FALSE(run.modules.empty());
  wchar_t system[MAX_PATH] = {};
  ASSERT_GT(::GetSystemDirectoryW(system, MAX_PATH), 0U);
  EXPECT_EQ(std::count(run.modules.begin(), run.modules.end(), Upper(system) + L"\\WTSAPI32.DLL"), 1);
  for (const std::wstring& module : run.modules) {
    EXPECT_NE(BaseName(module), L"USER32.DLL");
    EXPECT_NE(BaseName(module), L"SHELL32.DLL");
  }
  WaitForRecorders();
  EXPECT_EQ(log_.Lines().size(), 2U);
}

TEST_F(LauncherTest, ShellEntryGetsAMessageOnlyForm1AndPlantedDllsStayUnloaded) {
  // Windows loads these on behalf of user32 by name; without the launcher's
  // restriction Wine takes them from the program folder.
  for (const wchar_t* name : {L"imm32.dll", L"uxtheme.dll", L"version.dll"}) {
    ASSERT_TRUE(::CopyFileW(testing::BinPath(L"planted.dll").c_str(), (folder_ / name).c_str(), FALSE));
  }
  const std::wstring document = folder_ / L"doc.ombtest";
  WriteBytes(document, "x");
  WriteList(List(), {document});

  const WatchedRun run = RunWatched(Program());
  EXPECT_EQ(run.status, kDone);
  const std::wstring folder = Upper(folder_.path()) + L"\\";
  std::set<std::wstring> names;
  for (const std::wstring& module : run.modules) {
    names.insert(BaseName(module));
    EXPECT_NE(module.rfind(folder, 0), 0U) << "loaded from the program folder: " << ToUtf8(module);
  }
  // Loaded for the shell entry, so the watch above saw the DLLs it had to.
  EXPECT_EQ(names.count(L"USER32.DLL"), 1U);
  EXPECT_EQ(names.count(L"IMM32.DLL"), 1U);

  // No top-level window, not even Windows' own IME window for the thread.
  for (const WindowSeen& window : run.windowsAtOle32) ADD_FAILURE() << ToUtf8(window.className);
  EXPECT_TRUE(run.messageOwnerAtOle32);
  WaitForRecorders();
  EXPECT_EQ(log_.Lines(), Lines{OpenedByShell(document)});
}

TEST_F(LauncherTest, LaunchersStartedTogetherOpenEachEntryOnce) {
  WriteList(List(), {RecorderEntry(L"a"), RecorderEntry(L"b"), RecorderEntry(L"c")});
  std::vector<testing::Process> launchers;
  for (int i = 0; i < 3; ++i) {
    launchers.push_back(testing::StartProcess(Quote(Program())));
    ASSERT_TRUE(launchers.back());
  }
  for (const testing::Process& launcher : launchers) {
    EXPECT_EQ(launcher.WaitForExit(std::chrono::seconds(60)), kDone);
  }
  WaitForRecorders();
  Lines lines = log_.Lines();
  std::sort(lines.begin(), lines.end());
  EXPECT_EQ(lines, (Lines{RecorderEntry(L"a"), RecorderEntry(L"b"), RecorderEntry(L"c")}));
  EXPECT_EQ(ReadBytes(Stamp()), TodaysStamp());
}

TEST_F(LauncherTest, SecondLauncherWaitsForTheFolderLockThenSeesTodaysStamp) {
  WriteBytes(Stamp(), DateOf(Yesterday()) + "\r\n");
  WriteList(List(), {RecorderEntry(L"once")});
  // As a first launcher does while it runs; the name ignores letter case.
  win::ScopedHandle held(
      ::CreateMutexW(nullptr, TRUE, launcher::FolderMutexName(Upper(folder_.path())).c_str()));
  ASSERT_TRUE(held);

  const testing::Process second = testing::StartProcess(Quote(Program()));
  ASSERT_TRUE(second);
  // Ample time for a run that did not wait to finish.
  EXPECT_FALSE(second.WaitForExit(std::chrono::milliseconds(1500)).has_value());
  EXPECT_EQ(ReadBytes(Stamp()), DateOf(Yesterday()) + "\r\n");

  // The first launcher's run ends with today's stamp.
  WriteBytes(Stamp(), TodaysStamp());
  ::ReleaseMutex(held.get());
  EXPECT_EQ(second.WaitForExit(std::chrono::seconds(30)), kDone);
  WaitForRecorders();
  EXPECT_TRUE(log_.Lines().empty());
  EXPECT_EQ(ReadBytes(Stamp()), TodaysStamp());
}

// While a paced run waits between entries (the stamp renewed, the lock
// held): a broadcast, which waits for every top-level window to answer, is
// answered (the launcher's thread answers nothing then, and with a timeout
// longer than the gap a window of its would hold the broadcast until it had
// ended); a second start is a same-day start, which ends at once with status
// 0 and leaves no line in the record.
TEST_F(LauncherTest, DuringAGapABroadcastIsAnsweredAndASecondStartEndsAtOnce) {
  const std::wstring document = folder_ / L"doc.ombtest";
  WriteBytes(document, "x");
  WriteList(List(), {document, RecorderEntry(L"after the gap")});
  WriteBytes(SettingsFile(), "[Ombrel]\r\nGapSeconds=60\r\n");
  const testing::Process first = testing::StartProcess(Quote(Program()));
  ASSERT_TRUE(first);
  // The stamp is renewed and the owner window made before the shell takes
  // the document; the gap follows.
  ASSERT_EQ(log_.WaitForLines(1), Lines{OpenedByShell(document)});

  DWORD_PTR answer = 0;
  EXPECT_NE(::SendMessageTimeoutW(HWND_BROADCAST, ::RegisterWindowMessageW(L"OmbrelBroadcastProbe"), 0, 0,
                                  SMTO_NORMAL, 120000, &answer),
            0);
  EXPECT_FALSE(first.WaitForExit(std::chrono::milliseconds(0)).has_value()) << "answered once it had ended";
  // Well within the five minutes a wait for the lock would take.
  EXPECT_EQ(testing::RunAndWait(Quote(Program()), std::chrono::seconds(60)), kDone);
  const std::vector<RecordedRun> runs = ParseRunRecord(ReadBytes(Record()).value_or(""));
  ASSERT_EQ(runs.size(), 1U);
  EXPECT_EQ(runs[0].process, first.processId);
  ::TerminateProcess(first.process.get(), 1);
  EXPECT_TRUE(first.WaitForExit(std::chrono::seconds(10)).has_value());
}

// Windows refuses to create a hidden or system file anew over the old one
// (Wine does not): the stamp is renewed in place, its attributes kept.
TEST_F(LauncherTest, AHiddenOrSystemStampIsRenewedWithItsAttributesKept) {
  constexpr DWORD kHiddenSystem = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  for (const DWORD attributes : {FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_SYSTEM}) {
    WriteBytes(Stamp(), DateOf(Yesterday()) + "\r\n");
    ASSERT_TRUE(::SetFileAttributesW(Stamp().c_str(), attributes));
    EXPECT_EQ(Run(), kDone);
    EXPECT_EQ(ReadBytes(Stamp()), TodaysStamp());
    EXPECT_EQ(::GetFileAttributesW(Stamp().c_str()) & kHiddenSystem, attributes);
  }
}

TEST_F(LauncherTest, StampThatCannotBeWrittenStillOpensEntriesAndFails) {
  const std::string old = DateOf(Yesterday()) + "\r\n";
  WriteList(List(), {RecorderEntry(L"first"), RecorderEntry(L"second")});
  std::size_t opened = 0;

  {
    SCOPED_TRACE("read-only stamp");
    WriteBytes(Stamp(), old);
    const testing::ImmutablePath readOnly(Stamp());
    ASSERT_TRUE(readOnly);
    EXPECT_EQ(Run(), kStampNotWritten);
    EXPECT_EQ(log_.Lines().size(), opened += 2);
    EXPECT_EQ(ReadBytes(Stamp()), old);
  }
  {
    SCOPED_TRACE("read-only folder without a stamp");
    ::DeleteFileW(Stamp().c_str());
    const testing::ImmutablePath readOnly(folder_.path());
    ASSERT_TRUE(readOnly);
    EXPECT_EQ(Run(), kStampNotWritten);
    EXPECT_EQ(log_.Lines().size(), opened += 2);
    EXPECT_FALSE(ReadBytes(Stamp()).has_value());
  }
  {
    SCOPED_TRACE("stamp held open without sharing");
    WriteBytes(Stamp(), TodaysStamp());
    win::ScopedFile locked(
        ::CreateFileW(Stamp().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(locked);
    // Unreadable counts as not run today, even though it holds today.
    EXPECT_EQ(Run(), kStampNotWritten);
    EXPECT_EQ(log_.Lines().size(), opened += 2);
  }
}

// Today's weekday switched off: nothing opens, the stamp is renewed, the
// record says why, status 0. Every day open again, a gap of two seconds
// spaces the two program entries, as their start times show.
TEST_F(LauncherTest, ATodayTheSettingsCloseOpensNothingAndAGapSpacesTheEntries) {
  WriteList(List(), {RecorderEntry(L"first"), RecorderEntry(L"second")});
  WriteBytes(SettingsFile(), "[Ombrel]\r\nDays=" + testing::DaysWithoutToday() + "\r\nGapSeconds=2\r\n");
  WriteBytes(Stamp(), DateOf(Yesterday()) + "\r\n");
  EXPECT_EQ(Run(), kDone);
  EXPECT_TRUE(log_.Lines().empty());
  EXPECT_EQ(ReadBytes(Stamp()), TodaysStamp());
  std::vector<RecordedRun> runs = ParseRunRecord(ReadBytes(Record()).value_or(""));
  ASSERT_EQ(runs.size(), 1U);
  EXPECT_EQ(runs[0].end, RunEnd::kDayClosed);
  EXPECT_EQ(runs[0].endDetail, L"weekday");
  EXPECT_TRUE(runs[0].entries.empty());

  WriteBytes(SettingsFile(), "[Ombrel]\r\nGapSeconds=2\r\n");
  WriteBytes(Stamp(), "\r\n");
  EXPECT_EQ(Run(), kDone);
  log_.WaitForLines(2);
  const std::vector<std::pair<std::uint64_t, std::wstring>> started = log_.StartTimes();
  ASSERT_EQ(started.size(), 2U);
  EXPECT_EQ(started[0].second, RecorderEntry(L"first"));
  // In 100 ns units: at least the gap, and not the pause nobody set.
  const std::uint64_t apart = started[1].first - started[0].first;
  EXPECT_GE(apart, 20'000'000U);
  EXPECT_LT(apart, 60'000'000U);
  runs = ParseRunRecord(ReadBytes(Record()).value_or(""));
  ASSERT_EQ(runs.size(), 2U);
  EXPECT_EQ(runs[1].end, RunEnd::kDone);
}

// Entries with days of their own, by weekday, after three days off (the last
// run four days ago): today's opens, tomorrow's is left out as not today, the
// one of two days ago is caught up for that day, an entry without days opens
// as ever, each in list order.
TEST_F(LauncherTest, EntriesOpenOnTheirOwnDaysAndADayMissedIsCaughtUp) {
  const Lines entries = {RecorderEntry(L"today"), RecorderEntry(L"tomorrow"), RecorderEntry(L"daily"),
                         RecorderEntry(L"missed")};
  WriteList(List(), entries);
  const SYSTEMTIME missed = testing::DaysFromToday(-2);
  WriteBytes(SettingsFile(), "[EntryDays]\r\n" + ToUtf8(entries[0]) + "=" + testing::WeekdayTerm(Today()) +
                                 "\r\n" + ToUtf8(entries[1]) + "=" +
                                 testing::WeekdayTerm(testing::DaysFromToday(1)) + "\r\n" +
                                 ToUtf8(entries[3]) + "=" + testing::WeekdayTerm(missed) + "\r\n");
  WriteBytes(Stamp(), DateOf(testing::DaysFromToday(-4)) + "\r\n");
  EXPECT_EQ(Run(), kDone);
  log_.WaitForLines(3);
  EXPECT_EQ(log_.StartOrder(), (Lines{entries[0], entries[2], entries[3]}));
  EXPECT_EQ(ReadBytes(Stamp()), TodaysStamp());
  const std::vector<RecordedRun> runs = ParseRunRecord(ReadBytes(Record()).value_or(""));
  ASSERT_EQ(runs.size(), 1U);
  ASSERT_EQ(runs[0].entries.size(), 4U);
  EXPECT_EQ(runs[0].entries[1].event, RecordEvent::kSkipped);
  EXPECT_EQ(runs[0].entries[1].detail, kSkippedNotToday);
  const std::wstring missedDay = IsoDayText(DayOf({missed.wYear, missed.wMonth, missed.wDay, 0, 0, 0}));
  for (std::size_t i : {0U, 2U, 3U}) {
    EXPECT_EQ(runs[0].entries[i].event, RecordEvent::kProgram) << i;
    EXPECT_EQ(runs[0].entries[i].catchUpDay, i == 3 ? missedDay : L"") << i;
  }
}

TEST(LauncherMutexTest, NameIgnoresLetterCase) {
  EXPECT_EQ(launcher::FolderMutexName(L"C:\\Program Files\\Ombrel"),
            launcher::FolderMutexName(L"c:\\PROGRAM FILES\\ombrel"));
  EXPECT_EQ(launcher::FolderMutexName(L"C:\\ＡＢ\\ä"), launcher::FolderMutexName(L"C:\\ａｂ\\Ä"));
  EXPECT_NE(launcher::FolderMutexName(L"C:\\Ombrel"), launcher::FolderMutexName(L"C:\\Ombrel2"));
}

TEST(LauncherProgramTest, CarriesIconAndManifest) {
  const std::wstring program = testing::BinPath(L"Ombrel.exe");
  const HMODULE image =
      ::LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  ASSERT_NE(image, nullptr);
  const WORD japanese = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);
  EXPECT_NE(::FindResourceExW(image, RT_VERSION, MAKEINTRESOURCEW(1), japanese), nullptr);
  // One 32 x 32 image with 256 colours.
  const HRSRC group = ::FindResourceExW(image, RT_GROUP_ICON, MAKEINTRESOURCEW(1), japanese);
  ASSERT_NE(group, nullptr);
  const auto* icons = static_cast<const BYTE*>(::LockResource(::LoadResource(image, group)));
  ASSERT_NE(icons, nullptr);
  EXPECT_EQ(icons[4] | (icons[5] << 8), 1);    // count
  EXPECT_EQ(icons[6], 32);                     // width
  EXPECT_EQ(icons[7], 32);                     // height
  EXPECT_EQ(icons[12] | (icons[13] << 8), 8);  // bits per pixel
  const HRSRC manifest = ::FindResourceW(image, MAKEINTRESOURCEW(1), RT_MANIFEST);
  ASSERT_NE(manifest, nullptr);
  const std::string text(static_cast<const char*>(::LockResource(::LoadResource(image, manifest))),
                         ::SizeofResource(image, manifest));
  EXPECT_NE(text.find("level=\"asInvoker\""), std::string::npos);
  EXPECT_NE(text.find("{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"), std::string::npos);
  EXPECT_EQ(text.find("<activeCodePage"), std::string::npos);
  ::FreeLibrary(image);
}

// The team folder on a drive letter of its own, M:, which the test takes
// away and gives back as a share that is not there at log-on and answers by
// the unlock: Wine finds a drive in the prefix's dosdevices at each look.
class TeamDrive {
 public:
  explicit TeamDrive(const TempFolder& folder)
      : target_(testing::HostPath(folder.path())), link_(testing::HostPath(L"C:\\") + "../dosdevices/m:") {}
  TeamDrive(const TeamDrive&) = delete;
  TeamDrive& operator=(const TeamDrive&) = delete;
  ~TeamDrive() { static_cast<void>(Remove()); }
  [[nodiscard]] bool Give() const { return testing::RunHost("ln -sfn '" + target_ + "' '" + link_ + "'"); }
  [[nodiscard]] bool Remove() const { return testing::RunHost("rm -f '" + link_ + "'"); }

 private:
  std::string target_;
  std::string link_;
};

// The day's run opens the person's list and records why the team's did not
// open (status 5); the start after the drive is back opens the team's entries
// alone, the entry in both lists not again; a third start opens nothing.
TEST_F(LauncherTest, ATeamFolderThatCannotBeReadIsOwedUntilALaterStartThatDay) {
  const TempFolder teamFolder;
  const TeamDrive drive(teamFolder);
  WriteList(teamFolder / L"OMBREL.DAT", {RecorderEntry(L"team"), RecorderEntry(L"both")});
  WriteList(List(), {RecorderEntry(L"both"), RecorderEntry(L"own")});
  WriteBytes(SettingsFile(), "[Ombrel]\r\nTeamFolder=M:\\\r\n");
  WriteBytes(Stamp(), DateOf(Yesterday()) + "\r\n");
  ASSERT_TRUE(drive.Remove());

  EXPECT_EQ(Run(), kEntryNotOpened);
  const Lines own{RecorderEntry(L"both"), RecorderEntry(L"own")};
  EXPECT_EQ(log_.StartOrder(), own);
  win::WinSystem system;
  const RunRecordRead record = ReadRunRecord(system, folder_.path());
  ASSERT_EQ(record.runs.size(), 1U);
  ASSERT_FALSE(record.runs[0].entries.empty());
  const RecordedEntry& team = record.runs[0].entries[0];
  EXPECT_EQ(team.event, RecordEvent::kTeamUnreadable);
  EXPECT_EQ(team.entry, L"M:");
  EXPECT_NE(team.error, 0U);
  EXPECT_EQ(team.detail, win::WindowsErrorText(team.error));
  EXPECT_FALSE(team.detail.empty());
  EXPECT_EQ(ReadBytes(Stamp()), TodaysStamp());

  ASSERT_TRUE(drive.Give());
  EXPECT_EQ(Run(), kDone);
  Lines withTeam = own;
  withTeam.push_back(RecorderEntry(L"team"));
  EXPECT_EQ(log_.StartOrder(), withTeam);

  EXPECT_EQ(Run(), kDone);
  EXPECT_EQ(log_.StartOrder(), withTeam);
  EXPECT_EQ(ReadRunRecord(system, folder_.path()).runs.size(), 2U);
}

}  // namespace
}  // namespace ombrel
