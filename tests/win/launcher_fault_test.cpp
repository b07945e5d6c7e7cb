// The launcher against the faults that would lose a day or open the wrong
// thing: a list it cannot read, a program path with blanks next to a planted
// C:\Program.exe, names on a host whose name holds ".com", mail addresses, one
// folder reached by two drive letters, and a program folder in a drive's root.
#include <windows.h>

#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <set>
#include <thread>

#include "common/list/list_temporary.h"
#include "launcher/folder_mutex.h"
#include "launcher_fixture.h"

namespace ombrel {
namespace {

using namespace std::chrono_literals;
using testing::DateOf;
using testing::kDone;
using testing::kEntryNotOpened;
using testing::Lines;
using testing::OpenedByShell;
using testing::Quote;
using testing::ReadBytes;
using testing::RecorderEntry;
using testing::RecorderLog;
using testing::TodaysStamp;
using testing::WaitForRecorders;
using testing::WriteBytes;
using testing::WriteList;
using testing::Yesterday;

class LauncherFaultTest : public testing::LauncherTest {};

TEST_F(LauncherFaultTest, ListHeldByAnotherProgramIsWaitedForThenLeftForTheNextStart) {
  const std::string yesterday = DateOf(Yesterday()) + "\r\n";
  WriteBytes(Stamp(), yesterday);
  WriteList(List(), {RecorderEntry(L"entry")});
  const std::optional<std::string> list = ReadBytes(List());
  {
    const testing::HeldFile held(List(), 5s);
    ASSERT_TRUE(held.held());
    EXPECT_EQ(Run(), static_cast<DWORD>(LauncherExit::kListUnreadable));
  }
  EXPECT_TRUE(log_.Lines().empty());
  EXPECT_EQ(ReadBytes(Stamp()), yesterday);
  EXPECT_EQ(ReadBytes(List()), list);

  // Held for a moment only: the run goes on as on any day.
  {
    const testing::HeldFile held(List(), 700ms);
    ASSERT_TRUE(held.held());
    EXPECT_EQ(Run(), kDone);
  }
  EXPECT_EQ(log_.Lines(), Lines{RecorderEntry(L"entry")});
  EXPECT_EQ(ReadBytes(Stamp()), TodaysStamp());
}

// A save cut short on a FAT stick left only its complete temporary: the
// launcher opens it, and leaves putting it in place to the editor's next save.
TEST_F(LauncherFaultTest, AMissingListWithACompleteTemporaryIsOpened) {
  win::WinSystem system;
  const std::string bytes = EncodeEntryList(system, {RecorderEntry(L"recovered")});
  const std::wstring temporary = TemporaryPath(List(), bytes, 0);
  WriteBytes(temporary, bytes);
  EXPECT_EQ(Run(), kDone);
  EXPECT_EQ(log_.Lines(), Lines{RecorderEntry(L"recovered")});
  EXPECT_EQ(ReadBytes(temporary), bytes);
  EXPECT_FALSE(ReadBytes(List()).has_value());
}

// A record that cannot be written, read-only or held by another program
// beyond the wait: the run opens what it would and ends as it would; the
// record stays as it was.
TEST_F(LauncherFaultTest, ARecordThatCannotBeWrittenLeavesTheRunAndItsStatusAsTheyWere) {
  const std::string earlier =
      "\xEF\xBB\xBF"
      "2026-01-02 09:00:00\t1\trun\tOmbrel\tstart\r\n";
  WriteList(List(), {folder_ / L"無い.ombtest", RecorderEntry(L"after")});
  for (const bool readOnly : {true, false}) {
    SCOPED_TRACE(readOnly ? "read-only" : "held");
    WriteBytes(Record(), earlier);
    WriteBytes(Stamp(), "\r\n");
    {
      std::optional<testing::ImmutablePath> immutable;
      std::optional<testing::HeldFile> held;
      if (readOnly) {
        ASSERT_TRUE(immutable.emplace(Record()).applied());
      } else {
        ASSERT_TRUE(held.emplace(Record(), 4s).held());
      }
      EXPECT_EQ(Run(), kEntryNotOpened);
    }
    EXPECT_EQ(ReadBytes(Stamp()), TodaysStamp());
    EXPECT_EQ(ReadBytes(Record()), earlier);
  }
  EXPECT_EQ(log_.WaitForLines(2), (Lines{RecorderEntry(L"after"), RecorderEntry(L"after")}));
}

// A host of Wine's UNC names for one test: Wine finds \\host\share under the
// prefix's dosdevices\unc\host\share, so a share answers from the moment the
// test links it there, as a network does some seconds into a log-on.
class UncHost {
 public:
  explicit UncHost(const std::string& name) {
    wchar_t prefix[MAX_PATH] = {};
    if (::GetEnvironmentVariableW(L"WINEPREFIX", prefix, MAX_PATH) == 0) return;
    folder_ = ToUtf8(prefix) + "/dosdevices/unc/" + name;
    made_ = testing::RunHost("mkdir -p '" + folder_ + "'");
  }
  UncHost(const UncHost&) = delete;
  UncHost& operator=(const UncHost&) = delete;
  ~UncHost() {
    if (made_) testing::RunHost("rm -rf '" + folder_ + "'");
  }
  [[nodiscard]] bool made() const { return made_; }
  [[nodiscard]] bool Share(const std::wstring& folder, const std::string& share) const {
    return testing::RunHost("ln -s '" + testing::HostPath(folder) + "' '" + folder_ + "/" + share + "'");
  }

