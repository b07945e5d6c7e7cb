// Starts our programs and their floors side by side under Wine, pair by pair,
// and writes one Markdown row per figure (see figures.h) to FIGURES_FILE:
//
//   ombrel_bench WORK_FOLDER FIGURES_FILE [start=N] [run=N] [editor=N] [core=N]
//
// start   the launcher's same-day start (stamp of today, 100 entries, a full
//         run record, a settings file) against the empty static program, both started by
//         CreateProcessW and waited for; and the DLLs each loads, seen as
//         their debugger
// run     the launcher's run of 100 program entries that end at once, until
//         it exits, with a run record at its bounds, so that each run
//         records every entry and then trims the record, against a plain
//         loop of CreateProcessW over the same command lines; and the same
//         run of 100 entries that each have days of their own, due today
//         (judged under Japan's holidays), against the loop
// editor  OmbrelSet from its start to its window shown and idle, the list
//         box holding every entry, for 1,000, 32,767 and 100,000 entries
//         against the empty list
// core    the reader and writer with Windows' own code page 932 conversion,
//         against a memchr scan for line ends over the same bytes
//
// Each pair runs its two sides one right after the other, in alternating
// order. Every program runs from a copy in a folder of its own in
// WORK_FOLDER, which must not hold blanks.
#include <windows.h>

#include <tlhelp32.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/list/entry_list.h"
#include "common/list/utf8.h"
#include "common/record/run_record.h"
#include "common/win/scoped.h"
#include "common/win/win_system.h"
#include "editor/resource.h"
#include "figures.h"
#include "typical_entries.h"

namespace ombrel::bench {
namespace {

using win::ScopedHandle;

constexpr int kWarmUp = 3;

[[noreturn]] void Fail(const std::string& what) { throw std::runtime_error(what); }

double NowMilliseconds() {
  static const double frequency = [] {
    LARGE_INTEGER f{};
    ::QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart);
  }();
  LARGE_INTEGER now{};
  ::QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) * 1000.0 / frequency;
}

std::wstring BinDir() {
  wchar_t path[MAX_PATH * 4];
  const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH * 4);
  const std::wstring module(path, length);
  return module.substr(0, module.rfind(L'\\'));
}

void WriteFileBytes(const std::wstring& path, const std::string& bytes) {
  const win::ScopedFile file(
      ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  if (!file || !::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
      written != bytes.size()) {
    Fail("cannot write " + ToUtf8(path));
  }
}

std::string ReadWholeFile(const std::wstring& path) {
  win::WinSystem system;
  return system.ReadAll(path).bytes;
}

std::string ReadFileBytes(const std::wstring& path) {
  const win::ScopedFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  char bytes[64];
  DWORD read = 0;
  if (!file || !::ReadFile(file.get(), bytes, sizeof bytes, &read, nullptr)) return {};
  return std::string(bytes, read);
}

// A folder of its own in the work folder with copies of the named programs
// of the build.
std::wstring ProgramFolder(const std::wstring& work, const std::wstring& name,
                           const std::vector<std::pair<std::wstring, std::wstring>>& programs) {
  const std::wstring folder = work + L"\\" + name;
  ::CreateDirectoryW(folder.c_str(), nullptr);
  for (const auto& [from, to] : programs) {
    if (!::CopyFileW((BinDir() + L"\\" + from).c_str(), (folder + L"\\" + to).c_str(), FALSE)) {
      Fail("cannot copy " + ToUtf8(from));
    }
  }
  return folder;
}

std::string TodaysStamp() {
  SYSTEMTIME now{};
  ::GetLocalTime(&now);
  char text[16];
  std::snprintf(text, sizeof text, "%02u-%02u-%04u\r\n", now.wMonth, now.wDay, now.wYear);
  return text;
}

struct Started {
  ScopedHandle process;
  ScopedHandle thread;
  DWORD processId = 0;
};

Started Start(const std::wstring& program, DWORD flags = 0) {
  std::wstring line = L"\"" + program + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  const std::wstring folder = program.substr(0, program.rfind(L'\\'));
  if (!::CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, flags, nullptr, folder.c_str(),
                        &startup, &info)) {
    Fail("cannot start " + ToUtf8(program));
  }
  return {ScopedHandle(info.hProcess), ScopedHandle(info.hThread), info.dwProcessId};
}

