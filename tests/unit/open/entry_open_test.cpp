#include "common/open/entry_open.h"

#include <gtest/gtest.h>

#include <map>

#include "fakes.h"

namespace ombrel {

void PrintTo(const ProgramStart& start, std::ostream* out) {
  *out << ::testing::PrintToString(start.application) << " " << ::testing::PrintToString(start.commandLine);
}

namespace {

using testing::FakeOpenPort;
using testing::FakeOwner;
using Call = FakeOpenPort::Call;

using Outcome = OpenResult::Outcome;
using Way = OpenResult::Way;

// The launcher's working folders, in a program folder of C:\Tools.
const WorkingFolders kLauncher{L"C:\\Tools", L""};
const WorkingFolders kEditor{L"C:\\Tools", L"c:\\"};

TEST(OpenEntryTest, ProgramStartsInTheProgramFolderAndNeedsNoWindow) {
  FakeOpenPort port;
  FakeOwner owner;
  EXPECT_EQ(OpenEntry(port, owner, kLauncher, L"notepad.exe /min C:\\x.txt"),
            (OpenResult{Outcome::kOpened, Way::kProgram, L"C:\\Windows\\notepad.exe", 0}));
  EXPECT_EQ(port.calls, (std::vector<Call>{{"start", L"notepad.exe /min C:\\x.txt", L"C:\\Tools", 0, L""}}));
  EXPECT_EQ(owner.asked, 0);
}

TEST(OpenEntryTest, ShellEntryGetsOwnerAndTheShellsWorkingFolder) {
  FakeOpenPort port;
  FakeOwner owner(77);
  EXPECT_EQ(OpenEntry(port, owner, kLauncher, L"C:\\docs\\memo.txt").outcome, Outcome::kOpened);
  EXPECT_EQ(OpenEntry(port, owner, kEditor, L"C:\\docs\\memo.txt").outcome, Outcome::kOpened);
  EXPECT_EQ(port.calls, (std::vector<Call>{{"shell", L"C:\\docs\\memo.txt", L"", 77, L""},
                                           {"shell", L"C:\\docs\\memo.txt", L"c:\\", 77, L""}}));
  EXPECT_EQ(owner.asked, 2);
}

// A blank line, or the blank after "a, ": nothing is handed to the system.
TEST(OpenEntryTest, BlankEntriesAreSkippedWithoutAWindow) {
  for (const wchar_t* entry : {L"", L" ", L"\t  \t"}) {
    FakeOpenPort port;
    FakeOwner owner;
    EXPECT_EQ(OpenEntry(port, owner, kEditor, entry).outcome, Outcome::kSkippedBlank);
    EXPECT_TRUE(port.calls.empty());
    EXPECT_EQ(owner.asked, 0);
  }
}

TEST(OpenEntryTest, ProgramThatCannotStartGoesToTheShell) {
  FakeOpenPort port;
  FakeOwner owner(5);
  const std::wstring broken = L"C:\\Tools\\broken.exe";
  port.existingFiles.insert(broken);
  port.startFails.insert(broken);
  EXPECT_EQ(OpenEntry(port, owner, kLauncher, broken).outcome, Outcome::kOpened);
  EXPECT_EQ(port.calls,
            (std::vector<Call>{{"start", broken, L"C:\\Tools", 0, broken}, {"shell", broken, L"", 5, L""}}));

  port.shellFails.insert(broken);
  EXPECT_EQ(OpenEntry(port, owner, kLauncher, broken).outcome, Outcome::kNotOpened);
}

struct ResultCase {
  const char* name;
  std::wstring entry;
  std::vector<std::wstring> startFails;
  std::map<std::wstring, std::uint32_t> shellFails;  // with Windows' code
  OpenResult result;
};

// What the run's record keeps of each entry: how it opened and which file
// started, or the code of the last attempt that failed.
TEST(OpenEntryTest, ResultTellsHowAnEntryOpenedOrWhyNot) {
  const std::wstring app = L"C:\\Tools\\app.exe";
  const std::wstring mail = L"taro@example.jp";
  const ResultCase cases[] = {
      {"program_by_path", app + L" /x", {}, {}, {Outcome::kOpened, Way::kProgram, app, 0}},
      {"program_found_by_windows",
       L"calc.exe",
       {},
       {},
       {Outcome::kOpened, Way::kProgram, L"C:\\Windows\\calc.exe", 0}},
      {"document", L"C:\\a.txt", {}, {}, {Outcome::kOpened, Way::kShell, L"", 0}},
      {"program_the_shell_opened", app, {app}, {}, {Outcome::kOpened, Way::kShell, L"", 0}},
      {"mail_link", mail, {}, {{mail, 2}}, {Outcome::kOpened, Way::kMailLink, L"", 0}},
      {"missing_document",
       L"C:\\gone.txt",
       {},
       {{L"C:\\gone.txt", 2}},
       {Outcome::kNotOpened, Way::kNone, L"", 2}},
      {"program_neither_started_nor_opened",
       app,
       {app},
       {{app, 193}},
       {Outcome::kNotOpened, Way::kNone, L"", 193}},
      {"mail_without_a_mail_program",
       mail,
       {},
       {{mail, 2}, {L"Mailto:" + mail, 1155}},
       {Outcome::kNotOpened, Way::kNone, L"", 1155}},
      {"too_long", L"C:\\" + std::wstring(40000, L'x'), {}, {}, {Outcome::kNotOpened, Way::kNone, L"", 206}},
      {"blank", L" ", {}, {}, {Outcome::kSkippedBlank, Way::kNone, L"", 0}},
  };
  for (const ResultCase& c : cases) {
    FakeOpenPort port;
    FakeOwner owner;
    port.existingFiles.insert(app);
    port.startFails.insert(c.startFails.begin(), c.startFails.end());
    for (const auto& [target, code] : c.shellFails) {
      port.shellFails.insert(target);
      port.errors[target] = code;
    }
    const OpenResult result = OpenEntry(port, owner, kLauncher, c.entry);
    EXPECT_EQ(result.outcome, c.result.outcome) << c.name;
    EXPECT_EQ(result.way, c.result.way) << c.name;
    EXPECT_EQ(result.file, c.result.file) << c.name;
    EXPECT_EQ(result.error, c.result.error) << c.name;
  }
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
      const bool opened = OpenEntry(port, owner, kLauncher, c.target).outcome == Outcome::kOpened;
      if (c.address) {
        EXPECT_EQ(port.calls.front().kind, "shell");
      }
      const std::string name = ::testing::PrintToString(std::wstring(c.target));
      EXPECT_EQ(opened, c.retried && retryOpens) << name;
      ASSERT_EQ(port.calls.size(), c.retried ? 2U : 1U) << name;
      if (c.retried) {
        EXPECT_EQ(port.calls[1], (Call{"shell", std::wstring(L"Mailto:") + c.target, L"", 9, L""}));
      }
    }
  }
}

