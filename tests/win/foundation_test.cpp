// The shared code on real Windows (Wine): the program folder, the entry list
// file in code page 932, and opening entries through the real process start
// and the real shell, observed through the recorder.
#include <gtest/gtest.h>

#include "entry_list.h"
#include "entry_open.h"
#include "program_folder.h"
#include "test_support.h"
#include "win_open.h"
#include "win_system.h"

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

TEST(EntryListFileTest, JapaneseIsWrittenAsShiftJisAndReadBack) {
  TempFolder folder;
  win::WinSystem system;
  const std::wstring path = folder / L"OMBREL.DAT";
  // 表 and ソ end in the byte 0x5C, a backslash in ASCII.
  const std::vector<std::wstring> entries = {L"C:\\メモ\\表ソ.txt", L"", L"ｶﾅ,かな"};
  ASSERT_TRUE(WriteEntryList(system, path, entries));
  EXPECT_EQ(testing::ReadBytes(path),
            "C:\\\x83\x81\x83\x82\\\x95\x5C\x83\x5C.txt\r\n"
            "\r\n"
            "\"\xB6\xC5,\x82\xA9\x82\xC8\"\r\n");
  EXPECT_EQ(ReadEntryList(system, path), entries);
}

TEST(EntryListFileTest, CharactersOutsideCodePage932NeverBecomeStructure) {
  TempFolder folder;
  win::WinSystem system;
  const std::wstring path = folder / L"OMBREL.DAT";
  // U+201A and U+201C look like a comma and a quotation mark; a best-fit
  // conversion would make them split or quote the entry.
  ASSERT_TRUE(WriteEntryList(system, path, {L"a\u201Ab\u201Cc"}));
  const auto back = ReadEntryList(system, path);
  ASSERT_TRUE(back.has_value());
  ASSERT_EQ(back->size(), 1U);
  EXPECT_EQ(back->front().find_first_of(L",\""), std::wstring::npos);
}

TEST(EntryListFileTest, ReplaceLeavesNothingBehindAndMissingFileIsNoList) {
  TempFolder folder;
  win::WinSystem system;
  const std::wstring path = folder / L"OMBREL.DAT";
  EXPECT_FALSE(ReadEntryList(system, path).has_value());
  ASSERT_TRUE(WriteEntryList(system, path, {L"old", L"list"}));
  ASSERT_TRUE(WriteEntryList(system, path, {L"new"}));
  EXPECT_EQ(testing::ReadBytes(path), "new\r\n");
  EXPECT_FALSE(testing::ReadBytes(path + L".new").has_value());
  ASSERT_TRUE(WriteEntryList(system, path, {}));
  EXPECT_EQ(testing::ReadBytes(path), "");
}

class OpenTest : public ::testing::Test {
 protected:
  RecorderLog log_;
  NoOwner owner_;
  win::WinOpenPort port_;
};

TEST_F(OpenTest, ProgramEntryStartsWithItsWholeCommandLine) {
  const std::wstring entry = RecorderLog::Quoted() + L" /x \"two words\" 日本語";
  EXPECT_TRUE(OpenEntry(port_, owner_, ShellVariant::kLauncher, entry));
  EXPECT_EQ(log_.WaitForLines(1), std::vector<std::wstring>{entry});
}

TEST_F(OpenTest, DocumentOpensThroughTheShell) {
  TempFolder folder;
  const std::wstring document = folder / L"予定 表.ombtest";
  testing::WriteBytes(document, "x");
  EXPECT_TRUE(OpenEntry(port_, owner_, ShellVariant::kLauncher, document));
  const auto lines = log_.WaitForLines(1);
  ASSERT_EQ(lines.size(), 1U);
  EXPECT_EQ(lines[0], RecorderLog::Quoted() + L" \"" + document + L"\"");
}

TEST_F(OpenTest, BareMailAddressFallsBackToMailto) {
  EXPECT_TRUE(OpenEntry(port_, owner_, ShellVariant::kLauncher, L"user@host.example.jp"));
  const auto lines = log_.WaitForLines(1);
  ASSERT_EQ(lines.size(), 1U);
  EXPECT_NE(lines[0].find(L"Mailto:user@host.example.jp"), std::wstring::npos) << ToUtf8(lines[0]);
}

TEST_F(OpenTest, WebAddressHoldingDotComGoesToTheShellAfterItsStartFailed) {
  EXPECT_TRUE(OpenEntry(port_, owner_, ShellVariant::kLauncher, L"http://www.example.com/"));
  const auto lines = log_.WaitForLines(1);
  ASSERT_EQ(lines.size(), 1U);
  EXPECT_NE(lines[0].find(L"http://www.example.com/"), std::wstring::npos) << ToUtf8(lines[0]);
}

TEST_F(OpenTest, WhatCannotBeOpenedIsReportedAndOpensNothing) {
  TempFolder folder;
  for (const std::wstring& entry :
       {folder / L"無い.txt", folder / L"gone.exe", std::wstring(L"user@example.jp")}) {
    EXPECT_FALSE(OpenEntry(port_, owner_, ShellVariant::kEditor, entry)) << ToUtf8(entry);
    EXPECT_FALSE(OpenEntry(port_, owner_, ShellVariant::kLauncher, entry)) << ToUtf8(entry);
  }
  EXPECT_TRUE(log_.Lines().empty());
}

TEST(ShellResultTest, ThirtyTwoAndBelowAreErrorCodes) {
  EXPECT_FALSE(win::ShellResultMeansOpened(0));
  EXPECT_FALSE(win::ShellResultMeansOpened(32));
  EXPECT_TRUE(win::ShellResultMeansOpened(33));
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
