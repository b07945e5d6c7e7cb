// The shared code on real Windows (Wine): the program folder, the entry list
// file in code page 932, and opening entries through the real process start
// and the real shell, observed through the recorder.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>

#include "common/list/entry_list.h"
#include "common/list/program_folder.h"
#include "common/open/entry_open.h"
#include "common/win/final_path.h"
#include "common/win/scoped.h"
#include "common/win/win_open.h"
#include "common/win/win_system.h"
#include "test_support.h"

namespace ombrel {
namespace {

using testing::RecorderLog;
using testing::TempFolder;

class NoOwner : public OwnerWindow {
 public:
  WindowHandle Handle() override { return 0; }
};

TEST(ProgramFolderTest, IsTheProgramsOwnFolder) {
  EXPECT_EQ(ProgramFolder(), testing::BinDir());
  EXPECT_NE(ProgramFolder().back(), L'\\');
}

TEST(ProgramFolderTest, ProgramInADrivesRootUsesOneBackslash) {
  // The test fixture maps drive R: to a folder of the build.
  const std::wstring probe = L"R:\\folder_probe.exe";
  ASSERT_TRUE(::CopyFileW(testing::BinPath(L"folder_probe.exe").c_str(), probe.c_str(), FALSE));
  TempFolder out;
  const std::wstring result = out / L"result.txt";
  EXPECT_EQ(testing::RunAndWait(L"\"" + probe + L"\" " + result), 0U);
  ::DeleteFileW(probe.c_str());
  EXPECT_EQ(testing::ReadBytes(result), "R:\\OMBREL.DAT");
}

TEST(EntryListFileTest, SystemCodePageIs932) { EXPECT_EQ(::GetACP(), 932U); }

struct WrittenCase {
  const char* name;
  std::vector<std::wstring> entries;
  std::string bytes;
};

// The real code page 932 conversion: Japanese as Shift-JIS bytes (表 and ソ
// end in 0x5C, a backslash in ASCII); anything beyond it (U+201A and U+201C
// look like a comma and a quotation mark, and a best fit would make them
// split or quote the entry; é and 한 are not in it) makes the file UTF-8.
TEST(EntryListFileTest, WrittenInTheFormTheEntriesNeedAndReadBack) {
  const WrittenCase cases[] = {
      {"shift_jis",
       {L"C:\\メモ\\表ソ.txt", L"", L"ｶﾅ,かな"},
       "C:\\\x83\x81\x83\x82\\\x95\x5C\x83\x5C.txt\r\n\r\n\"\xB6\xC5,\x82\xA9\x82\xC8\"\r\n"},
      {"utf8",
       {L"a\u201Ab\u201Cc", L"caf\u00e9 \ud55c", L"表"},
       "\xEF\xBB\xBF"
       "a\xE2\x80\x9A"
       "b\xE2\x80\x9C"
       "c\r\ncaf\xC3\xA9 \xED\x95\x9C\r\n\xE8\xA1\xA8\r\n"},
  };
  for (const WrittenCase& c : cases) {
    TempFolder folder;
    win::WinSystem system;
    const std::wstring path = folder / L"OMBREL.DAT";
    ASSERT_TRUE(WriteEntryList(system, path, c.entries)) << c.name;
    EXPECT_EQ(testing::ReadBytes(path), c.bytes) << c.name;
    EXPECT_EQ(ReadEntryList(system, path).entries, c.entries) << c.name;
  }
}

TEST(EntryListFileTest, InvalidShiftJisShowsAsTheSystemReadsItAndSavesAsThat) {
  TempFolder folder;
  win::WinSystem system;
  const std::wstring path = folder / L"OMBREL.DAT";
  // A lead byte cut off by a comma and by the line end; bytes the code page
  // maps one to one.
  testing::WriteBytes(path, "a\x83,b\x83\r\n\x80\xA0\r\n");
  const EntryListRead read = ReadEntryList(system, path);
  ASSERT_EQ(read.status, ReadStatus::kRead);
  EXPECT_EQ(read.entries, (std::vector<std::wstring>{L"a\u30FB", L"b\u30FB", L"\u0080\uF8F0"}));
  ASSERT_TRUE(WriteEntryList(system, path, read.entries));
  EXPECT_EQ(testing::ReadBytes(path), "a\x81\x45\r\nb\x81\x45\r\n\x80\xA0\r\n");
  EXPECT_EQ(ReadEntryList(system, path).entries, read.entries);
}

TEST(EntryListFileTest, ReplaceLeavesNothingBehindAndMissingFileIsNoList) {
  TempFolder folder;
  win::WinSystem system;
  const std::wstring path = folder / L"OMBREL.DAT";
  EXPECT_EQ(ReadEntryList(system, path).status, ReadStatus::kMissing);
  EXPECT_EQ(ReadEntryList(system, folder / L"no such folder\\OMBREL.DAT").status, ReadStatus::kMissing);
  ASSERT_TRUE(WriteEntryList(system, path, {L"old", L"list"}));
  ASSERT_TRUE(WriteEntryList(system, path, {L"new"}));
  EXPECT_EQ(testing::ReadBytes(path), "new\r\n");
  // No temporary of the save and no backup are left beside it.
  EXPECT_EQ(system.FindFiles(path + L"*"), std::vector<std::wstring>{path});
  ASSERT_TRUE(WriteEntryList(system, path, {}));
  EXPECT_EQ(testing::ReadBytes(path), "");
}

TEST(EntryListFileTest, FileHeldWithoutSharingIsWaitedOutThenUnreadable) {
  using namespace std::chrono_literals;
  TempFolder folder;
  win::WinSystem system;
  const std::wstring path = folder / L"OMBREL.DAT";
  ASSERT_TRUE(WriteEntryList(system, path, {L"old"}));
  {
    const testing::HeldFile briefly(path, 600ms);
    ASSERT_TRUE(briefly.held());
    EXPECT_EQ(ReadEntryList(system, path).entries, std::vector<std::wstring>{L"old"});
  }
  {
    const testing::HeldFile long_(path, 3s);
    const auto start = std::chrono::steady_clock::now();
    const EntryListRead read = ReadEntryList(system, path);
    EXPECT_EQ(read.status, ReadStatus::kUnreadable);
    EXPECT_TRUE(read.entries.empty());
    EXPECT_GE(std::chrono::steady_clock::now() - start, 1500ms);
  }
  // Wine lets a file held without sharing be replaced, where Windows refuses
  // with a sharing violation. A virus scanner denies the replacement instead:
  // made real by the host's immutable flag, which the save's rename waits
  // out for about two seconds.
  const std::string host = testing::HostPath(path);
  for (const auto denied : {600ms, 4000ms}) {
    ASSERT_TRUE(testing::RunHost("chattr +i '" + host + "'"));
    std::thread release([&] {
      std::this_thread::sleep_for(denied);
      EXPECT_TRUE(testing::RunHost("chattr -i '" + host + "'"));
    });
    const bool saved = static_cast<bool>(WriteEntryList(system, path, {denied < 2s ? L"new" : L"lost"}));
    release.join();
    EXPECT_EQ(saved, denied < 2s) << denied.count();
  }
  EXPECT_EQ(testing::ReadBytes(path), "new\r\n");
  EXPECT_EQ(system.FindFiles(path + L"*"), std::vector<std::wstring>{path});
}

TEST(EntryListFileTest, ReadStartStopsAtItsLimit) {
  TempFolder folder;
  win::WinSystem system;
  const std::wstring path = folder / L"OMBREL.INI";
  const std::string bytes = "04-07-2026\r\n" + std::string(100000, 'x');
  testing::WriteBytes(path, bytes);
  EXPECT_EQ(system.ReadStart(path, 256).bytes, bytes.substr(0, 256));
  EXPECT_EQ(system.ReadStart(path, bytes.size() + 1).bytes, bytes);
  EXPECT_EQ(system.ReadStart(folder / L"none", 256).status, ReadStatus::kMissing);
  // The end, and the whole size it lies in.
  const FileRead end = system.ReadEnd(path, 256);
  EXPECT_EQ(end.bytes, bytes.substr(bytes.size() - 256));
  EXPECT_EQ(end.metadata.size, bytes.size());
  EXPECT_EQ(system.ReadEnd(path, bytes.size() + 1).bytes, bytes);
}

// A run still adding to the record holds it for writing; a reader does not.
TEST(EntryListFileTest, AFileOpenForAppendingIsHeldByAWriter) {
  TempFolder folder;
  win::WinSystem system;
  const std::wstring path = folder / L"OMBREL.LOG";
  testing::WriteBytes(path, "x\r\n");
  std::unique_ptr<FileAppender> run = system.OpenForAppend(path);
  EXPECT_TRUE(system.HeldByWriter(path));
  run.reset();
  const win::ScopedFile reader(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                             nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(reader);
  EXPECT_FALSE(system.HeldByWriter(path));
}

// The same file by an 8.3 name, in another letter case; one not there by its name.
TEST(FinalPathTest, SameFileAsWindowsTellsFilesApart) {
  TempFolder folder;
  const std::wstring launcher = folder / L"Program Files Copy.exe";
  testing::WriteBytes(launcher, "MZ");
  wchar_t shortName[MAX_PATH] = {};
  ASSERT_NE(::GetShortPathNameW(launcher.c_str(), shortName, MAX_PATH), 0U);
  EXPECT_TRUE(win::SameFile(launcher, shortName));
  EXPECT_TRUE(win::SameFile(folder / L"PROGRAM FILES copy.EXE", launcher));
  EXPECT_FALSE(win::SameFile(folder / L"Other.exe", launcher));
  EXPECT_TRUE(win::SameFile(folder / L"Gone.exe", folder / L"GONE.exe"));
}

TEST(EntryListFileTest, AFolderInThePlaceOfTheListIsUnreadable) {
  TempFolder folder;
  win::WinSystem system;
  const std::wstring path = folder / L"OMBREL.DAT";
  ASSERT_TRUE(::CreateDirectoryW(path.c_str(), nullptr));
  EXPECT_EQ(ReadEntryList(system, path).status, ReadStatus::kUnreadable);
}

class OpenTest : public ::testing::Test {
 protected:
  [[nodiscard]] bool Opens(const std::wstring& entry) {
    return OpenEntry(port_, owner_, folders_, entry).outcome == OpenResult::Outcome::kOpened;
  }

  RecorderLog log_;
  NoOwner owner_;
  win::WinOpenPort port_;
  TempFolder programFolder_;
  const WorkingFolders folders_{programFolder_.path(), L""};
};

TEST_F(OpenTest, ProgramEntryStartsWithItsWholeCommandLineInTheProgramFolder) {
  const std::wstring entry = RecorderLog::Quoted() + L" /x \"two words\" 日本語";
  EXPECT_TRUE(Opens(entry));
  EXPECT_EQ(log_.WaitForLines(1), std::vector<std::wstring>{entry});
  EXPECT_EQ(log_.WorkingFolderOf(entry), programFolder_.path());
}

TEST_F(OpenTest, DocumentOpensThroughTheShell) {
  TempFolder folder;
  const std::wstring document = folder / L"予定 表.ombtest";
  testing::WriteBytes(document, "x");
  EXPECT_TRUE(Opens(document));
  const auto lines = log_.WaitForLines(1);
  ASSERT_EQ(lines.size(), 1U);
  EXPECT_EQ(lines[0], RecorderLog::Quoted() + L" \"" + document + L"\"");
}

TEST_F(OpenTest, BareMailAddressFallsBackToMailto) {
  EXPECT_TRUE(Opens(L"user@host.example.jp"));
  const auto lines = log_.WaitForLines(1);
  ASSERT_EQ(lines.size(), 1U);
  EXPECT_NE(lines[0].find(L"Mailto:user@host.example.jp"), std::wstring::npos) << ToUtf8(lines[0]);
}

TEST_F(OpenTest, WebAddressHoldingDotComGoesToTheShell) {
  EXPECT_TRUE(Opens(L"http://www.example.com"));
  const auto lines = log_.WaitForLines(1);
  ASSERT_EQ(lines.size(), 1U);
  EXPECT_NE(lines[0].find(L"http://www.example.com"), std::wstring::npos) << ToUtf8(lines[0]);
}

TEST_F(OpenTest, WhatCannotBeOpenedIsReportedAndOpensNothing) {
  TempFolder folder;
  for (const std::wstring& entry :
       {folder / L"無い.txt", folder / L"gone.exe", std::wstring(L"user@localhost")}) {
    EXPECT_FALSE(Opens(entry)) << ToUtf8(entry);
  }
  EXPECT_TRUE(log_.Lines().empty());
}

TEST(HostTest, ImmutableFileCannotBeWritten) {
  TempFolder folder;
  win::WinSystem system;
  const std::wstring path = folder / L"OMBREL.INI";
  ASSERT_TRUE(system.WriteAll(path, "x\r\n"));
  const std::string host = testing::HostPath(path);
  ASSERT_TRUE(testing::RunHost("chattr +i '" + host + "'"));
  EXPECT_FALSE(system.WriteAll(path, "y\r\n"));
  EXPECT_FALSE(system.ReplaceAll(path, "y\r\n"));
  ASSERT_TRUE(testing::RunHost("chattr -i '" + host + "'"));
  EXPECT_EQ(testing::ReadBytes(path), "x\r\n");
}

}  // namespace
}  // namespace ombrel