DWORD WaitForExit(const Started& started, DWORD timeout = 60000) {
  if (::WaitForSingleObject(started.process.get(), timeout) != WAIT_OBJECT_0) {
    ::TerminateProcess(started.process.get(), 99);
    Fail("a program did not end in time");
  }
  DWORD status = 0;
  ::GetExitCodeProcess(started.process.get(), &status);
  return status;
}

// Milliseconds from the start of the program to its end; a negative number
// when it ended with another status than 0 and `mayFail`.
double TimeToExit(const std::wstring& program, bool mayFail = false) {
  const double begin = NowMilliseconds();
  const Started started = Start(program);
  const DWORD status = WaitForExit(started);
  const double end = NowMilliseconds();
  if (status != 0 && mayFail) return -1;
  if (status != 0) Fail(ToUtf8(program) + " ended with status " + std::to_string(status));
  return end - begin;
}

// Runs `rounds` pairs, the order of the two sides alternating from pair to
// pair, after a few of each that are not counted. A pair one of whose sides
// tells of a failure (a negative time) is run again, a few times at most.
Pairs Alternate(int rounds, const std::function<double()>& measured, const std::function<double()>& floor) {
  for (int i = 0; i < kWarmUp; ++i) {
    measured();
    floor();
  }
  Pairs pairs;
  int failed = 0;
  for (int round = 0; round < rounds;) {
    double m = 0;
    double f = 0;
    if (round % 2 == 0) {
      m = measured();
      f = floor();
    } else {
      f = floor();
      m = measured();
    }
    if (m < 0 || f < 0) {
      if (++failed > 5) Fail("too many failed pairs");
      std::fprintf(stderr, "a pair failed and is run again\n");
      continue;
    }
    pairs.Add(m, f);
    ++round;
  }
  return pairs;
}

int ProcessesNamed(const wchar_t* name) {
  const ScopedHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot || snapshot.get() == INVALID_HANDLE_VALUE) return 0;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  int count = 0;
  for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more;
       more = ::Process32NextW(snapshot.get(), &entry)) {
    if (::lstrcmpiW(entry.szExeFile, name) == 0) ++count;
  }
  return count;
}

// The base names of the DLLs a program loads from its start to its end,
// upper case, watched as its debugger.
std::set<std::wstring> LoadedDlls(const std::wstring& program) {
  const Started started = Start(program, DEBUG_ONLY_THIS_PROCESS);
  std::set<std::wstring> names;
  for (;;) {
    DEBUG_EVENT event{};
    if (!::WaitForDebugEvent(&event, 30000)) Fail("no debug event for 30 s");
    if (event.dwDebugEventCode == CREATE_PROCESS_DEBUG_EVENT && event.u.CreateProcessInfo.hFile) {
      ::CloseHandle(event.u.CreateProcessInfo.hFile);
    } else if (event.dwDebugEventCode == LOAD_DLL_DEBUG_EVENT) {
      std::wstring name;
      void* remote = nullptr;
      SIZE_T read = 0;
      if (event.u.LoadDll.lpImageName != nullptr && event.u.LoadDll.fUnicode &&
          ::ReadProcessMemory(started.process.get(), event.u.LoadDll.lpImageName, &remote, sizeof remote,
                              &read) &&
          remote != nullptr) {
        for (auto* at = static_cast<const wchar_t*>(remote); name.size() < 1024; ++at) {
          wchar_t c = 0;
          if (!::ReadProcessMemory(started.process.get(), at, &c, sizeof c, &read) || c == L'\0') break;
          name += c;
        }
      }
      if (event.u.LoadDll.hFile) {
        wchar_t file[MAX_PATH * 2] = {};
        const DWORD length = ::GetFinalPathNameByHandleW(event.u.LoadDll.hFile, file, MAX_PATH * 2, 0);
        if (name.empty() && length > 0 && length < MAX_PATH * 2) name = file;
        ::CloseHandle(event.u.LoadDll.hFile);
      }
      name = name.substr(name.rfind(L'\\') + 1);
      ::CharUpperW(name.data());
      names.insert(name);
    } else if (event.dwDebugEventCode == EXIT_PROCESS_DEBUG_EVENT) {
      ::ContinueDebugEvent(event.dwProcessId, event.dwThreadId, DBG_CONTINUE);
      break;
    }
    ::ContinueDebugEvent(event.dwProcessId, event.dwThreadId, DBG_CONTINUE);
  }
  WaitForExit(started);
  return names;
}

