// The launcher against the faults that would lose a day or open the wrong
// thing: a list it cannot read, a program path with blanks next to a planted
// C:\Program.exe, mail addresses, and one folder reached by two drive letters.
#include <gtest/gtest.h>

#include <chrono>

#include "folder_mutex.h"
#include "launcher_fixture.h"
#include "list_temporary.h"

namespace ombrel {
namespace {

using namespace std::chrono_literals;
using testing::DateOf;
using testing::kDone;
using testing::Lines;
using testing::OpenedByShell;
using testing::Quote;
using testing::ReadBytes;
using testing::RecorderEntry;
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
  EXPECT_EQ(Run(), kDone);
  EXPECT_EQ(log_.WaitForLines(3, 2s).size(), 2U);
}

TEST_F(LauncherFaultTest, MailAddressesOpenAsMailLinks) {
  WriteList(List(), {L"taro@example.jp", L"taro@example.com", L"first.last@example.jp", L"user@localhost",
                     RecorderEntry(L"last")});
  EXPECT_EQ(Run(), kDone);
  log_.WaitForLines(4);
  EXPECT_EQ(log_.StartOrder(),
            (Lines{OpenedByShell(L"Mailto:taro@example.jp"), OpenedByShell(L"Mailto:taro@example.com"),
                   OpenedByShell(L"Mailto:first.last@example.jp"), RecorderEntry(L"last")}));
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

  {
    // As a launcher started through R: holds it while it runs.
    const win::ScopedHandle held(::CreateMutexW(nullptr, TRUE, launcher::FolderMutexName(viaR).c_str()));
    ASSERT_TRUE(held);
    const testing::Process throughQ = testing::StartProcess(Quote(viaQ + L"\\Ombrel.exe"));
    ASSERT_TRUE(throughQ);
    EXPECT_FALSE(throughQ.WaitForExit(1500ms).has_value()) << "the launcher through Q: did not wait";
    ::ReleaseMutex(held.get());
    EXPECT_EQ(throughQ.WaitForExit(30s), kDone);
  }
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

}  // namespace
}  // namespace ombrel