TEST(OpenEntryTest, OpenedTargetIsNotRetried) {
  FakeOpenPort port;
  FakeOwner owner;
  EXPECT_EQ(OpenEntry(port, owner, kEditor, L"user@host.example.jp").outcome, Outcome::kOpened);
  EXPECT_EQ(port.calls.size(), 1U);
}

struct PlanCase {
  const char* name;
  std::wstring entry;
  std::vector<std::wstring> existing;  // files that exist
  std::optional<ProgramStart> start;   // nothing: goes to the shell as it is
};

// Bare: Windows finds the program. Otherwise exactly that file.
std::optional<ProgramStart> Found(const std::wstring& entry) { return ProgramStart{L"", entry}; }
std::optional<ProgramStart> Exactly(const std::wstring& program, const std::wstring& commandLine) {
  return ProgramStart{program, commandLine};
}
std::optional<ProgramStart> Itself(const std::wstring& path) { return Exactly(path, path); }

// The program part: the quoted part of a quoted entry; of an unquoted entry
// with blanks, the first prefix that ends with a program mark, is followed by
// a blank or the end and, naming a folder, exists (never C:\Program.exe for
// C:\Program Files\...); else the whole entry. Only a part ending in .exe,
// .bat or .com makes a program; one naming a folder starts only as that
// existing file; a bare www.example.com is a web address.
TEST(PlanProgramStartTest, ProgramOrShell) {
  const std::wstring app = L"C:\\Program Files\\App\\app.exe";
  const std::wstring quoted = L"\"" + app + L"\"";
  const std::wstring tools = L"C:\\My Tools\\a.exe";
  const std::wstring host = L"\\\\files.example.com\\team\\";
  const std::wstring desktop = L"C:\\Users\\taro\\Desktop\\";
  const PlanCase cases[] = {
      // Programs, as they worked before.
      {"bare_name", L"notepad.exe /x", {}, Found(L"notepad.exe /x")},
      {"bare_name_path_argument",
       L"notepad.exe C:\\My Docs\\a.txt",
       {},
       Found(L"notepad.exe C:\\My Docs\\a.txt")},
      {"bare_com_program", L"edit.com", {}, Found(L"edit.com")},
      // Quoted, or Windows would try My.exe first.
      {"bare_name_with_blank", L"My App.exe", {}, Found(L"\"My App.exe\"")},
      {"bare_name_with_blank_and_arguments", L" My App.exe /x", {}, Found(L"\"My App.exe\" /x")},
      {"quoted_bare_name", L"\"notepad.exe\" /x", {}, Found(L"\"notepad.exe\" /x")},
      {"path", L"C:\\W\\notepad.exe", {L"C:\\W\\notepad.exe"}, Itself(L"C:\\W\\notepad.exe")},
      {"capitals", L"C:\\A\\RUN.EXE", {L"C:\\A\\RUN.EXE"}, Itself(L"C:\\A\\RUN.EXE")},
      {"mixed_case", L"C:\\A\\Run.Exe", {L"C:\\A\\Run.Exe"}, Itself(L"C:\\A\\Run.Exe")},
      {"com_path", L"C:\\dos\\edit.com", {L"C:\\dos\\edit.com"}, Itself(L"C:\\dos\\edit.com")},
      {"quoted_with_arguments", quoted + L" /min", {app}, Exactly(app, quoted + L" /min")},
      {"quoted_never_closed",
       L"\"C:\\T\\a.exe",
       {L"C:\\T\\a.exe"},
       Exactly(L"C:\\T\\a.exe", L"\"C:\\T\\a.exe")},
      {"unquoted_blanks_with_arguments",
       app + L" /min C:\\x y.txt",
       {app},
       Exactly(app, quoted + L" /min C:\\x y.txt")},
      {"unquoted_blanks_alone", app, {app}, Exactly(app, quoted)},
      {"path_with_arguments",
       L"C:\\W\\n.exe C:\\a.txt",
       {L"C:\\W\\n.exe"},
       Exactly(L"C:\\W\\n.exe", L"\"C:\\W\\n.exe\" C:\\a.txt")},
      {"first_existing_prefix",
       tools + L" b.exe x",
       {tools + L" b.exe", tools},
       Exactly(tools, L"\"" + tools + L"\" b.exe x")},
      {"later_prefix_when_first_missing",
       tools + L" b.exe x",
       {tools + L" b.exe"},
       Exactly(tools + L" b.exe", L"\"" + tools + L" b.exe\" x")},
      {"batch_in_capitals",
       L"D:\\W F\\GO.BAT now",
       {L"D:\\W F\\GO.BAT"},
       Exactly(L"D:\\W F\\GO.BAT", L"\"D:\\W F\\GO.BAT\" now")},
      {"leading_blanks", L"  " + app + L" /min", {app}, Exactly(app, quoted + L" /min")},
      {"relative_path",
       L"Tools\\my app.exe -q",
       {L"Tools\\my app.exe"},
       Exactly(L"Tools\\my app.exe", L"\"Tools\\my app.exe\" -q")},
      // A path that does not exist as a file is never searched for.
      {"missing_path", L"C:\\W\\notepad.exe", {}, std::nullopt},
      {"missing_quoted", quoted + L" /min", {}, std::nullopt},
      {"missing_program_never_a_prefix", app + L" /min", {L"C:\\Program.exe", L"C:\\Program"}, std::nullopt},
      {"no_extension_appended", L"C:\\Tools\\週報", {L"C:\\Tools\\週報.exe"}, std::nullopt},
      // Folders, documents and addresses whose text merely holds a mark.
      {"folder_on_a_com_host", host + L"週報", {host + L"週報.exe"}, std::nullopt},
      {"document_on_a_com_host", host + L"plan.xlsx", {host + L"plan.xlsx"}, std::nullopt},
      {"document_holding_com", L"C:\\docs\\report.com.txt", {L"C:\\docs\\report.com.txt"}, std::nullopt},
      {"folder_holding_exe", L"C:\\my.exe.d\\readme.txt", {L"C:\\my.exe.d\\readme.txt"}, std::nullopt},
      {"folder_holding_com", L"C:\\x.command\\notes.txt", {}, std::nullopt},
      {"mark_inside_a_name", L"C:\\My Files\\x.exe.txt", {L"C:\\My Files\\x.exe.txt"}, std::nullopt},
      {"address_with_a_path", L"www.example.com/news", {}, std::nullopt},
      {"bare_web_address", L"www.example.com", {}, std::nullopt},
      {"bare_web_address_capitals", L"WWW.EXAMPLE.COM", {}, std::nullopt},
      {"web_address_then_words", L"www.example.com news", {}, std::nullopt},
      {"web_address", L"https://www.example.com/", {}, std::nullopt},
      {"web_address_ending_in_com", L"http://www.example.com", {}, std::nullopt},
      {"web_address_with_blank", L"http://www.example.com/a b", {}, std::nullopt},
      {"mail_address", L"taro@example.com", {}, std::nullopt},
      {"mail_address_two_labels", L"taro@mail.example.com", {}, std::nullopt},
      {"shortcut", desktop + L"App.lnk", {desktop + L"App.lnk"}, std::nullopt},
      {"program_shortcut", desktop + L"app.exe.lnk", {desktop + L"app.exe.lnk"}, std::nullopt},
      {"document", L"C:\\docs\\memo.txt", {L"C:\\docs\\memo.txt"}, std::nullopt},
      {"folder", L"C:\\docs", {}, std::nullopt},
      {"full_width", L"ｘ．ｅｘｅ", {}, std::nullopt},
      {"empty", L"", {}, std::nullopt},
  };
  for (const PlanCase& c : cases) {
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
  EXPECT_EQ(OpenEntry(port, owner, kEditor, entry).outcome, Outcome::kNotOpened);
  EXPECT_EQ(port.calls, (std::vector<Call>{{"shell", entry, L"c:\\", 4, L""}}));
}

// Longer than any command line or path: nothing is handed to the system.
TEST(OpenEntryTest, AnEntryLongerThanACommandLineCannotOpen) {
  FakeOpenPort port;
  FakeOwner owner;
  EXPECT_EQ(OpenEntry(port, owner, kLauncher, L"C:\\" + std::wstring(32765, L'x')).outcome,
            Outcome::kNotOpened);
  EXPECT_EQ(OpenEntry(port, owner, kEditor, L"a.exe /" + std::wstring(40000, L'x')).outcome,
            Outcome::kNotOpened);
  EXPECT_TRUE(port.calls.empty());
  EXPECT_EQ(OpenEntry(port, owner, kLauncher, L"C:\\" + std::wstring(32764, L'x')).outcome, Outcome::kOpened);
  EXPECT_EQ(port.calls.size(), 1U);
}

// A dropped path becomes the entry that opens it as it was dropped.
TEST(EntryForDroppedPathTest, QuotedOnlyWhenABlankWouldSplitAProgram) {
  FakeOpenPort port;
  port.existingFiles = {L"C:\\Tools\\app.exe", L"C:\\My Tools\\app.exe", L"C:\\My Tools\\run.BAT",
                        L"\\\\files\\team share\\tool.com", L"C:\\My Links\\App.lnk"};
  const struct {
    const wchar_t* path;
    const wchar_t* entry;
  } cases[] = {
      {L"C:\\Tools\\app.exe", L"C:\\Tools\\app.exe"},
      {L"C:\\My Tools\\app.exe", L"\"C:\\My Tools\\app.exe\""},
      {L"C:\\My Tools\\run.BAT", L"\"C:\\My Tools\\run.BAT\""},
      {L"\\\\files\\team share\\tool.com", L"\"\\\\files\\team share\\tool.com\""},
      // A folder whose name ends like a program is no program.
      {L"C:\\Old Tools\\setup.exe", L"C:\\Old Tools\\setup.exe"},
      {L"C:\\My Docs\\memo 1.txt", L"C:\\My Docs\\memo 1.txt"},
      {L"C:\\My Links\\App.lnk", L"C:\\My Links\\App.lnk"},
      {L"C:\\My Docs", L"C:\\My Docs"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(EntryForDroppedPath(port, c.path), c.entry) << testing::FakeSystem::Narrow(c.path);
}

TEST(OpenThroughShellTest, RetryUsesTheSameOwnerAndWorkingFolder) {
  FakeOpenPort port;
  port.shellFails.insert(L"a");
  EXPECT_TRUE(OpenThroughShell(port, 3, L"c:\\", L"a", L"b"));
  EXPECT_EQ(port.calls,
            (std::vector<Call>{{"shell", L"a", L"c:\\", 3, L""}, {"shell", L"b", L"c:\\", 3, L""}}));
  port.shellFails.insert(L"b");
  EXPECT_FALSE(OpenThroughShell(port, 3, L"c:\\", L"a", L"b"));
  EXPECT_FALSE(OpenThroughShell(port, 3, L"c:\\", L"a", std::nullopt));
}

// Which path tells whether an entry on a network can open yet: decided from
// the text alone, since the share that does not answer cannot say which file
// exists.
TEST(PathToProbeTest, TheProgramPartOfAProgramTheWholeOfAShellEntryNothingForAnAddress) {
  const std::pair<const wchar_t*, std::optional<std::wstring>> cases[] = {
      {L"\\\\srv\\share\\tool.exe", L"\\\\srv\\share\\tool.exe"},
      {L"\"\\\\srv\\share\\My App\\app.exe\" /min", L"\\\\srv\\share\\My App\\app.exe"},
      {L"\\\\srv\\share\\My App\\app.exe /min", L"\\\\srv\\share\\My App\\app.exe"},
      {L"C:\\Program Files\\App\\app.exe C:\\x.txt", L"C:\\Program Files\\App\\app.exe"},
      // An argument on a share is the program's to reach, not the run's.
      {L"notepad.exe \\\\srv\\share\\memo.txt", L"notepad.exe"},
      {L"\\\\srv\\share\\週報 2026.xlsx", L"\\\\srv\\share\\週報 2026.xlsx"},
      {L"  Z:\\資料\\ ", L"Z:\\資料\\"},
      {L"\"Z:\\予定 表.xlsx\"", L"Z:\\予定 表.xlsx"},
      {L"https://intra.example.jp/", std::nullopt},
      {L"mailto:taro@example.jp", std::nullopt},
      {L"file://srv/share/a.txt", std::nullopt},
      {L"\"https://intra.example.jp/\"", std::nullopt},
      {L"taro@example.jp", std::nullopt},
      {L"\"\"", std::nullopt},
      {L" \t", std::nullopt},
  };
  for (const auto& [entry, path] : cases)
    EXPECT_EQ(PathToProbe(entry), path) << testing::FakeSystem::Narrow(entry);
}

}  // namespace
}  // namespace ombrel