std::string Joined(const std::set<std::wstring>& names) {
  std::string text;
  for (const std::wstring& name : names) text += (text.empty() ? "" : ", ") + ToUtf8(name);
  return text.empty() ? "none" : text;
}

class Driver {
 public:
  Driver(std::wstring work, std::ofstream& out) : work_(std::move(work)), out_(out) {}

  void SameDayStart(int rounds) {
    const std::wstring launcher = ProgramFolder(work_, L"same-day", {{L"Ombrel.exe", L"Ombrel.exe"}});
    const std::string stamp = TodaysStamp();
    WriteFileBytes(launcher + L"\\OMBREL.INI", stamp);
    // Entries that do no harm should the day end during the run.
    WriteFileBytes(launcher + L"\\OMBREL.DAT", EntryLines());
    const std::string record = FullRecord();
    WriteFileBytes(launcher + L"\\OMBREL.LOG", record);
    // Settings as an administrator hands them out; the same-day start must
    // not even open them. Paced at nothing, should the day end during the run.
    WriteFileBytes(
        launcher + L"\\OMBREL.CFG",
        "; Ombrel's settings\r\n[Ombrel]\r\nDays=1111111\r\nSkipHolidays=1\r\nSkipYearEnd=1\r\n"
        "PauseSeconds=0\r\nGapSeconds=0\r\nNetworkWaitSeconds=0\r\nClosedDates=2026-08-13..2026-08-14\r\n"
        "[EntryDays]\r\nnotepad.exe=mon\r\n");
    const std::wstring empty = ProgramFolder(work_, L"empty", {{L"bench_empty.exe", L"empty.exe"}});
    const Pairs pairs = Alternate(
        rounds, [&] { return TimeToExit(launcher + L"\\Ombrel.exe"); },
        [&] { return TimeToExit(empty + L"\\empty.exe"); });
    Row(TimeRow("launcher's same-day start / empty static program", pairs, {1.2, false, "≤ 1.2"}, "ms"));

    const std::set<std::wstring> ours = LoadedDlls(launcher + L"\\Ombrel.exe");
    const std::set<std::wstring> floor = LoadedDlls(empty + L"\\empty.exe");
    std::set<std::wstring> beyond;
    for (const std::wstring& name : ours) {
      if (floor.count(name) == 0) beyond.insert(name);
    }
    Line("DLLs loaded, same-day start of Ombrel.exe: " + Joined(ours));
    Line("DLLs loaded, empty static program: " + Joined(floor));
    Line("DLLs beyond the floor's: " + Joined(beyond) +
         (beyond.empty() ? " (aim met)" : " (**aim missed**)"));
    // A stamp of another day: the day ended during the run, and the starts
    // after that were no same-day starts.
    if (ReadFileBytes(launcher + L"\\OMBREL.INI") != stamp) Fail("the day changed during the run");
    if (ReadWholeFile(launcher + L"\\OMBREL.LOG") != record) Fail("a same-day start changed the record");
  }