 private:
  std::string folder_;
  bool made_ = false;
};

// A share that answers 1.5 s into the run is waited for and its program
// opens; one that never answers costs the whole wait, then fails as it would
// have; the next entry opens either way.
TEST_F(LauncherFaultTest, AShareAnsweringLateIsWaitedForAndOneNeverAnsweringFailsAfterTheWait) {
  const UncHost host("ombrel-late");
  ASSERT_TRUE(host.made());
  const testing::TempFolder share;
  // Named as the recorder, so that the run's end waits for it too.
  ASSERT_TRUE(
      ::CopyFileW(testing::BinPath(L"recorder.exe").c_str(), (share / L"recorder.exe").c_str(), FALSE));
  WriteList(List(), {L"\\\\ombrel-late\\share\\recorder.exe late",
                     L"\\\\ombrel-never\\share\\recorder.exe never", RecorderEntry(L"after")});
  WriteBytes(SettingsFile(), testing::kNoNotice + "NetworkWaitSeconds=3\r\n");
  const auto start = std::chrono::steady_clock::now();
  const testing::Process launcher = testing::StartProcess(Quote(Program()));
  ASSERT_TRUE(launcher);
  std::this_thread::sleep_for(1500ms);
  EXPECT_TRUE(log_.Lines().empty());
  ASSERT_TRUE(host.Share(share.path(), "share"));
  EXPECT_EQ(launcher.WaitForExit(30s), kEntryNotOpened);
  EXPECT_GE(std::chrono::steady_clock::now() - start, 4500ms);
  WaitForRecorders();
  EXPECT_EQ(log_.StartOrder(),
            (Lines{L"\"\\\\ombrel-late\\share\\recorder.exe\" late", RecorderEntry(L"after")}));
}

// R:\ is the root of a test drive, where "R:\Program Files\App\app.exe" read
// as Windows reads an unquoted command line would first start R:\Program.exe.
class PlantedProgramTest : public testing::LauncherTest {
 protected:
  void SetUp() override {
    LauncherTest::SetUp();
    ::CreateDirectoryW(L"R:\\Program Files", nullptr);
    ::CreateDirectoryW(kAppFolder, nullptr);
    ASSERT_TRUE(::CopyFileW(testing::BinPath(L"recorder.exe").c_str(), kPlanted, FALSE));
    ASSERT_TRUE(::CopyFileW(testing::BinPath(L"recorder.exe").c_str(), kApp, FALSE));
  }
  void TearDown() override {
    // The copies run under names of their own, which WaitForRecorders does
    // not know: a copy still running cannot be deleted yet.
    testing::WaitUntil([] { return ::DeleteFileW(kPlanted) || ::GetLastError() == ERROR_FILE_NOT_FOUND; });
    ::DeleteFileW(kApp);
    ::RemoveDirectoryW(kAppFolder);
    ::RemoveDirectoryW(L"R:\\Program Files");
  }

