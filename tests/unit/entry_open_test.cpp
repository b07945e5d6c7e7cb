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
  for (const wchar_t* entry : {L"", L"C:\\docs\\memo.txt", L"C:\\docs", L"http://www.example.jp/",
                               L"user@host.example.jp", L"C:\\a.ex", L"C:\\exe\\bat", L"ｘ．ｅｘｅ"}) {
    EXPECT_FALSE(IsProgramEntry(entry)) << ::testing::PrintToString(std::wstring(entry));
  }
}

TEST(EntryOpenTest, ProgramStartsWithWholeTextAndNeedsNoWindow) {
  FakeOpenPort port;
  FakeOwner owner;
  Entry_Open(port, ShellVariant::Launcher, owner, L"C:\\App\\app.exe /min C:\\x.txt");
  EXPECT_EQ(port.calls, (std::vector<Call>{{"start", L"C:\\App\\app.exe /min C:\\x.txt", L"", 0}}));
  EXPECT_EQ(owner.asked, 0);
}

TEST(EntryOpenTest, ShellEntryGetsOwnerAndVariantDirectory) {
  FakeOpenPort port;
  FakeOwner owner(77);
  Entry_Open(port, ShellVariant::Launcher, owner, L"C:\\docs\\memo.txt");
  Entry_Open(port, ShellVariant::Editor, owner, L"C:\\docs\\memo.txt");
  EXPECT_EQ(port.calls, (std::vector<Call>{{"shell", L"C:\\docs\\memo.txt", L"", 77},
                                           {"shell", L"C:\\docs\\memo.txt", L"c:\\", 77}}));
  EXPECT_EQ(owner.asked, 2);
}

TEST(EntryOpenTest, ProgramThatCannotStartGoesToTheShell) {
  FakeOpenPort port;
  FakeOwner owner(5);
  port.startFails.insert(L"http://www.example.com/");
  Entry_Open(port, ShellVariant::Launcher, owner, L"http://www.example.com/");
  EXPECT_EQ(port.calls, (std::vector<Call>{{"start", L"http://www.example.com/", L"", 0},
                                           {"shell", L"http://www.example.com/", L"", 5}}));
}

TEST(EntryOpenTest, EditorWarnsOnlyWhenTheShellFailsToo) {
  FakeOpenPort port;
  FakeOwner owner(5);
  port.startFails.insert(L"C:\\gone.exe");
  port.shellResults[L"C:\\gone.exe"] = 2;
  Entry_Open(port, ShellVariant::Editor, owner, L"C:\\gone.exe");
  ASSERT_EQ(port.calls.size(), 3U);
  EXPECT_EQ(port.calls[2], (Call{"warn", L"C:\\gone.exeは開けません", L"", 5}));
}

struct MailCase {
  const wchar_t* target;
  bool retried;
};

// The mail retry: exactly one "@", no blank, two dots or more.
TEST(ShellOpenTest, MailFallbackRule) {
  const MailCase cases[] = {
      {L"user@host.example.jp", true}, {L"first.last@example.jp", true},  {L"user@example.jp", false},
      {L"a@b@c.example.jp", false},    {L"user @host.example.jp", false}, {L"", false},
      {L"host.example.jp", false},
  };
  for (const MailCase& c : cases) {
    FakeOpenPort port;
    port.shellResults[c.target] = 2;
    Shell_Open(port, ShellVariant::Launcher, 9, c.target);
    const std::size_t expected = c.retried ? 2 : 1;
    ASSERT_EQ(port.calls.size(), expected) << ::testing::PrintToString(std::wstring(c.target));
    if (c.retried) {
      EXPECT_EQ(port.calls[1], (Call{"shell", std::wstring(L"Mailto:") + c.target, L"", 9}));
    }
  }
}

TEST(ShellOpenTest, OpenedTargetIsNotRetried) {
  FakeOpenPort port;
  Shell_Open(port, ShellVariant::Editor, 9, L"user@host.example.jp");
  EXPECT_EQ(port.calls.size(), 1U);
}

TEST(ShellOpenTest, EditorMessageNamesTheEntryWithoutMailto) {
  FakeOpenPort port;
  port.shellResults[L"user@host.example.jp"] = 2;
  port.shellResults[L"Mailto:user@host.example.jp"] = 31;
  Shell_Open(port, ShellVariant::Editor, 9, L"user@host.example.jp");
  ASSERT_EQ(port.calls.size(), 3U);
  EXPECT_EQ(port.calls[1].directory, L"c:\\");
  EXPECT_EQ(port.calls[2], (Call{"warn", L"user@host.example.jpは開けません", L"", 9}));
}

TEST(ShellOpenTest, MailRetryThatOpensNeedsNoMessage) {
  FakeOpenPort port;
  port.shellResults[L"user@host.example.jp"] = 2;
  Shell_Open(port, ShellVariant::Editor, 9, L"user@host.example.jp");
  EXPECT_EQ(port.calls.size(), 2U);
}

TEST(ShellOpenTest, EmptyEntryFailingGivesBareMessageInEditorAndNothingInLauncher) {
  FakeOpenPort editor;
  editor.shellResults[L""] = 11;
  Shell_Open(editor, ShellVariant::Editor, 1, L"");
  EXPECT_EQ(editor.calls, (std::vector<Call>{{"shell", L"", L"c:\\", 1}, {"warn", L"は開けません", L"", 1}}));

  FakeOpenPort launcher;
  launcher.shellResults[L""] = 11;
  Shell_Open(launcher, ShellVariant::Launcher, 1, L"");
  EXPECT_EQ(launcher.calls, (std::vector<Call>{{"shell", L"", L"", 1}}));
}

TEST(ShellOpenTest, ResultOfExactly32IsFailure) {
  FakeOpenPort port;
  port.shellResults[L"x.txt"] = 32;
  Shell_Open(port, ShellVariant::Editor, 1, L"x.txt");
  EXPECT_EQ(port.calls.back().kind, "warn");
  port.calls.clear();
  port.shellResults[L"x.txt"] = 33;
  Shell_Open(port, ShellVariant::Editor, 1, L"x.txt");
  EXPECT_EQ(port.calls.size(), 1U);
}

}  // namespace
}  // namespace ombrel