  void RunOfEntries(int rounds) {
    const std::string lines = EntryLines(false);
    const std::wstring launcher = ProgramFolder(work_, L"run", {{L"Ombrel.exe", L"Ombrel.exe"}});
    WriteFileBytes(launcher + L"\\OMBREL.DAT", lines);
    WriteFileBytes(launcher + L"\\OMBREL.LOG", FullRecord());
    const std::wstring loop = ProgramFolder(work_, L"loop", {{L"bench_spawn_loop.exe", L"loop.exe"}});
    WriteFileBytes(loop + L"\\OMBREL.DAT", lines);
    Row(TimeRow("launcher's run of 100 program entries, recorded / loop of CreateProcessW",
                LauncherAgainstLoop(launcher, loop, rounds), {1.2, false, "≤ 1.2"}, "ms"));
    CheckRecordOfRuns(launcher);

    // The same run with every entry given days of its own, which are today
    // whatever today is; the weekday that names it comes last, after terms
    // that each ask the calendar of a month.
    const std::string numbered = EntryLines(true);
    const std::wstring ownDays = ProgramFolder(work_, L"own-days", {{L"Ombrel.exe", L"Ombrel.exe"}});
    WriteFileBytes(ownDays + L"\\OMBREL.DAT", numbered);
    WriteFileBytes(ownDays + L"\\OMBREL.LOG", FullRecord());
    // Holidays and the year end judged, and today opened whatever it is.
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    char today[16];
    std::snprintf(today, sizeof today, "%04u-%02u-%02u", now.wYear, now.wMonth, now.wDay);
    std::string days = "[Ombrel]\r\nSkipHolidays=1\r\nSkipYearEnd=1\r\nOpenDates=" + std::string(today) +
                       "\r\n[EntryDays]\r\n";
    for (std::size_t at = 0, end = numbered.find("\r\n"); end != std::string::npos;
         at = end + 2, end = numbered.find("\r\n", at)) {
      days += numbered.substr(at, end - at) + "=d25- w-1 w3 week1 mon tue wed thu fri sat sun\r\n";
    }
    WriteFileBytes(ownDays + L"\\OMBREL.CFG", days);
    const std::wstring numberedLoop =
        ProgramFolder(work_, L"loop-numbered", {{L"bench_spawn_loop.exe", L"loop.exe"}});
    WriteFileBytes(numberedLoop + L"\\OMBREL.DAT", numbered);
    Row(TimeRow("new day, 100 entries each with days of its own / loop of CreateProcessW",
                LauncherAgainstLoop(ownDays, numberedLoop, rounds), {1.2, false, "≤ 1.2"}, "ms"));
    CheckRecordOfRuns(ownDays);
  }

  // Pairs of the launcher of `launcher`, its stamp cleared, and the loop of
  // `loop`, each until its own exit; then every entry it started is waited
  // out, so that no pair runs while the last one's entries still start.
  // Under heavy load Wine has been seen to refuse one of the loop's starts:
  // the loop then did less than the launcher, and the pair is run again. The
  // launcher gives such an entry to the shell, as it must.
  Pairs LauncherAgainstLoop(const std::wstring& launcher, const std::wstring& loop, int rounds) {
    const auto side = [&](const std::wstring& program, bool clearStamp) {
      if (clearStamp) WriteFileBytes(launcher + L"\\OMBREL.INI", "");
      const double time = TimeToExit(program, !clearStamp);
      const double deadline = NowMilliseconds() + 60000;
      while (ProcessesNamed(L"tick.exe") != 0) {
        if (NowMilliseconds() > deadline) Fail("the entries did not end");
        ::Sleep(10);
      }
      return time;
    };
    return Alternate(
        rounds, [&] { return side(launcher + L"\\Ombrel.exe", true); },
        [&] { return side(loop + L"\\loop.exe", false); });
  }

  // Each run opened its 100 entries, wrote its lines and trimmed the record
  // back to its bounds: the full record's first run (process 1) is gone.
  void CheckRecordOfRuns(const std::wstring& launcher) {
    const std::string record = ReadWholeFile(launcher + L"\\OMBREL.LOG");
    const std::vector<RecordedRun> runs = ParseRunRecord(record);
    const bool allOpened =
        !runs.empty() && std::ranges::all_of(runs.back().entries, [](const RecordedEntry& e) {
          return e.event == RecordEvent::kProgram;
        });
    if (runs.empty() || runs.size() > kRecordMostRuns || record.size() > kRecordMostBytes ||
        runs.front().process == 1 || runs.back().entries.size() != 100 || !allOpened ||
        runs.back().end != RunEnd::kDone) {
      Fail("the launcher's runs were not recorded and trimmed");
    }
    Line("run record after the runs of entries: " + std::to_string(runs.size()) + " runs, " +
         std::to_string(record.size()) + " bytes; each run appended 102 lines, then rewrote it");
  }

  void EditorStart(int rounds) {
    const std::vector<std::size_t> sizes = {0, 1000, 32767, 100000};
    std::map<std::size_t, std::wstring> programs;
    for (const std::size_t size : sizes) {
      const std::wstring folder =
          ProgramFolder(work_, L"editor-" + std::to_wstring(size), {{L"OmbrelSet.exe", L"OmbrelSet.exe"}});
      WriteEntryList(folder, size);
      programs[size] = folder + L"\\OmbrelSet.exe";
    }
    for (int i = 0; i < kWarmUp; ++i) {
      for (const std::size_t size : sizes) TimeToReady(programs[size], size);
    }
    std::map<std::size_t, std::vector<double>> times;
    for (int round = 0; round < rounds; ++round) {
      // Each round starts with another size, so no size always follows the
      // same one.
      for (std::size_t k = 0; k < sizes.size(); ++k) {
        const std::size_t size = sizes[(k + static_cast<std::size_t>(round)) % sizes.size()];
        times[size].push_back(TimeToReady(programs[size], size));
      }
      std::fprintf(stderr, ".");
    }
    std::fprintf(stderr, "\n");
    for (const std::size_t size : {std::size_t{1000}, std::size_t{32767}, std::size_t{100000}}) {
      Pairs pairs{times[size], times[0]};
      const Aim aim = size == 32767 ? Aim{1.5, false, "≤ 1.5"} : Aim{};
      Row(TimeRow("editor ready with " + std::to_string(size) + " entries / with none", pairs, aim, "ms"));
    }
  }