  static constexpr wchar_t kPlanted[] = L"R:\\Program.exe";
  static constexpr wchar_t kAppFolder[] = L"R:\\Program Files\\App";
  static constexpr wchar_t kApp[] = L"R:\\Program Files\\App\\app.exe";
};

TEST_F(PlantedProgramTest, UnquotedPathWithBlanksStartsThatProgramNeverAPrefix) {
  const std::wstring app = kApp;
  WriteList(List(), {app, app + L" /min 予定.txt"});
  EXPECT_EQ(Run(), kDone);
  // The recorder logs its command line: the program's own path, quoted.
  log_.WaitForLines(2);
  EXPECT_EQ(log_.StartOrder(), (Lines{Quote(app), Quote(app) + L" /min 予定.txt"}));

  // Without app.exe nothing may start, least of all R:\Program.exe.
  ASSERT_TRUE(testing::WaitUntil([] { return ::DeleteFileW(kApp) != FALSE; }));
  WriteBytes(Stamp(), "\r\n");
  EXPECT_EQ(Run(), kEntryNotOpened);
  EXPECT_EQ(log_.WaitForLines(3, 2s).size(), 2U);
}

// The processes of the prefix called explorer.exe, by id.
std::set<DWORD> Explorers() {
  std::set<DWORD> found;
  const win::ScopedFile snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more;
       more = ::Process32NextW(snapshot.get(), &entry)) {
    if (::lstrcmpiW(entry.szExeFile, L"explorer.exe") == 0) found.insert(entry.th32ProcessID);
  }
  return found;
}

// A folder, and a document, on a host whose name holds ".com", in test drive
// R:. Beside the folder lies a program of its name with ".exe" added; the
// document is a program in truth. Both are copies of the recorder, so either
// one started would show in the log.
class ComHostTest : public testing::LauncherTest {
 protected:
  void SetUp() override {
    LauncherTest::SetUp();
    for (const wchar_t* folder : {kHost, kTeam, kFolder}) ::CreateDirectoryW(folder, nullptr);
    for (const wchar_t* copy : {kBeside, kDocument}) {
      ASSERT_TRUE(::CopyFileW(testing::BinPath(L"recorder.exe").c_str(), copy, FALSE));
    }
  }
  void TearDown() override {
    for (const wchar_t* copy : {kBeside, kDocument}) {
      testing::WaitUntil([copy] { return ::DeleteFileW(copy) || ::GetLastError() == ERROR_FILE_NOT_FOUND; });
    }
    for (const wchar_t* folder : {kFolder, kTeam, kHost}) ::RemoveDirectoryW(folder);
  }

  static constexpr wchar_t kHost[] = L"R:\\files.example.com";
  static constexpr wchar_t kTeam[] = L"R:\\files.example.com\\team";
  static constexpr wchar_t kFolder[] = L"R:\\files.example.com\\team\\週報";
  static constexpr wchar_t kBeside[] = L"R:\\files.example.com\\team\\週報.exe";
  static constexpr wchar_t kDocument[] = L"R:\\files.example.com\\team\\plan.ombtest";
};

TEST_F(ComHostTest, FolderAndDocumentOpenThroughTheShellAndNoProgramOfTheirNameRuns) {
  // The desktop's own explorer is up before the count: only the one the
  // shell starts for the folder is new.
  ::GetDesktopWindow();
  const std::set<DWORD> before = Explorers();
  WriteList(List(), {kFolder, kDocument, RecorderEntry(L"last")});

  EXPECT_EQ(Run(), kDone);
  log_.WaitForLines(2);
  // Started by the launcher, the document would log its path as the entry
  // gives it. Wine's shell, unlike Windows', tries any file it is handed as a
  // program first, and quotes it: so it is the shell that ran this one.
  EXPECT_EQ(log_.StartOrder(), (Lines{Quote(kDocument), RecorderEntry(L"last")}));

  // Under Wine the folder opens in an explorer.exe that stays; it is ended
  // here, so that nothing waits for it.
  std::set<DWORD> opened;
  EXPECT_TRUE(testing::WaitUntil([&] {
    for (const DWORD id : Explorers()) {
      if (before.count(id) == 0) opened.insert(id);
    }
    return !opened.empty();
  })) << "the folder did not reach the shell";
  for (const DWORD id : opened) {
    const win::ScopedHandle explorer(::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id));
    if (explorer && ::TerminateProcess(explorer.get(), 0)) ::WaitForSingleObject(explorer.get(), 10000);
  }
}

TEST_F(LauncherFaultTest, MailAddressesOpenAsMailLinks) {
  WriteList(List(), {L"taro@example.jp", L"taro@example.com", L"first.last@example.jp", L"user@localhost",
                     RecorderEntry(L"last")});
  // user@localhost is no address, and nothing else opens it.
  EXPECT_EQ(Run(), kEntryNotOpened);
  log_.WaitForLines(4);
  EXPECT_EQ(log_.StartOrder(),
            (Lines{OpenedByShell(L"Mailto:taro@example.jp"), OpenedByShell(L"Mailto:taro@example.com"),
                   OpenedByShell(L"Mailto:first.last@example.jp"), RecorderEntry(L"last")}));
}

