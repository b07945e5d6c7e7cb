#include "launcher/launcher_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <new>
#include <set>

#include "common/list/program_folder.h"
#include "common/record/run_record.h"
#include "fakes.h"

namespace ombrel {
namespace {

using Events = std::vector<std::string>;

const std::wstring kFolder = L"C:\\Tools";
const std::wstring kStamp = L"C:\\Tools\\OMBREL.INI";
const std::wstring kList = L"C:\\Tools\\OMBREL.DAT";
const std::wstring kRecord = L"C:\\Tools\\OMBREL.LOG";
const std::wstring kSettings = L"C:\\Tools\\OMBREL.CFG";
// The fake clock's day.
const std::string kToday = "04-07-2026\r\n";

std::string FileName(const std::wstring& path) {
  return testing::FakeSystem::Narrow(path.substr(path.rfind(L'\\') + 1));
}

// The fakes below write into one shared list of events, so that a test sees
// the order of everything the run did across files, lock, window and shell.
class RecordingSystem final : public testing::FakeSystem {
 public:
  explicit RecordingSystem(Events& events) : events_(events) {}
  FileRead ReadAll(const std::wstring& path) override {
    Note("read ", path);
    if (readThrows == path) throw std::bad_alloc();
    return FakeSystem::ReadAll(path);
  }
  bool WriteAll(const std::wstring& path, std::string_view bytes) override {
    Note("write ", path);
    return FakeSystem::WriteAll(path, bytes);
  }
  SaveResult ReplaceAll(const std::wstring& path, std::string_view bytes) override {
    Note("replace ", path);
    return FakeSystem::ReplaceAll(path, bytes);
  }
  bool AppendTo(const std::wstring& path, std::string_view bytes) override {
    Note("append ", path);
    return FakeSystem::AppendTo(path, bytes);
  }
  std::wstring readThrows;  // as an allocation that fails while it is read
  // The run record's reads and writes join the events only when watched: one
  // test follows them among the run's steps, the others the steps alone.
  bool watchRecord = false;

 private:
  void Note(const char* what, const std::wstring& path) {
    if (watchRecord || path != kRecord) events_.push_back(what + FileName(path));
  }

  Events& events_;
};

class RecordingPort final : public testing::FakeOpenPort {
 public:
  explicit RecordingPort(Events& events) : events_(events) {}
  OpenAttempt StartProgram(const ProgramStart& program, const std::wstring& directory) override {
    events_.push_back("start " + testing::FakeSystem::Narrow(program.commandLine));
    return FakeOpenPort::StartProgram(program, directory);
  }
  OpenAttempt OpenWithShell(WindowHandle owner, const std::wstring& target,
                            const std::wstring& directory) override {
    events_.push_back("shell " + testing::FakeSystem::Narrow(target));
    return FakeOpenPort::OpenWithShell(owner, target, directory);
  }

 private:
  Events& events_;
};

class RecordingOwner final : public OwnerWindow {
 public:
  explicit RecordingOwner(Events& events) : events_(events) {}
  WindowHandle Handle() override {
    events_.push_back("window");
    return 0x4242;
  }

 private:
  Events& events_;
};

// Busy for its first `busyAnswers`, each a wait of the given length; then
// `result`. `onBusy` is told the number of each busy answer.
class RecordingLock final : public FolderLock {
 public:
  explicit RecordingLock(Events& events) : events_(events) {}
  Acquired Acquire(std::chrono::milliseconds wait) override {
    events_.push_back("lock");
    waits.push_back(wait);
    if (waits.size() > busyAnswers) return result;
    if (onBusy) onBusy(waits.size());
    return Acquired::kBusy;
  }
  void Release() override { events_.push_back("unlock"); }
  Acquired result = Acquired::kHeld;
  std::size_t busyAnswers = 0;
  std::function<void(std::size_t)> onBusy;
  std::vector<std::chrono::milliseconds> waits;

 private:
  Events& events_;
};

class FakeSession final : public SessionPort {
 public:
  SessionReport Report() override {
    ++asked;
    return report;
  }
  SessionReport report;
  int asked = 0;
};

// Each sleep joins the events, in seconds.
class RecordingClock final : public testing::FakeClock {
 public:
  explicit RecordingClock(Events& events) : events_(events) {}
  bool Sleep(std::chrono::milliseconds duration) override {
    events_.push_back("sleep " + std::to_string(duration.count() / 1000.0).substr(0, 3));
    return FakeClock::Sleep(duration);
  }