  void Core(int rounds) {
    win::WinSystem system;
    const std::vector<std::wstring> entries = TypicalEntries(32767);
    const std::string file = EncodeEntryList(system, entries);
    if (file.starts_with(kUtf8Mark)) Fail("the typical list does not fit code page 932");
    const auto floor = [&] {
      const double begin = NowMilliseconds();
      std::size_t lines = 0;
      for (const char* at = file.data();
           (at = static_cast<const char*>(std::memchr(at, '\n', file.size() - (at - file.data())))) !=
           nullptr;
           ++at) {
        ++lines;
      }
      const double end = NowMilliseconds();
      if (lines != entries.size()) Fail("the floor miscounted");
      return end - begin;
    };
    const Pairs read = Alternate(
        rounds,
        [&] {
          const double begin = NowMilliseconds();
          const std::vector<std::wstring> back = DecodeEntryList(system, file);
          const double end = NowMilliseconds();
          if (back != entries) Fail("the list read back is not the list");
          return end - begin;
        },
        floor);
    const Pairs write = Alternate(
        rounds,
        [&] {
          const double begin = NowMilliseconds();
          const std::string bytes = EncodeEntryList(system, entries);
          const double end = NowMilliseconds();
          if (bytes != file) Fail("the list written is not the file");
          return end - begin;
        },
        floor);
    const double megabytes = static_cast<double>(file.size()) / 1e6;
    for (const auto& [what, pairs] : {std::pair{"reader under Wine, cp932 (Windows' conversion)", read},
                                      std::pair{"writer under Wine, cp932 (Windows' conversion)", write}}) {
      std::vector<double> measured;
      std::vector<double> floorRate;
      for (const double ms : pairs.measured) measured.push_back(megabytes / ms * 1000);
      for (const double ms : pairs.floor) floorRate.push_back(megabytes / ms * 1000);
      Row(FigureRow(what, pairs.Ratios(), {3.0, false, "≤ 3"},
                    MedianText(Summarize(measured), "MB/s") + " vs " +
                        MedianText(Summarize(floorRate), "MB/s") + ", " +
                        std::to_string(pairs.Ratios().size()) + " pairs"));
    }
  }

 private:
  // A record at its bounds: 100 runs of Ombrel of a dozen typical entries
  // each, just under 256 KiB.
  static std::string FullRecord() {
    std::string record(kUtf8Mark);
    const std::vector<std::wstring> entries = TypicalEntries(12);
    for (std::uint32_t run = 1; run <= kRecordMostRuns; ++run) {
      const LocalTime time{2026, 1, 2, 9, 0, static_cast<int>(run % 60)};
      record += FormatRecordLine({time, run, RecordEvent::kRunStart, {L"Ombrel", L"start"}});
      for (const std::wstring& entry : entries) {
        record += FormatRecordLine({time, run, RecordEvent::kProgram, {std::wstring(130, L'x'), entry}});
      }
      record += FormatRecordLine({time, run, RecordEvent::kRunEnd, {L"done", L""}});
    }
    if (record.size() > kRecordMostBytes || record.size() < kRecordMostBytes * 9 / 10) {
      Fail("the full record is " + std::to_string(record.size()) + " bytes");
    }
    return record;
  }

  // 100 program entries that end at once: the empty program, as tick.exe;
  // `numbered`, each with its number as an argument, so that each is an
  // entry text of its own.
  std::string EntryLines(bool numbered = false) {
    const std::wstring entries = ProgramFolder(work_, L"entries", {{L"bench_empty.exe", L"tick.exe"}});
    std::string lines;
    for (int i = 0; i < 100; ++i) {
      lines += ToUtf8(entries);
      lines += "\\tick.exe";
      if (numbered) lines.append(1, ' ').append(std::to_string(i));
      lines += "\r\n";
    }
    return lines;
  }