// Starts `program` (in `workingFolder`, or in the test's own) while the lock of
// `lockFolder` is held, as a launcher of that folder holds it while it runs:
// success when it waited for the lock, then ran to a normal end.
::testing::AssertionResult WaitsForTheLockOf(const std::wstring& lockFolder, const std::wstring& program,
                                             const std::wstring& workingFolder = {}) {
  const win::ScopedHandle held(::CreateMutexW(nullptr, TRUE, launcher::FolderMutexName(lockFolder).c_str()));
  if (!held) return ::testing::AssertionFailure() << "the lock could not be held";
  const testing::Process started = testing::StartProcess(Quote(program), 0, workingFolder);
  if (!started) return ::testing::AssertionFailure() << "the launcher did not start";
  const bool waited = !started.WaitForExit(1500ms).has_value();
  ::ReleaseMutex(held.get());
  const std::optional<DWORD> status = started.WaitForExit(30s);
  if (!waited) return ::testing::AssertionFailure() << "the launcher did not wait for the lock";
  if (status != kDone) return ::testing::AssertionFailure() << "exit status " << status.value_or(999);
  return ::testing::AssertionSuccess();
}

// R: and Q: are one folder of the build under two letters.
TEST(OneFolderTwoLettersTest, LaunchersTakeTurnsAndOpenTheListOnce) {
  const std::wstring viaR = L"R:\\twice";
  const std::wstring viaQ = L"Q:\\twice";
  ::CreateDirectoryW(viaR.c_str(), nullptr);
  ASSERT_TRUE(testing::CopyProgram(L"Ombrel.exe", viaR));
  testing::RecorderLog log;
  WriteList(viaR + L"\\OMBREL.DAT", {RecorderEntry(L"once")});
  WriteBytes(viaR + L"\\OMBREL.INI", DateOf(Yesterday()) + "\r\n");
  ASSERT_EQ(ReadBytes(viaQ + L"\\OMBREL.DAT"), ReadBytes(viaR + L"\\OMBREL.DAT"));

  // The lock as a launcher started through R: holds it.
  EXPECT_TRUE(WaitsForTheLockOf(viaR, viaQ + L"\\Ombrel.exe"));
  WaitForRecorders();
  EXPECT_EQ(log.Lines(), Lines{RecorderEntry(L"once")});

  // Both started together on a new day: the list still opens once.
  WriteBytes(viaR + L"\\OMBREL.INI", DateOf(Yesterday()) + "\r\n");
  const testing::Process first = testing::StartProcess(Quote(viaR + L"\\Ombrel.exe"));
  const testing::Process second = testing::StartProcess(Quote(viaQ + L"\\Ombrel.exe"));
  EXPECT_EQ(first.WaitForExit(30s), kDone);
  EXPECT_EQ(second.WaitForExit(30s), kDone);
  WaitForRecorders();
  EXPECT_EQ(log.Lines().size(), 2U);
  for (const wchar_t* name : {L"\\OMBREL.DAT", L"\\OMBREL.INI", L"\\Ombrel.exe"}) {
    ::DeleteFileW((viaR + name).c_str());
  }
  ::RemoveDirectoryW(viaR.c_str());
}

// A launcher in the root of R:, started with another folder of R: current (as
// a shortcut or a task may start it): its lock and its programs' working
// folder are the root, not the current folder that "R:" alone would name.
TEST(RootFolderTest, LockAndProgramsTakeTheRootNotTheCurrentFolder) {
  const std::wstring elsewhere = L"R:\\elsewhere";
  ::CreateDirectoryW(elsewhere.c_str(), nullptr);
  ASSERT_TRUE(testing::CopyProgram(L"Ombrel.exe", L"R:"));
  RecorderLog log;
  WriteList(L"R:\\OMBREL.DAT", {RecorderEntry(L"root")});
  WriteBytes(L"R:\\OMBREL.INI", DateOf(Yesterday()) + "\r\n");

  EXPECT_TRUE(WaitsForTheLockOf(L"R:\\", L"R:\\Ombrel.exe", elsewhere));
  WaitForRecorders();
  EXPECT_EQ(log.Lines(), Lines{RecorderEntry(L"root")});
  EXPECT_EQ(log.WorkingFolderOf(RecorderEntry(L"root")), L"R:\\");
  for (const wchar_t* name : {L"R:\\OMBREL.DAT", L"R:\\OMBREL.INI", L"R:\\Ombrel.exe"}) ::DeleteFileW(name);
  ::RemoveDirectoryW(elsewhere.c_str());
}

}  // namespace
}  // namespace ombrel
