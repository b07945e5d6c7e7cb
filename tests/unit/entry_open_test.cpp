#include "entry_open.h"

#include <gtest/gtest.h>

#include "fakes.h"

namespace ombrel {
namespace {

using testing::FakeOpenPort;
using testing::FakeOwner;
using Call = FakeOpenPort::Call;

TEST(ClassificationTest, ProgramEntries) {
  for (const wchar_t* entry :
       {L"C:\\Windows\\notepad.exe", L"C:\\APP\\RUN.EXE", L"C:\\App\\Run.Exe", L"C:\\tools\\go.BAT",
        L"C:\\dos\\edit.com", L"notepad.exe C:\\a.txt", L"C:\\my.exe.d\\readme.txt",
        L"http://www.example.com/", L"C:\\x.command\\notes.txt"}) {
    EXPECT_TRUE(IsProgramEntry(entry)) << ::testing::PrintToString(std::wstring(entry));
  }
}

TEST(ClassificationTest, ShellEntries) {
  for (const wchar_t* entry :
       {L"", L"C:\\docs\\memo.txt", L"C:\\docs", L"http://www.example.jp/", L"user@host.example.jp",
        L"C:\\a.ex", L"C:\\exe\\bat", L"ｘ．ｅｘｅ", L"taro@example.com", L"taro@mail.example.com"}) {
    EXPECT_FALSE(IsProgramEntry(entry)) << ::testing::PrintToString(std::wstring(entry));
  }
}

TEST(OpenEntryTest, ProgramStartsWithWholeTextAndNeedsNoWindow) {
  FakeOpenPort port;
  FakeOwner owner;
  EXPECT_TRUE(OpenEntry(port, owner, ShellVariant::kLauncher, L"notepad.exe /min C:\\x.txt"));
  EXPECT_EQ(port.calls, (std::vector<Call>{{"start", L"notepad.exe /min C:\\x.txt", L"", 0}}));
  EXPECT_EQ(owner.asked, 0);
}

TEST(OpenEntryTest, ShellEntryGetsOwnerAndVariantWorkingFolder) {
  FakeOpenPort port;
  FakeOwner owner(77);
  EXPECT_TRUE(OpenEntry(port, owner, ShellVariant::kLauncher, L"C:\\docs\\memo.txt"));
  EXPECT_TRUE(OpenEntry(port, owner, ShellVariant::kEditor, L"C:\\docs\\memo.txt"));
  EXPECT_EQ(port.calls, (std::vector<Call>{{"shell", L"C:\\docs\\memo.txt", L"", 77},
                                           {"shell", L"C:\\docs\\memo.txt", L"c:\\", 77}}));
  EXPECT_EQ(owner.asked, 2);
}

TEST(OpenEntryTest, ProgramThatCannotStartGoesToTheShell) {
  FakeOpenPort port;
  FakeOwner owner(5);
  port.startFails.insert(L"http://www.example.com/");
  EXPECT_TRUE(OpenEntry(port, owner, ShellVariant::kLauncher, L"http://www.example.com/"));
  EXPECT_EQ(port.calls, (std::vector<Call>{{"start", L"http://www.example.com/", L"", 0},
                                           {"shell", L"http://www.example.com/", L"", 5}}));

  port.shellFails.insert(L"http://www.example.com/");
  EXPECT_FALSE(OpenEntry(port, owner, ShellVariant::kLauncher, L"http://www.example.com/"));
}

struct MailCase {
  const wchar_t* target;
  bool address;  // a mail address: never started as a program
  bool retried;  // retried as "Mailto:" when the shell cannot open it
};

// A mail address: exactly one "@", no blank, no "\", "/" or ":", a dot after
// the "@". The retry also keeps the older rule (one "@", no blank, two dots).
TEST(OpenEntryTest, MailAddressesAndTheRetry) {
  const MailCase cases[] = {
      {L"user@host.example.jp", true, true},
      {L"first.last@example.jp", true, true},
      {L"taro@example.jp", true, true},
      {L"taro@example.com", true, true},
      {L"a@b@c.example.jp", false, false},
      {L"user @host.example.jp", false, false},
      {L"", false, false},
      {L"host.example.jp", false, false},
      {L"user@localhost", false, false},
      {L"first.last@host", false, false},
      {L"a.b.c@host", false, true},
      {L"C:\\mail@x.jp", false, false},
      {L"mailto:taro@example.jp", false, false},
      {L"http://user@host.example.jp/", false, true},
      {L"名前@例え.jp", true, true},
  };
  for (const MailCase& c : cases) {
    EXPECT_EQ(IsMailAddress(c.target), c.address) << ::testing::PrintToString(std::wstring(c.target));
    for (const bool retryOpens : {true, false}) {
      FakeOpenPort port;
      FakeOwner owner(9);
      port.shellFails.insert(c.target);
      if (!retryOpens) port.shellFails.insert(std::wstring(L"Mailto:") + c.target);
      const bool opened = OpenEntry(port, owner, ShellVariant::kLauncher, c.target);
      if (c.address) {
        EXPECT_EQ(port.calls.front().kind, "shell");
      }
      const std::string name = ::testing::PrintToString(std::wstring(c.target));
      EXPECT_EQ(opened, c.retried && retryOpens) << name;
      ASSERT_EQ(port.calls.size(), c.retried ? 2U : 1U) << name;
      if (c.retried) {
        EXPECT_EQ(port.calls[1], (Call{"shell", std::wstring(L"Mailto:") + c.target, L"", 9}));
      }
    }
  }
}

TEST(OpenEntryTest, OpenedTargetIsNotRetried) {
  FakeOpenPort port;
  FakeOwner owner;
  EXPECT_TRUE(OpenEntry(port, owner, ShellVariant::kEditor, L"user@host.example.jp"));
  EXPECT_EQ(port.calls.size(), 1U);
}

struct SplitCase {
  const char* name;
  const wchar_t* entry;
  std::vector<std::wstring> existing;  // files that exist
  std::optional<ProgramStart> start;   // nothing: goes to the shell
};

// An unquoted path with blanks never starts a shorter prefix (C:\Program.exe
// for C:\Program Files\...): the first prefix that ends with a program mark,
// is followed by a blank or the end, and exists is the program.
TEST(PlanProgramStartTest, UnquotedPathsWithBlanks) {
  const std::wstring app = L"C:\\Program Files\\App\\app.exe";
  const SplitCase cases[] = {
      {"with_arguments",
       L"C:\\Program Files\\App\\app.exe /min C:\\x y.txt",
       {app},
       ProgramStart{app, L"\"" + app + L"\" /min C:\\x y.txt"}},
      {"alone", L"C:\\Program Files\\App\\app.exe", {app}, ProgramStart{app, L"\"" + app + L"\""}},
      {"missing_program_never_a_prefix",
       L"C:\\Program Files\\App\\app.exe /min",
       {L"C:\\Program.exe", L"C:\\Program"},
       std::nullopt},
      {"first_existing_prefix",
       L"C:\\My Tools\\a.exe b.exe x",
       {L"C:\\My Tools\\a.exe b.exe", L"C:\\My Tools\\a.exe"},
       ProgramStart{L"C:\\My Tools\\a.exe", L"\"C:\\My Tools\\a.exe\" b.exe x"}},
      {"later_prefix_when_first_missing",
       L"C:\\My Tools\\a.exe b.exe x",
       {L"C:\\My Tools\\a.exe b.exe"},
       ProgramStart{L"C:\\My Tools\\a.exe b.exe", L"\"C:\\My Tools\\a.exe b.exe\" x"}},
      {"mark_inside_a_name", L"C:\\My Files\\x.exe.txt", {L"C:\\My Files\\x.exe.txt"}, std::nullopt},
      {"batch_in_capitals",
       L"D:\\Work Files\\GO.BAT now",
       {L"D:\\Work Files\\GO.BAT"},
       ProgramStart{L"D:\\Work Files\\GO.BAT", L"\"D:\\Work Files\\GO.BAT\" now"}},
      {"leading_blanks",
       L"  C:\\Program Files\\App\\app.exe /min",
       {app},
       ProgramStart{app, L"\"" + app + L"\" /min"}},
      {"relative_path",
       L"Tools\\my app.exe -q",
       {L"Tools\\my app.exe"},
       ProgramStart{L"Tools\\my app.exe", L"\"Tools\\my app.exe\" -q"}},
      // As always: Windows finds a bare name, and a quoted path is exact.
      {"bare_name",
       L"notepad.exe C:\\My Docs\\a.txt",
       {},
       ProgramStart{L"", L"notepad.exe C:\\My Docs\\a.txt"}},
      {"quoted",
       L"\"C:\\Program Files\\App\\app.exe\" /min",
       {},
       ProgramStart{L"", L"\"C:\\Program Files\\App\\app.exe\" /min"}},
      {"no_blank", L"C:\\Tools\\app.exe", {}, ProgramStart{L"", L"C:\\Tools\\app.exe"}},
      {"web_address_with_blank", L"http://www.example.com/a b", {}, std::nullopt},
  };
  for (const SplitCase& c : cases) {
    FakeOpenPort port;
    port.existingFiles.insert(c.existing.begin(), c.existing.end());
    EXPECT_EQ(PlanProgramStart(port, c.entry), c.start) << c.name;
  }
}

TEST(OpenEntryTest, ProgramThatCannotBeStartedSafelyGoesToTheShellOnly) {
  FakeOpenPort port;
  FakeOwner owner(4);
  const std::wstring entry = L"C:\\Program Files\\App\\app.exe /min";
  port.existingFiles.insert(L"C:\\Program.exe");
  port.shellFails.insert(entry);
  EXPECT_FALSE(OpenEntry(port, owner, ShellVariant::kEditor, entry));
  EXPECT_EQ(port.calls, (std::vector<Call>{{"shell", entry, L"c:\\", 4}}));
}

// Longer than any command line or path: nothing is handed to the system.
TEST(OpenEntryTest, AnEntryLongerThanACommandLineCannotOpen) {
  FakeOpenPort port;
  FakeOwner owner;
  EXPECT_FALSE(OpenEntry(port, owner, ShellVariant::kLauncher, L"C:\\" + std::wstring(32765, L'x')));
  EXPECT_FALSE(OpenEntry(port, owner, ShellVariant::kEditor, L"a.exe /" + std::wstring(40000, L'x')));
  EXPECT_TRUE(port.calls.empty());
  EXPECT_TRUE(OpenEntry(port, owner, ShellVariant::kLauncher, L"C:\\" + std::wstring(32764, L'x')));
  EXPECT_EQ(port.calls.size(), 1U);
}

TEST(OpenThroughShellTest, RetryUsesTheSameOwnerAndWorkingFolder) {
  FakeOpenPort port;
  port.shellFails.insert(L"a");
  EXPECT_TRUE(OpenThroughShell(port, 3, ShellVariant::kEditor, L"a", L"b"));
  EXPECT_EQ(port.calls, (std::vector<Call>{{"shell", L"a", L"c:\\", 3}, {"shell", L"b", L"c:\\", 3}}));
  port.shellFails.insert(L"b");
  EXPECT_FALSE(OpenThroughShell(port, 3, ShellVariant::kEditor, L"a", L"b"));
  EXPECT_FALSE(OpenThroughShell(port, 3, ShellVariant::kEditor, L"a", std::nullopt));
}

}  // namespace
}  // namespace ombrel