  // OMBREL.DAT of `count` typical entries, as the editor would save it.
  void WriteEntryList(const std::wstring& folder, std::size_t count) {
    win::WinSystem system;
    WriteFileBytes(folder + L"\\OMBREL.DAT", EncodeEntryList(system, TypicalEntries(count)));
  }

  // Milliseconds from the editor's start until its window is visible, its
  // list box holds every entry and it waits for input; then it is closed.
  double TimeToReady(const std::wstring& program, std::size_t entries) {
    const double begin = NowMilliseconds();
    const Started started = Start(program);
    if (::WaitForInputIdle(started.process.get(), 60000) != 0) Fail("the editor never waited for input");
    HWND window = nullptr;
    const double deadline = begin + 60000;
    while ((window = VisibleWindowOf(started.processId)) == nullptr) {
      if (NowMilliseconds() > deadline) Fail("the editor's window never showed");
      ::Sleep(1);
    }
    const double end = NowMilliseconds();
    DWORD_PTR count = 0;
    ::SendMessageTimeoutW(::GetDlgItem(window, IDC_LIST1), LB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, 10000,
                          &count);
    if (count != entries) {
      Fail("the list box holds " + std::to_string(count) + " entries, not " + std::to_string(entries));
    }
    ::PostMessageW(window, WM_CLOSE, 0, 0);
    if (::WaitForSingleObject(started.process.get(), 10000) != WAIT_OBJECT_0) {
      ::TerminateProcess(started.process.get(), 99);
      Fail("the editor did not close");
    }
    return end - begin;
  }

  static HWND VisibleWindowOf(DWORD processId) {
    struct Query {
      DWORD processId;
      HWND found;
    } query{processId, nullptr};
    ::EnumWindows(
        [](HWND window, LPARAM context) -> BOOL {
          auto& q = *reinterpret_cast<Query*>(context);
          DWORD owner = 0;
          ::GetWindowThreadProcessId(window, &owner);
          wchar_t name[64] = {};
          ::GetClassNameW(window, name, 64);
          if (owner == q.processId && ::IsWindowVisible(window) &&
              std::wcscmp(name, L"OmbrelSetForm1") == 0) {
            q.found = window;
            return FALSE;
          }
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&query));
    return query.found;
  }

  void Row(const std::string& row) {
    out_ << row << "\n";
    out_.flush();
    std::fprintf(stderr, "%s\n", row.c_str());
  }
  void Line(const std::string& line) { Row("- " + line); }

  std::wstring work_;
  std::ofstream& out_;
};

}  // namespace
}  // namespace ombrel::bench

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    std::fprintf(stderr,
                 "usage: ombrel_bench WORK_FOLDER FIGURES_FILE [start=N] [run=N] [editor=N] [core=N]\n");
    return 2;
  }
  try {
    const std::wstring work = argv[1];
    if (work.find(L' ') != std::wstring::npos) ombrel::bench::Fail("the work folder holds a blank");
    ::CreateDirectoryW(work.c_str(), nullptr);
    std::ofstream out(std::filesystem::path(argv[2]), std::ios::binary | std::ios::app);
    ombrel::bench::Driver driver(work, out);
    for (int i = 3; i < argc; ++i) {
      const std::wstring arg = argv[i];
      const std::size_t equals = arg.find(L'=');
      const std::wstring what = arg.substr(0, equals);
      const int rounds = equals == std::wstring::npos ? 20 : std::stoi(arg.substr(equals + 1));
      std::fprintf(stderr, "== %ls, %d pairs\n", what.c_str(), rounds);
      if (what == L"start") {
        driver.SameDayStart(rounds);
      } else if (what == L"run") {
        driver.RunOfEntries(rounds);
      } else if (what == L"editor") {
        driver.EditorStart(rounds);
      } else if (what == L"core") {
        driver.Core(rounds);
      } else {
        ombrel::bench::Fail("unknown benchmark " + ombrel::ToUtf8(what));
      }
    }
  } catch (const std::exception& failure) {
    std::fprintf(stderr, "ombrel_bench: %s\n", failure.what());
    return 1;
  }
  return 0;
}