 private:
  Events& events_;
};

class LauncherRunTest : public ::testing::Test {
 protected:
  // The programs the lists below name, unless a test says otherwise.
  LauncherRunTest() { port_.existingFiles = {L"C:\\a.exe", L"C:\\b.bat", L"C:\\B.BAT", L"C:\\last.exe"}; }

  LauncherExit Run(const std::wstring& folder = kFolder) {
    return LauncherRun(system_, {port_, owner_, lock_, session_, clock_, network_, policy_}, folder);
  }

  // How each run in the record ended, oldest first.
  std::vector<std::optional<RunEnd>> RecordedEnds() {
    std::vector<std::optional<RunEnd>> ends;
    for (const RecordedRun& run : ParseRunRecord(system_.files[kRecord])) ends.push_back(run.end);
    return ends;
  }

  Events events_;
  RecordingSystem system_{events_};
  RecordingPort port_{events_};
  RecordingOwner owner_{events_};
  RecordingLock lock_{events_};
  FakeSession session_;
  RecordingClock clock_{events_};
  testing::FakeNetwork network_{&clock_};
  testing::FakePolicy policy_;
};

TEST_F(LauncherRunTest, NewDayRenewsStampFirstThenOpensEntriesInFileOrder) {
  system_.files[kStamp] = "04-06-2026\r\n";
  system_.files[kList] = "C:\\a.exe\r\nC:\\memo.txt\r\nuser@host.example.jp\r\nC:\\b.bat /x\r\n";
  port_.shellFails.insert(L"user@host.example.jp");

  EXPECT_EQ(Run(), LauncherExit::kDone);
  EXPECT_EQ(events_,
            (Events{"lock", "read OMBREL.INI", "read OMBREL.CFG", "read OMBREL.DAT", "write OMBREL.INI",
                    "start C:\\a.exe", "window", "shell C:\\memo.txt", "window", "shell user@host.example.jp",
                    "shell Mailto:user@host.example.jp", "start \"C:\\b.bat\" /x", "unlock"}));
  EXPECT_EQ(system_.files[kStamp], kToday);
  // The launcher's shell calls carry its hidden window and an empty folder;
  // its programs start in the program folder.
  for (const auto& call : port_.calls) {
    EXPECT_EQ(call.owner, call.kind == "shell" ? 0x4242U : 0U);
    EXPECT_EQ(call.directory, call.kind == "shell" ? L"" : kFolder);
  }
}

// "C:" alone would be the drive's current folder, not the program folder.
TEST_F(LauncherRunTest, ProgramFolderInADrivesRootIsTheRoot) {
  system_.files[L"C:\\OMBREL.DAT"] = "notepad.exe\r\n";
  EXPECT_EQ(Run(L"C:"), LauncherExit::kDone);
  EXPECT_EQ(port_.calls,
            (std::vector<testing::FakeOpenPort::Call>{{"start", L"notepad.exe", L"C:\\", 0, L""}}));
  EXPECT_EQ(system_.files.count(L"C:\\OMBREL.INI"), 1U);
}

TEST_F(LauncherRunTest, AnExceptionEndsTheRunWithItsOwnStatusAndFreesTheLock) {
  system_.files[kList] = "C:\\a.exe\r\n";
  system_.readThrows = kList;
  EXPECT_EQ(ExitStatusOf([this] { return Run(); }), LauncherExit::kUnexpectedFailure);
  EXPECT_EQ(events_, (Events{"lock", "read OMBREL.INI", "read OMBREL.CFG", "read OMBREL.DAT", "unlock"}));
}

struct StampCase {
  const char* name;
  std::optional<std::string> bytes;  // nothing: no stamp file
  bool unreadable;
  bool ranToday;
};

TEST_F(LauncherRunTest, OnlyTodaysExactStampEndsTheRunUntouched) {
  const StampCase cases[] = {
      {"today", kToday, false, true},          {"yesterday", "04-06-2026\r\n", false, false},
      {"missing", std::nullopt, false, false}, {"cleared_empty_line", "\r\n", false, false},
      {"zero_bytes", "", false, false},        {"today_but_unreadable", kToday, true, false},
  };
  for (const StampCase& c : cases) {
    SCOPED_TRACE(c.name);
    events_.clear();
    system_.files.clear();
    system_.unreadable.clear();
    if (c.bytes) system_.files[kStamp] = *c.bytes;
    if (c.unreadable) system_.unreadable.insert(kStamp);
    system_.files[kList] = "C:\\a.exe\r\n";

    policy_.reads = 0;
    EXPECT_EQ(Run(), LauncherExit::kDone);
    // Nor is the policy asked for: the registry waits for a new day.
    EXPECT_EQ(policy_.reads > 0, !c.ranToday);
    if (c.ranToday) {
      EXPECT_EQ(events_, (Events{"lock", "read OMBREL.INI", "unlock"}));
      EXPECT_EQ(system_.files[kStamp], *c.bytes);
      // Not even opened: the same-day start costs what an empty program does.
      EXPECT_EQ(std::count_if(system_.log.begin(), system_.log.end(),
                              [](const std::string& step) { return step.ends_with("OMBREL.LOG"); }),
                0);
    } else {
      EXPECT_EQ(events_, (Events{"lock", "read OMBREL.INI", "read OMBREL.CFG", "read OMBREL.DAT",
                                 "write OMBREL.INI", "start C:\\a.exe", "unlock"}));
      EXPECT_EQ(system_.files[kStamp], kToday);
    }
  }
}

struct ListCase {
  const char* name;
  std::optional<std::string> bytes;  // nothing: no list file
  bool unreadable;
};

TEST_F(LauncherRunTest, MissingOrEmptyListStillRenewsStampButUnreadableOneLeavesIt) {
  const ListCase cases[] = {
      {"missing", std::nullopt, false},
      {"zero_bytes", "", false},
      {"unreadable", "C:\\a.exe\r\n", true},
  };
  for (const ListCase& c : cases) {
    SCOPED_TRACE(c.name);
    events_.clear();
    system_.files.clear();
    system_.unreadable.clear();
    system_.files[kStamp] = "04-06-2026\r\n";
    if (c.bytes) system_.files[kList] = *c.bytes;
    if (c.unreadable) system_.unreadable.insert(kList);

    if (c.unreadable) {
      // Nothing opened, the stamp as it was: the next start tries again.
      EXPECT_EQ(Run(), LauncherExit::kListUnreadable);
      EXPECT_EQ(events_, (Events{"lock", "read OMBREL.INI", "read OMBREL.CFG", "read OMBREL.DAT", "unlock"}));
      EXPECT_EQ(system_.files[kStamp], "04-06-2026\r\n");
      EXPECT_EQ(RecordedEnds(), (std::vector<std::optional<RunEnd>>{RunEnd::kListUnreadable}));
    } else {
      EXPECT_EQ(Run(), LauncherExit::kDone);
      EXPECT_EQ(events_, (Events{"lock", "read OMBREL.INI", "read OMBREL.CFG", "read OMBREL.DAT",
                                 "write OMBREL.INI", "unlock"}));
      EXPECT_EQ(system_.files[kStamp], kToday);
    }
    EXPECT_TRUE(port_.calls.empty());
  }
}

TEST_F(LauncherRunTest, ProgramEntriesAloneNeverAskForTheWindow) {
  system_.files[kList] = "C:\\a.exe\r\nC:\\B.BAT\r\nC:\\dos\\edit.Com arg\r\nnotepad.exe /x\r\n";
  port_.existingFiles.insert(L"C:\\dos\\edit.Com");
  EXPECT_EQ(Run(), LauncherExit::kDone);
  EXPECT_EQ(std::count(events_.begin(), events_.end(), "window"), 0);
  EXPECT_EQ(port_.calls.size(), 4U);
}

TEST_F(LauncherRunTest, ShellFailuresAreSilentAndLaterEntriesStillOpen) {
  system_.files[kList] = "C:\\missing.txt\r\nuser@example.jp\r\n\r\nC:\\gone.exe\r\nC:\\last.exe\r\n";
  port_.shellFails.insert(L"C:\\missing.txt");
  port_.shellFails.insert(L"user@example.jp");
  port_.shellFails.insert(L"Mailto:user@example.jp");
  port_.existingFiles.insert(L"C:\\gone.exe");
  port_.startFails.insert(L"C:\\gone.exe");
  port_.shellFails.insert(L"C:\\gone.exe");

  // The blank line between them opens nothing at all. No message: the exit
  // status and the record tell.
  EXPECT_EQ(Run(), LauncherExit::kEntryNotOpened);
  EXPECT_EQ(events_, (Events{"lock", "read OMBREL.INI", "read OMBREL.CFG", "read OMBREL.DAT",
                             "write OMBREL.INI", "window", "shell C:\\missing.txt", "window",
                             "shell user@example.jp", "shell Mailto:user@example.jp", "start C:\\gone.exe",
                             "window", "shell C:\\gone.exe", "start C:\\last.exe", "unlock"}));
}

struct StatusCase {
  const char* name;
  std::string list;
  bool stampUnwritable;
  LauncherExit status;
};

// An entry not opened makes the status 5, unless the stamp was not written:
// a whole run opened again at the next start matters more.
TEST_F(LauncherRunTest, ExitStatusOfARunThatOpenedItsList) {
  const StatusCase cases[] = {
      {"every_entry_opened", "C:\\a.exe\r\nC:\\memo.txt\r\n", false, LauncherExit::kDone},
      {"blank_entries_only", "\r\n \r\n", false, LauncherExit::kDone},
      {"one_entry_not_opened", "C:\\gone.txt\r\nC:\\a.exe\r\n", false, LauncherExit::kEntryNotOpened},
      {"stamp_not_written", "C:\\a.exe\r\n", true, LauncherExit::kStampNotWritten},
      {"both", "C:\\gone.txt\r\n", true, LauncherExit::kStampNotWritten},
  };
  port_.shellFails.insert(L"C:\\gone.txt");
  for (const StatusCase& c : cases) {
    SCOPED_TRACE(c.name);
    system_.files = {{kList, c.list}};
    system_.unwritable.clear();
    if (c.stampUnwritable) system_.unwritable.insert(kStamp);
    EXPECT_EQ(Run(), c.status);
  }
}

// Each line is appended as it happens, the run's first before the list is
// read, each entry's right after it was opened.
TEST_F(LauncherRunTest, TheRecordFollowsTheRunLineByLine) {
  system_.watchRecord = true;
  system_.files[kList] = "C:\\a.exe\r\nC:\\gone.txt\r\n";
  port_.shellFails.insert(L"C:\\gone.txt");
  EXPECT_EQ(Run(), LauncherExit::kEntryNotOpened);
  EXPECT_EQ(events_,
            (Events{"lock", "read OMBREL.INI", "read OMBREL.LOG", "append OMBREL.LOG", "read OMBREL.CFG",
                    "read OMBREL.DAT", "write OMBREL.INI", "start C:\\a.exe", "append OMBREL.LOG", "window",
                    "shell C:\\gone.txt", "append OMBREL.LOG", "append OMBREL.LOG", "unlock"}));
  const std::vector<RecordedRun> runs = ParseRunRecord(system_.files[kRecord]);
  ASSERT_EQ(runs.size(), 1U);
  EXPECT_EQ(runs[0].starter, RunStarter::kLauncher);
  EXPECT_EQ(runs[0].end, RunEnd::kDone);
  ASSERT_EQ(runs[0].entries.size(), 2U);
  EXPECT_EQ(runs[0].entries[0].event, RecordEvent::kProgram);
  EXPECT_EQ(runs[0].entries[1].event, RecordEvent::kFailed);
}

// Read-only, full or held open: the run, its steps and its status are those
// of a run with a record.
TEST_F(LauncherRunTest, ARecordThatCannotBeWrittenOrReadChangesNothingElse) {
  port_.shellFails.insert(L"C:\\gone.txt");
  const auto run = [this](bool unwritable, bool unreadable) {
    events_.clear();
    system_.files = {{kList, "C:\\a.exe\r\nC:\\gone.txt\r\n"}, {kRecord, ""}};
    system_.unwritable = unwritable ? std::set<std::wstring>{kRecord} : std::set<std::wstring>{};
    system_.unreadable = unreadable ? std::set<std::wstring>{kRecord} : std::set<std::wstring>{};
    return std::pair{Run(), events_};
  };
  const auto written = run(false, false);
  EXPECT_EQ(run(true, false), written);
  EXPECT_EQ(run(false, true), written);
  EXPECT_EQ(system_.files[kRecord], "");
}

TEST_F(LauncherRunTest, StampThatCannotBeWrittenStillOpensEntriesButFails) {
  // Read-only stamp, and a stamp another program holds open without sharing.
  for (const bool unreadable : {false, true}) {
    SCOPED_TRACE(unreadable ? "locked" : "read-only");
    events_.clear();
    system_.files[kStamp] = "04-06-2026\r\n";
    system_.unwritable = {kStamp};
    system_.unreadable.clear();
    if (unreadable) system_.unreadable.insert(kStamp);
    system_.files[kList] = "C:\\a.exe\r\nC:\\memo.txt\r\n";

    EXPECT_EQ(Run(), LauncherExit::kStampNotWritten);
    EXPECT_EQ(events_,
              (Events{"lock", "read OMBREL.INI", "read OMBREL.CFG", "read OMBREL.DAT", "write OMBREL.INI",
                      "start C:\\a.exe", "window", "shell C:\\memo.txt", "unlock"}));
    EXPECT_EQ(system_.files[kStamp], "04-06-2026\r\n");
  }
}

struct TurnCase {
  const char* name;
  std::size_t busyAnswers;
  FolderLock::Acquired then;
  std::size_t renewedAtAnswer;  // 0: never
  LauncherExit status;
  std::optional<RunEnd> recorded;
  std::size_t asks;
};

// While another launcher holds the lock, the stamp is looked at before each
// wait of a second: renewed by that launcher, the day has run and this start
// ends as a same-day start, recording nothing. Without the lock after five
// minutes, or when it cannot be had, nothing is opened and the record says
// why.
TEST_F(LauncherRunTest, ALauncherWaitingForTheLockEndsOnceTheHolderRenewsTheStamp) {
  using A = FolderLock::Acquired;
  constexpr std::size_t kAlways = 1000;
  const TurnCase cases[] = {
      {"renewed_before_it_looked", kAlways, A::kHeld, 1, LauncherExit::kDone, std::nullopt, 1},
      {"renewed_meanwhile", kAlways, A::kHeld, 4, LauncherExit::kDone, std::nullopt, 4},
      {"released_unrenewed", 3, A::kHeld, 0, LauncherExit::kDone, RunEnd::kDone, 4},
      {"never_renewed", kAlways, A::kHeld, 0, LauncherExit::kLockTimedOut, RunEnd::kLockHeld, 301},
      {"cannot_be_made", 0, A::kFailed, 0, LauncherExit::kLockFailed, RunEnd::kLockFailed, 1},
  };
  for (const TurnCase& c : cases) {
    SCOPED_TRACE(c.name);
    system_.files = {{kStamp, "04-06-2026\r\n"}, {kList, "C:\\a.exe\r\n"}};
    port_.calls.clear();
    lock_.waits.clear();
    lock_.busyAnswers = c.busyAnswers;
    lock_.result = c.then;
    lock_.onBusy = [&](std::size_t answer) {
      if (answer == c.renewedAtAnswer) system_.files[kStamp] = kToday;
    };
    EXPECT_EQ(Run(), c.status);
    EXPECT_EQ(RecordedEnds(), c.recorded ? std::vector{c.recorded} : std::vector<std::optional<RunEnd>>{});
    EXPECT_EQ(port_.calls.size(), c.recorded == RunEnd::kDone ? 1U : 0U);
    // The first ask does not wait, each later one a second.
    ASSERT_EQ(lock_.waits.size(), c.asks);
    EXPECT_EQ(std::count(lock_.waits.begin(), lock_.waits.end(), std::chrono::seconds(1)), c.asks - 1);
  }
}

// Windows' values: connect state 0 active, 4 disconnected; flags 0 locked, 1
// unlocked, -1 unknown, the other way round on Windows 7 (6.1). The rows: not
// answered, unlocked, locked, unknown, disconnected; Windows 8 locked;
// Windows 7 unlocked, locked.
TEST(SessionIsAwayTest, LockedOrDisconnectedAndNothingWhenWindowsCannotSay) {
  const std::pair<SessionReport, bool> cases[] = {
      {{false, 4, 0, 10, 0}, false}, {{true, 0, 1, 10, 0}, false}, {{true, 0, 0, 10, 0}, true},
      {{true, 0, -1, 10, 0}, false}, {{true, 4, 1, 10, 0}, true},  {{true, 0, 0, 6, 2}, true},
      {{true, 0, 0, 6, 1}, false},   {{true, 0, 1, 6, 1}, true},
  };
  for (std::size_t row = 0; row < std::size(cases); ++row) {
    EXPECT_EQ(SessionIsAway(cases[row].first), cases[row].second) << row;
  }
}

// Asked on a new day alone, after the stamp and before anything else: nobody
// there, nothing is read, opened, written or recorded.
TEST_F(LauncherRunTest, NobodyAtTheSessionLeavesTheDayForTheUnlock) {
  session_.report = {true, 0, 0, 10, 0};
  for (const std::string& stamp : {kToday, std::string("04-06-2026\r\n")}) {
    events_.clear();
    system_.files = {{kStamp, stamp}, {kList, "C:\\a.exe\r\n"}};
    EXPECT_EQ(Run(), LauncherExit::kDone);
    EXPECT_EQ(events_, (Events{"lock", "read OMBREL.INI", "unlock"}));
    EXPECT_EQ(system_.files,
              (std::map<std::wstring, std::string>{{kStamp, stamp}, {kList, "C:\\a.exe\r\n"}}));
  }
  EXPECT_EQ(session_.asked, 1);
}

struct ClosedDayCase {
  const char* name;
  LocalTime now;
  std::string settings;  // the lines of the section
  std::wstring reasons;  // the record's detail
};

// A day the settings keep closed is the day's run: nothing read but the
// settings, nothing opened, the stamp renewed, the reasons recorded.
TEST_F(LauncherRunTest, AClosedDayRenewsTheStampRecordsWhyAndOpensNothing) {
  const ClosedDayCase cases[] = {
      // 2026-04-07 is a Tuesday.
      {"weekday", {2026, 4, 7, 8, 0, 0}, "Days=1011111", L"weekday"},
      {"holiday", {2026, 5, 4, 8, 0, 0}, "SkipHolidays=1", L"holiday:みどりの日"},
      {"year end", {2026, 12, 29, 8, 0, 0}, "SkipYearEnd=1", L"year-end"},
      {"all three",
       {2028, 1, 1, 8, 0, 0},
       "Days=1111100\r\nSkipHolidays=1\r\nSkipYearEnd=1",
       L"weekday holiday:元日 year-end"},
  };
  const std::string stamp = "04-06-2026\r\n";
  for (const ClosedDayCase& c : cases) {
    SCOPED_TRACE(c.name);
    events_.clear();
    system_.now = c.now;
    system_.files = {{kStamp, stamp}, {kList, "C:\\a.exe\r\n"}, {kSettings, "[Ombrel]\r\n" + c.settings}};
    EXPECT_EQ(Run(), LauncherExit::kDone);
    EXPECT_EQ(events_, (Events{"lock", "read OMBREL.INI", "read OMBREL.CFG", "write OMBREL.INI", "unlock"}));
    EXPECT_NE(system_.files[kStamp], stamp);
    const std::vector<RecordedRun> runs = ParseRunRecord(system_.files[kRecord]);
    ASSERT_EQ(runs.size(), 1U);
    EXPECT_EQ(runs[0].end, RunEnd::kDayClosed);
    EXPECT_EQ(runs[0].endDetail, c.reasons);
    EXPECT_TRUE(runs[0].entries.empty());
  }
  // Its stamp unwritten, the closed day says so in the status.
  system_.files[kStamp] = stamp;
  system_.unwritable = {kStamp};
  EXPECT_EQ(Run(), LauncherExit::kStampNotWritten);
}

// The policy's settings over the file's, read on a new day as the file is:
// the machine's days close a day the file opens, and the user's bad value is
// named in the run's record.
TEST_F(LauncherRunTest, ThePolicyWinsOverTheFileAndABadValueIsNamedInTheRecord) {
  system_.now = {2026, 4, 7, 8, 0, 0};  // a Tuesday
  system_.files = {
      {kStamp, "04-06-2026\r\n"}, {kList, "C:\\a.exe\r\n"}, {kSettings, "[Ombrel]\r\nDays=1111111\r\n"}};
  policy_.SetText(PolicyHive::kMachine, "Days", L"1011111");
  policy_.SetNumber(PolicyHive::kUser, "GapSeconds", 61);
  EXPECT_EQ(Run(), LauncherExit::kDone);
  EXPECT_EQ(events_, (Events{"lock", "read OMBREL.INI", "read OMBREL.CFG", "write OMBREL.INI", "unlock"}));
  const std::vector<RecordedRun> runs = ParseRunRecord(system_.files[kRecord]);
  ASSERT_EQ(runs.size(), 1U);
  EXPECT_EQ(runs[0].end, RunEnd::kDayClosed);
  EXPECT_EQ(runs[0].endDetail, L"weekday");
  EXPECT_NE(system_.files[kRecord].find("\tpolicy-ignored\tHKCU\tGapSeconds\r\n"), std::string::npos);
}

// The stamp before the pause, the pause before the first entry, a gap
// between the entries that reach Windows, the wait for a share's path; the
// lock held throughout.
TEST_F(LauncherRunTest, PauseGapsAndNetworkWaitHappenInTheirPlacesWhileTheLockIsHeld) {
  const std::wstring share = L"\\\\srv\\share\\b.exe";
  port_.existingFiles.insert(share);
  network_.answersFrom = {{share, std::chrono::milliseconds(7200)}};
  system_.files = {{kList, "C:\\a.exe\r\n\r\n\\\\srv\\share\\b.exe\r\n"},
                   {kSettings, "[Ombrel]\r\nPauseSeconds=5\r\nGapSeconds=2\r\nNetworkWaitSeconds=60\r\n"}};
  EXPECT_EQ(Run(), LauncherExit::kDone);
  EXPECT_EQ(events_, (Events{"lock", "read OMBREL.INI", "read OMBREL.CFG", "read OMBREL.DAT",
                             "write OMBREL.INI", "sleep 5.0", "start C:\\a.exe", "sleep 2.0", "sleep 0.5",
                             "start \\\\srv\\share\\b.exe", "unlock"}));
  EXPECT_EQ(clock_.now, std::chrono::milliseconds(7500));
}

struct TeamStart {
  const char* name;
  bool teamReadable;
  LauncherExit exit;
  std::vector<std::wstring> opened;  // in order
  bool owedAfter;                    // OMBREL.TEAM left
  bool sameDayStart = false;         // read the stamp alone
};

// A team folder on a network drive: waited for, its entries first. One that
// cannot be read leaves the team's entries owed for the day, and each later
// start that day opens them once it answers, and nothing else again.
TEST_F(LauncherRunTest, TheTeamsEntriesAreOwedForTheDayUntilItsFolderCanBeRead) {
  const std::wstring teamList = L"T:\\Team\\OMBREL.DAT";
  network_.networkDrives = {L'T'};
  network_.answersFrom = {{L"T:\\Team", std::chrono::milliseconds(1000)}};
  port_.existingFiles.insert(L"C:\\t.exe");
  system_.files = {{kStamp, "04-06-2026\r\n"},
                   {kList, "C:\\a.exe\r\nC:\\b.bat\r\n"},
                   {kSettings, "[Ombrel]\r\nTeamFolder=T:\\Team\\\r\nNetworkWaitSeconds=5\r\n"},
                   {teamList, "C:\\t.exe\r\nC:\\a.exe\r\n"}};
  const TeamStart starts[] = {
      {"the day's run", false, LauncherExit::kEntryNotOpened, {L"C:\\a.exe", L"C:\\b.bat"}, true},
      {"an unlock, the folder still unreadable", false, LauncherExit::kEntryNotOpened, {}, true},
      {"a wake, the folder back", true, LauncherExit::kDone, {L"C:\\t.exe"}, false},
      {"a third start", true, LauncherExit::kDone, {}, false, true},
  };
  for (const TeamStart& start : starts) {
    SCOPED_TRACE(start.name);
    port_.calls.clear();
    events_.clear();
    system_.unreadable.clear();
    if (!start.teamReadable) system_.unreadable.insert(teamList);
    TeamFailure failure;
    EXPECT_EQ(
        LauncherRun(system_, {port_, owner_, lock_, session_, clock_, network_, policy_}, kFolder, &failure),
        start.exit);
    std::vector<std::wstring> opened;
    for (const auto& call : port_.calls) opened.push_back(call.text);
    EXPECT_EQ(opened, start.opened);
    EXPECT_EQ(system_.files.count(L"C:\\Tools\\OMBREL.TEAM"), start.owedAfter ? 1U : 0U);
    EXPECT_EQ(failure.error, start.teamReadable ? 0U : 5U);
    if (start.sameDayStart) {
      EXPECT_EQ(events_, (Events{"lock", "read OMBREL.INI", "unlock"}));
    }
  }
  // The team folder waited for once, until it answered a second in.
  EXPECT_EQ(clock_.now, std::chrono::milliseconds(1000));
  EXPECT_EQ(system_.files[kStamp], kToday);
  // Both failed reads in the record, with Windows' reason, each in its run.
  const std::vector<RecordedRun> runs = ParseRunRecord(system_.files[kRecord]);
  ASSERT_EQ(runs.size(), 3U);
  for (std::size_t i = 0; i < 2; ++i) {
    ASSERT_FALSE(runs[i].entries.empty());
    EXPECT_EQ(runs[i].entries[0].event, RecordEvent::kTeamUnreadable);
    EXPECT_EQ(runs[i].entries[0].entry, L"T:\\Team");
    EXPECT_EQ(runs[i].entries[0].detail, L"text of 5");
    EXPECT_EQ(runs[i].Failures(), 1U);
  }
  EXPECT_EQ(runs[2].Failures(), 0U);
}

// A team folder the policy names is owed as one the file names: the later
// start reads it from the policy too.
TEST_F(LauncherRunTest, ATeamFolderOfThePolicyIsOwedAsOneOfTheFile) {
  const std::wstring teamList = L"T:\\Team\\OMBREL.DAT";
  policy_.SetText(PolicyHive::kMachine, "TeamFolder", L"T:\\Team");
  port_.existingFiles.insert(L"C:\\t.exe");
  system_.files = {{kStamp, "04-06-2026\r\n"}, {kList, "C:\\a.exe\r\n"}, {teamList, "C:\\t.exe\r\n"}};
  system_.unreadable.insert(teamList);
  RunFailures failures;
  EXPECT_EQ(
      LauncherRun(system_, {port_, owner_, lock_, session_, clock_, network_, policy_}, kFolder, failures),
      LauncherExit::kEntryNotOpened);
  // Its reason goes to the notification, though every entry of the list opened.
  EXPECT_EQ(failures.teamUnreadable, L"text of 5");
  EXPECT_TRUE(NoticeDue(failures));
  system_.unreadable.clear();
  port_.calls.clear();
  EXPECT_EQ(Run(), LauncherExit::kDone);
  ASSERT_EQ(port_.calls.size(), 1U);
  EXPECT_EQ(port_.calls[0].text, L"C:\\t.exe");
  EXPECT_EQ(system_.files.count(L"C:\\Tools\\OMBREL.TEAM"), 0U);
}

struct FailureCase {
  const char* name;
  std::map<std::wstring, std::string> files;
  bool listUnreadable;
  bool stampUnwritable;
  bool due;
  std::size_t notOpened;
  std::wstring first;
};

// What the run hands to its notification: only a day the list opens, with
// notifications on, and something that went wrong, calls for one.
TEST_F(LauncherRunTest, ARunThatWentWrongOnADayTheListOpensCallsForANotice) {
  const std::string yesterday = "04-06-2026\r\n";
  const std::string failing = "C:\\a.exe\r\nC:\\gone.txt\r\nC:\\lost.txt\r\n";
  const FailureCase cases[] = {
      {"went_well", {{kStamp, yesterday}, {kList, "C:\\a.exe\r\n"}}, false, false, false, 0, L""},
      {"same_day_start", {{kStamp, kToday}, {kList, failing}}, false, false, false, 0, L""},
      {"two_not_opened", {{kStamp, yesterday}, {kList, failing}}, false, false, true, 2, L"C:\\gone.txt"},
      {"turned_off",
       {{kStamp, yesterday}, {kList, failing}, {kSettings, "[Ombrel]\r\nNotifyFailures=0\r\n"}},
       false,
       false,
       false,
       2,
       L"C:\\gone.txt"},
      {"closed_day_stamp_unwritten",
       {{kStamp, yesterday}, {kList, failing}, {kSettings, "[Ombrel]\r\nDays=0000000\r\n"}},
       false,
       true,
       false,
       0,
       L""},
      {"list_unreadable", {{kStamp, yesterday}, {kList, failing}}, true, false, true, 0, L""},
      {"stamp_unwritten", {{kStamp, yesterday}, {kList, "C:\\a.exe\r\n"}}, false, true, true, 0, L""},
  };
  port_.shellFails = {L"C:\\gone.txt", L"C:\\lost.txt"};
  for (const FailureCase& c : cases) {
    SCOPED_TRACE(c.name);
    system_.files = c.files;
    system_.unreadable.clear();
    system_.unwritable.clear();
    if (c.listUnreadable) system_.unreadable.insert(kList);
    if (c.stampUnwritable) system_.unwritable.insert(kStamp);
    RunFailures failures;
    static_cast<void>(
        LauncherRun(system_, {port_, owner_, lock_, session_, clock_, network_, policy_}, kFolder, failures));
    EXPECT_EQ(NoticeDue(failures), c.due);
    EXPECT_EQ(failures.entriesNotOpened, c.notOpened);
    EXPECT_EQ(failures.firstNotOpened, c.first);
    EXPECT_EQ(failures.unreadableList, c.listUnreadable ? kList : L"");
  }
}

TEST(FolderLockNameTest, OneNameObjectPerFolderWithoutFurtherBackslashes) {
  const std::wstring folders[] = {
      L"C:", L"C:\\TOOLS", L"C:\\TOOLS2", L"D:\\TOOLS", L"C:\\ツール", L"\\\\SERVER\\SHARE\\X", L""};
  std::set<std::wstring> names;
  for (const std::wstring& folder : folders) {
    const std::wstring name = FolderLockName(folder);
    EXPECT_EQ(name.rfind(L"Local\\", 0), 0U);
    EXPECT_EQ(std::count(name.begin(), name.end(), L'\\'), 1);
    EXPECT_EQ(name, FolderLockName(folder)) << "stable";
    names.insert(name);
    // The editor's instance stands for the same folder under another name:
    // an open editor never holds up a launcher.
    const std::wstring editor = FolderObjectName(kEditorInstancePrefix, folder);
    EXPECT_EQ(editor.substr(editor.size() - 16), name.substr(name.size() - 16));
    names.insert(editor);
  }
  EXPECT_EQ(names.size(), 2 * std::size(folders));
}

}  // namespace
}  // namespace ombrel
