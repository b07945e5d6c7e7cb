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

TEST(OpenEntryTest, ProgramStartsWithWholeTextAndNeedsNoWindow) {
  FakeOpenPort port;
  FakeOwner owner;
  EXPECT_TRUE(OpenEntry(port, owner, ShellVariant::kLauncher, L"C:\\App\\app.exe /min C:\\x.txt"));
  EXPECT_EQ(port.calls, (std::vector<Call>{{"start", L"C:\\App\\app.exe /min C:\\x.txt", L"", 0}}));
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
  bool retried;
};

// The mail retry: exactly one "@", no blank, two dots or more. The retry's
// result is the entry's.
TEST(OpenEntryTest, MailRetryRule) {
  const MailCase cases[] = {
      {L"user@host.example.jp", true}, {L"first.last@example.jp", true},  {L"user@example.jp", false},
      {L"a@b@c.example.jp", false},    {L"user @host.example.jp", false}, {L"", false},
      {L"host.example.jp", false},
  };
  for (const MailCase& c : cases) {
    for (const bool retryOpens : {true, false}) {
      FakeOpenPort port;
      FakeOwner owner(9);
      port.shellFails.insert(c.target);
      if (!retryOpens) port.shellFails.insert(std::wstring(L"Mailto:") + c.target);
      const bool opened = OpenEntry(port, owner, ShellVariant::kLauncher, c.target);
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
