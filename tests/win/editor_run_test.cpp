// OmbrelSet's run-now, date-clear and help commands on the real window, with
// the recorder standing in for everything they start or the shell opens, and
// the stamp file read byte for byte.
#include <gtest/gtest.h>

#include <cwchar>
#include <memory>
#include <optional>

#include "common/record/run_record.h"
#include "common/schedule/day_rule.h"
#include "common/win/error_text.h"
#include "common/win/win_system.h"
#include "editor_fixture.h"
#include "launcher_fixture.h"

namespace ombrel {
namespace {

using testing::IsBox;
using testing::OpenedByShell;
using testing::RecorderEntry;
using testing::RecorderLog;
using testing::RunningEditor;
using testing::StaysOpenQuietly;
using testing::TempFolder;
using testing::TodaysStamp;
using testing::WaitForRecorders;
using testing::WaitUntil;
using testing::gui::App;
using testing::gui::Icon;
using testing::gui::MessageBoxWindow;
using testing::gui::Rect;
using Lines = std::vector<std::wstring>;

const std::string kOldStamp = "01-01-2000\r\n";

// The entry list file for `entries`, one a line in the ANSI code page.
std::string ListFile(const Lines& entries) {
  win::WinSystem system;
  std::string bytes;
  for (const std::wstring& entry : entries) bytes += system.ToCodePage(932, entry).value() + "\r\n";
  return bytes;
}

// An editor whose runs are recorded: the log is set before the editor
// starts, so that it and all it starts inherit it. The entries' documents lie
// in a folder of their own.
class EditorRunTest : public ::testing::Test {
 protected:
  // False when the editor did not start.
  [[nodiscard]] bool Start(const std::optional<Lines>& entries, const std::optional<std::string>& stamp) {
    editor_ = std::make_unique<RunningEditor>(entries ? std::optional(ListFile(*entries)) : std::nullopt);
    if (!editor_->Started()) return false;
    if (stamp) testing::WriteBytes(editor_->StampPath(), *stamp);
    return true;
  }

  [[nodiscard]] const App& app() const { return editor_->app(); }
  [[nodiscard]] std::optional<std::string> Stamp() const { return editor_->StampBytes(); }

  // What the run opened, in the order it was started, once `count` recorders
  // have logged and none is left running.
  [[nodiscard]] Lines Opened(std::size_t count) const {
    log_.WaitForLines(count);
    WaitForRecorders();
    return log_.StartOrder();
  }
  // Nothing was opened: the command is over and no recorder started.
  [[nodiscard]] ::testing::AssertionResult NothingOpened() const {
    if (::testing::AssertionResult quiet = StaysOpenQuietly(app()); !quiet) return quiet;
    WaitForRecorders();
    if (!log_.Lines().empty()) return ::testing::AssertionFailure() << ToUtf8(log_.Lines().front());
    return ::testing::AssertionSuccess();
  }

  RecorderLog log_;
  TempFolder documents_;
  std::unique_ptr<RunningEditor> editor_;
};

TEST_F(EditorRunTest, FreshStampOpensTheListAsShownInOrderWithoutAskingAndKeepsTheFlag) {
  const std::wstring document = documents_ / L"予定 表.ombtest";
  testing::WriteBytes(document, "x");
  // The same entry twice opens twice; the mail address only as a mail link;
  // the blank line opens nothing and asks nothing.
  const Lines entries = {RecorderEntry(L"first"), document, L"", RecorderEntry(L"first"),
                         L"user@host.example.jp"};
  ASSERT_TRUE(Start(entries, kOldStamp));
  ASSERT_TRUE(editor_->Append(RecorderEntry(L"unsaved")));

  app().Click(IDC_COMMAND8);
  const Lines expected = {RecorderEntry(L"first"), OpenedByShell(document), RecorderEntry(L"first"),
                          OpenedByShell(L"Mailto:user@host.example.jp"), RecorderEntry(L"unsaved")};
  EXPECT_EQ(Opened(expected.size()), expected);
  EXPECT_EQ(log_.Lines().size(), expected.size());
  EXPECT_TRUE(StaysOpenQuietly(app()));
  EXPECT_EQ(Stamp(), TodaysStamp());
  EXPECT_EQ(editor_->DatBytes(), ListFile(entries));

  // Running is no change of the list: the append still asks to be saved.
  ASSERT_TRUE(app().Menu("alt+f e"));
  const MessageBoxWindow question = app().WaitForMessageBox();
  ASSERT_TRUE(question.Exists());
  question.Answer(IDNO);
  EXPECT_EQ(app().WaitForExit(), 0U);
}

TEST_F(EditorRunTest, TodaysStampAsksFirstNoChangesNothingYesRunsAgain) {
  // Only the first line counts; what follows shows whether the file was
  // written again.
  const std::string today = TodaysStamp() + kOldStamp;
  ASSERT_TRUE(Start(Lines{RecorderEntry(L"again")}, today));
  const std::wstring question = L"すでに今日1回実行されています。\r\r    実行しますか？";

  app().Click(IDC_COMMAND8);
  const MessageBoxWindow no = app().WaitForMessageBox();
  EXPECT_TRUE(IsBox(no, question, Icon::kQuestion, {IDYES, IDNO}));
  EXPECT_EQ(no.DefaultButton(), IDYES);
  no.Answer(IDNO);
  EXPECT_TRUE(NothingOpened());
  EXPECT_EQ(Stamp(), today);

  app().Click(IDC_COMMAND8);
  const MessageBoxWindow yes = app().WaitForMessageBox();
  ASSERT_TRUE(IsBox(yes, question, Icon::kQuestion, {IDYES, IDNO}));
  yes.Answer(IDYES);
  EXPECT_EQ(Opened(1), Lines{RecorderEntry(L"again")});
  EXPECT_EQ(Stamp(), TodaysStamp());
}

// "参照" leaves the current folder where it was, and programs start in the
// program folder: a program of a bare name in the folder browsed to is never
// found, and the run opens what the launcher would.
TEST_F(EditorRunTest, ProgramsStartInTheProgramFolderAfterBrowsingElsewhere) {
  const std::wstring bare = L"ombrel_browsed_probe.exe";
  ASSERT_TRUE(::CopyFileW(testing::BinPath(L"recorder.exe").c_str(), (documents_ / bare).c_str(), FALSE));
  const std::wstring chosen = documents_ / L"予定.ombtest";
  testing::WriteBytes(chosen, "x");
  ASSERT_TRUE(Start(Lines{bare + L" bare", RecorderEntry(L"after")}, kOldStamp));
  ASSERT_TRUE(editor_->Browse(chosen));

  app().Click(IDC_COMMAND8);
  const MessageBoxWindow box = app().WaitForMessageBox();
  ASSERT_TRUE(IsBox(box, bare + L" bareは開けません", Icon::kExclamation, {IDOK}));
  box.Answer(IDOK);
  EXPECT_EQ(Opened(1), Lines{RecorderEntry(L"after")});
  EXPECT_EQ(log_.WorkingFolderOf(RecorderEntry(L"after")), editor_->folder().path());
}

// "この項目を実行(&O)" from the list's context menu, opened by a right click
// on an entry: exactly that entry opens, where run-now opens it, and the
// stamp stays as it was.
TEST_F(EditorRunTest, ContextMenuRunOpensTheEntryUnderThePointerOnlyAndLeavesTheStamp) {
  ASSERT_TRUE(
      Start(Lines{RecorderEntry(L"first"), RecorderEntry(L"second"), RecorderEntry(L"third")}, kOldStamp));
  ASSERT_TRUE(app().RightClickListItem(IDC_LIST1, 1));
  ASSERT_TRUE(app().WaitForMenu().Exists());
  ASSERT_TRUE(app().Menu("o"));
  EXPECT_EQ(Opened(1), Lines{RecorderEntry(L"second")});
  EXPECT_EQ(log_.WorkingFolderOf(RecorderEntry(L"second")), editor_->folder().path());
  EXPECT_TRUE(StaysOpenQuietly(app()));
  WaitForRecorders();
  EXPECT_EQ(log_.Lines().size(), 1U);
  EXPECT_EQ(Stamp(), kOldStamp);
}

// 開く日 by keyboard: tomorrow's weekday chosen, the dialog shows its next
// three days; 置換 gives the entry a new text and keeps them; the list's save
// writes the line, which the launcher then follows: not today.
TEST_F(EditorRunTest, TheDaysDialogWritesALineThatTheLauncherFollowsAndAReplaceKeepsIt) {
  ASSERT_TRUE(Start(Lines{RecorderEntry(L"weekly")}, kOldStamp));
  ASSERT_TRUE(app().RightClickListItem(IDC_LIST1, 0));
  ASSERT_TRUE(app().WaitForMenu().Exists());
  ASSERT_TRUE(app().Menu("a"));
  const testing::gui::Window dialog = app().WaitForDialog(L"開く日");
  ASSERT_TRUE(dialog.Exists());
  const SYSTEMTIME now = testing::Today();
  const std::chrono::year_month_day today = DayOf({now.wYear, now.wMonth, now.wDay, 0, 0, 0});
  const unsigned tomorrow = WeekdayFromMonday(DaysAfter(today, 1));
  ASSERT_TRUE(testing::gui::PressKeys(dialog, "alt+w alt+" + std::to_string(tomorrow + 1)));
  const auto next = [&](int days) { return DayText(DaysAfter(today, days)); };
  EXPECT_TRUE(WaitUntil([&] {
    return dialog.Child(IDC_DAYS_NEXT).Text() ==
           L"次に開く日: " + next(1) + L"、" + next(8) + L"、" + next(15);
  })) << ToUtf8(dialog.Child(IDC_DAYS_NEXT).Text());
  ASSERT_TRUE(testing::gui::PressKeys(dialog, "Return"));
  ASSERT_TRUE(WaitUntil([&] { return !dialog.Exists(); }));

  const std::wstring renamed = RecorderEntry(L"renamed");
  app().SetText(IDC_TEXT1, renamed);
  ASSERT_TRUE(app().RightClickListItem(IDC_LIST1, 0));
  ASSERT_TRUE(app().WaitForMenu().Exists());
  ASSERT_TRUE(app().Menu("r"));
  EXPECT_TRUE(WaitUntil([&] { return app().ListItems(IDC_LIST1) == Lines{renamed}; }));
  ASSERT_TRUE(app().Menu("alt+f s"));
  const std::wstring settings = editor_->folder() / L"OMBREL.CFG";
  const std::string line = ToUtf8(renamed) + "=" + testing::WeekdayTerm(testing::DaysFromToday(1));
  EXPECT_TRUE(WaitUntil([&] { return testing::ReadBytes(settings) == "[EntryDays]\r\n" + line + "\r\n"; }))
      << testing::ReadBytes(settings).value_or("");

  ASSERT_TRUE(testing::CopyProgram(L"Ombrel.exe", editor_->folder().path()));
  testing::WriteBytes(editor_->StampPath(), testing::DateOf(testing::Yesterday()) + "\r\n");
  EXPECT_EQ(testing::RunAndWait(testing::Quote(editor_->folder() / L"Ombrel.exe")), testing::kDone);
  EXPECT_TRUE(NothingOpened());
  const std::vector<RecordedRun> runs =
      ParseRunRecord(testing::ReadBytes(editor_->folder() / L"OMBREL.LOG").value_or(""));
  ASSERT_FALSE(runs.empty());
  ASSERT_EQ(runs.back().entries.size(), 1U);
  EXPECT_EQ(runs.back().entries[0].detail, kSkippedNotToday);
}

TEST_F(EditorRunTest, EmptyListStillRenewsTheStamp) {
  ASSERT_TRUE(Start(std::nullopt, kOldStamp));
  app().Click(IDC_COMMAND8);
  EXPECT_TRUE(WaitUntil([&] { return Stamp() == TodaysStamp(); }));
  EXPECT_TRUE(NothingOpened());
}

TEST_F(EditorRunTest, ShellEntryThatCannotBeOpenedIsNamedAndTheRunGoesOnAfterOk) {
  const std::wstring missing = documents_ / L"無い.ombtest";
  ASSERT_TRUE(Start(Lines{missing, RecorderEntry(L"after")}, std::nullopt));
  app().Click(IDC_COMMAND8);
  const MessageBoxWindow box = app().WaitForMessageBox();
  ASSERT_TRUE(IsBox(box, missing + L"は開けません", Icon::kExclamation, {IDOK}));
  // The run stands still while the message is shown.
  EXPECT_TRUE(log_.Lines().empty());
  box.Answer(IDOK);
  EXPECT_EQ(Opened(1), Lines{RecorderEntry(L"after")});
  EXPECT_TRUE(StaysOpenQuietly(app()));
}

TEST_F(EditorRunTest, DateClearLeavesAnEmptyLineWithOrWithoutAStampAndRunNowThenAsksNothing) {
  ASSERT_TRUE(Start(Lines{RecorderEntry(L"run")}, std::nullopt));
  for (int round = 1; round <= 2; ++round) {
    SCOPED_TRACE(round == 1 ? "no stamp file" : "today's stamp");
    app().Click(IDC_COMMAND7);
    EXPECT_TRUE(WaitUntil([&] { return Stamp() == "\r\n"; })) << Stamp().value_or("(none)");
    EXPECT_TRUE(StaysOpenQuietly(app()));

    app().Click(IDC_COMMAND8);
    EXPECT_EQ(Opened(round), Lines(round, RecorderEntry(L"run")));
    EXPECT_TRUE(StaysOpenQuietly(app()));
    EXPECT_EQ(Stamp(), TodaysStamp());
  }
}

TEST_F(EditorRunTest, UnwritableStampWarnsWithItsPathAndTheEntriesStillOpen) {
  ASSERT_TRUE(Start(Lines{RecorderEntry(L"still")}, kOldStamp));
  const testing::ImmutablePath readOnly(editor_->StampPath());
  ASSERT_TRUE(readOnly.applied());
  const std::wstring warning = editor_->StampPath() + L"に書き込めませんでした。";

  app().Click(IDC_COMMAND8);
  const MessageBoxWindow run = app().WaitForMessageBox();
  ASSERT_TRUE(IsBox(run, warning, Icon::kExclamation, {IDOK}));
  run.Answer(IDOK);
  EXPECT_EQ(Opened(1), Lines{RecorderEntry(L"still")});
  EXPECT_TRUE(StaysOpenQuietly(app()));

  app().Click(IDC_COMMAND7);
  const MessageBoxWindow clear = app().WaitForMessageBox();
  ASSERT_TRUE(IsBox(clear, warning, Icon::kExclamation, {IDOK}));
  clear.Answer(IDOK);
  EXPECT_TRUE(StaysOpenQuietly(app()));
  EXPECT_EQ(Stamp(), kOldStamp);
}

// A day the settings keep closed does not keep run-now from opening the
// list. Its gap spaces the entries, its pause is not kept; meanwhile the
// window is drawn and answers, but takes no input.
TEST_F(EditorRunTest, RunNowOpensOnAClosedDayWithTheGapAndTakesNoInputMeanwhile) {
  ASSERT_TRUE(Start(Lines{RecorderEntry(L"first"), RecorderEntry(L"second")}, kOldStamp));
  testing::WriteBytes(editor_->folder() / L"OMBREL.CFG",
                      "[Ombrel]\r\nDays=0000000\r\nPauseSeconds=300\r\nGapSeconds=2\r\n");
  const HWND window = app().Main().hwnd();
  app().Click(IDC_COMMAND8);
  EXPECT_TRUE(WaitUntil([&] { return log_.Lines().size() == 1 && ::IsWindowEnabled(window) == FALSE; }));
  EXPECT_EQ(log_.Lines().size(), 1U);
  // Answered while the run waits: a window that only slept would not.
  EXPECT_FALSE(app().Main().Text().empty());
  EXPECT_EQ(Opened(2), (Lines{RecorderEntry(L"first"), RecorderEntry(L"second")}));
  const auto started = log_.StartTimes();
  ASSERT_EQ(started.size(), 2U);
  EXPECT_GE(started[1].first - started[0].first, 20'000'000U);
  EXPECT_TRUE(WaitUntil([&] { return ::IsWindowEnabled(window) != FALSE; }));
  // The focus back where the click left it.
  EXPECT_EQ(app().FocusId(), IDC_COMMAND8);
  EXPECT_TRUE(StaysOpenQuietly(app()));
}

// A server that never answers, as Wine reaches it: \\ombrel-silent\share
// is a host file system (FUSE, tests/tools/silent_share.py) that takes every
// question and answers none, until it ends, when the kernel fails them all.
class SilentShare {
 public:
  SilentShare() {
    wchar_t prefix[MAX_PATH] = {};
    if (::GetEnvironmentVariableW(L"WINEPREFIX", prefix, MAX_PATH) == 0) return;
    host_ = ToUtf8(prefix) + "/dosdevices/unc/ombrel-silent";
    mount_ = testing::HostPath(folder_ / L"mount");
    mounted_ = testing::RunHost(
        "mkdir -p '" + mount_ + "' '" + host_ + "' && python3 '" OMBREL_TOOLS_DIR "/silent_share.py' '" +
        mount_ + "' '" + testing::HostPath(folder_ / L"asked") + "' '" + testing::HostPath(folder_ / L"pid") +
        "' && ln -sfn '" + mount_ + "' '" + host_ + "/share'");
  }
  SilentShare(const SilentShare&) = delete;
  SilentShare& operator=(const SilentShare&) = delete;
  ~SilentShare() {
    if (!host_.empty()) {
      testing::RunHost("kill $(cat '" + testing::HostPath(folder_ / L"pid") + "'); umount -l '" + mount_ +
                       "'; rm -rf '" + host_ + "'");
    }
  }
  [[nodiscard]] bool mounted() const { return mounted_; }
  // A question for `name` is out, and unanswered.
  [[nodiscard]] bool Asked(const std::string& name) const {
    return testing::ReadBytes(folder_ / L"asked").value_or("").find(name + "\n") != std::string::npos;
  }

 private:
  TempFolder folder_;
  std::string host_;
  std::string mount_;
  bool mounted_ = false;
};

// Windows takes 20 to 45 s to find that a server does not answer: the
// editor asks on a thread of its own, its window answers meanwhile, and a
// question that never comes back does not keep the editor from closing.
TEST_F(EditorRunTest, AServerThatNeverAnswersIsAskedOffTheWindowsThread) {
  const SilentShare share;
  if (!share.mounted()) GTEST_SKIP() << "this machine does not let the test mount a file system";
  ASSERT_TRUE(Start(Lines{L"\\\\ombrel-silent\\share\\app.exe", RecorderEntry(L"after")}, kOldStamp));
  testing::WriteBytes(editor_->folder() / L"OMBREL.CFG", "[Ombrel]\r\nNetworkWaitSeconds=300\r\n");
  const HWND window = app().Main().hwnd();
  app().Click(IDC_COMMAND8);
  ASSERT_TRUE(WaitUntil([&] { return share.Asked("app.exe"); }));
  DWORD_PTR answer = 0;
  EXPECT_NE(::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer), 0U);
  EXPECT_FALSE(app().Main().Text().empty());
  ::PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(app().WaitForExit(), 0U);
  // The run stopped with the window: nothing after the entry opened.
  EXPECT_TRUE(log_.Lines().empty());
}

// The list of the record's tests: a program, a document, a mail address, a
// program that is not there and a blank line.
Lines RecordedList(const TempFolder& documents) {
  return {RecorderEntry(L"program"), documents / L"予定.ombtest", L"user@host.example.jp",
          documents / L"gone.exe", L""};
}

std::vector<RecordedRun> RecordedRuns(const std::wstring& folder) {
  return ParseRunRecord(testing::ReadBytes(folder + L"\\OMBREL.LOG").value_or(""));
}

TEST_F(EditorRunTest, RunNowRecordsEachOutcomeAsItHappens) {
  const Lines entries = RecordedList(documents_);
  testing::WriteBytes(entries[1], "x");
  ASSERT_TRUE(Start(entries, kOldStamp));
  app().Click(IDC_COMMAND8);
  const MessageBoxWindow box = app().WaitForMessageBox();
  ASSERT_TRUE(IsBox(box, entries[3] + L"は開けません", Icon::kExclamation, {IDOK}));
  // Recorded before the message waits for the user.
  std::vector<RecordedRun> runs = RecordedRuns(editor_->folder().path());
  ASSERT_EQ(runs.size(), 1U);
  EXPECT_EQ(runs[0].entries.size(), 4U);
  box.Answer(IDOK);
  EXPECT_TRUE(WaitUntil([&] {
    runs = RecordedRuns(editor_->folder().path());
    return runs.size() == 1 && runs[0].end.has_value();
  }));
  EXPECT_EQ(runs[0].starter, RunStarter::kRunNow);
  std::vector<RecordEvent> outcomes;
  for (const RecordedEntry& entry : runs[0].entries) outcomes.push_back(entry.event);
  EXPECT_EQ(outcomes,
            (std::vector<RecordEvent>{RecordEvent::kProgram, RecordEvent::kShell, RecordEvent::kMailLink,
                                      RecordEvent::kFailed, RecordEvent::kSkipped}));
  EXPECT_EQ(Opened(3), (Lines{RecorderEntry(L"program"), OpenedByShell(entries[1]),
                              OpenedByShell(L"Mailto:user@host.example.jp")}));
}

// Both programs in a program folder of their own, as shipped.
class RecordWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(testing::CopyProgram(L"Ombrel.exe", folder_.path()));
    ASSERT_TRUE(testing::CopyProgram(L"OmbrelSet.exe", folder_.path()));
    testing::WriteBytes(folder_ / L"OMBREL.CFG", testing::kNoNotice);
  }
  [[nodiscard]] std::unique_ptr<App> StartEditor() const {
    return std::make_unique<App>(folder_ / L"OmbrelSet.exe", testing::kEditorWindowClass);
  }
  [[nodiscard]] testing::gui::ReportList RowsOf(const testing::gui::Window& window) const {
    return testing::gui::ReportList(window.Child(IDC_RECORD_LIST).hwnd());
  }

  RecorderLog log_;
  TempFolder documents_;
  TempFolder folder_;
};

TEST_F(RecordWindowTest, TheEditorAfterOmbrelsFailedRunShowsItOnceWithTheRunSelected) {
  const Lines entries = RecordedList(documents_);
  testing::WriteBytes(entries[1], "x");
  testing::WriteBytes(folder_ / L"OMBREL.DAT", ListFile(entries));
  EXPECT_EQ(testing::RunAndWait(L"\"" + (folder_ / L"Ombrel.exe") + L"\""), 5U);
  WaitForRecorders();

  {
    const std::unique_ptr<App> editor = StartEditor();
    ASSERT_TRUE(editor->Started());
    const testing::gui::Window window = editor->WaitForDialog(L"実行の記録");
    ASSERT_TRUE(window.Exists());
    const testing::gui::ReportList list = RowsOf(window);
    const std::vector<testing::gui::ReportList::Row> rows = list.Rows(4);
    ASSERT_EQ(rows.size(), 6U);
    EXPECT_EQ(rows[0].columns[1], L"× 1 件開けませんでした");
    EXPECT_EQ(rows[0].columns[2], L"Ombrel の起動");
    EXPECT_EQ(rows[4].columns[1], L"× 開けませんでした");
    EXPECT_EQ(rows[4].columns[2], entries[3]);
    EXPECT_EQ(rows[4].columns[3], win::WindowsErrorText(ERROR_FILE_NOT_FOUND) + L" (2)");
    // The failures carry the error sign; the rest no image.
    for (const std::size_t i : {0U, 4U}) EXPECT_EQ(rows[i].image, 0) << i;
    for (const std::size_t i : {1U, 2U, 3U, 5U}) EXPECT_LT(rows[i].image, 0) << i;
    EXPECT_EQ(list.Selection(), 0);
    EXPECT_EQ(editor->FocusId(), IDC_RECORD_LIST);
    ASSERT_TRUE(testing::gui::PressKeys(window, "Escape"));
    EXPECT_TRUE(WaitUntil([&] { return !window.Exists(); }));
    EXPECT_TRUE(StaysOpenQuietly(*editor));
  }
  const std::unique_ptr<App> again = StartEditor();
  ASSERT_TRUE(again->Started());
  EXPECT_FALSE(again->WaitForDialog(L"実行の記録", std::chrono::seconds(2)).Exists());
}

// Keyboard alone: the menu's access key opens it, Tab goes round its three
// controls, Enter on 記録を消去 asks (No the default) and empties the record.
// It can be sized: the list grows, the buttons keep to the corner.
TEST_F(RecordWindowTest, KeyboardOnlyClearingAndSizing) {
  const std::string record =
      "\xEF\xBB\xBF"
      "2026-01-02 09:00:00\t7\trun\tOmbrelSet\trun-now\r\n"
      "2026-01-02 09:00:01\t7\tshell\tC:\\a.txt\r\n";
  testing::WriteBytes(folder_ / L"OMBREL.LOG", record);
  const std::unique_ptr<App> editor = StartEditor();
  ASSERT_TRUE(editor->Started());
  EXPECT_FALSE(editor->WaitForDialog(L"実行の記録", std::chrono::milliseconds(500)).Exists());
  ASSERT_TRUE(editor->Menu("alt+f r"));
  const testing::gui::Window window = editor->WaitForDialog(L"実行の記録");
  ASSERT_TRUE(window.Exists());
  EXPECT_NE(window.Style() & WS_THICKFRAME, 0);
  EXPECT_EQ(RowsOf(window).Rows(4).size(), 2U);

  for (const int expected : {IDC_RECORD_CLEAR, IDC_RECORD_CLOSE, IDC_RECORD_LIST, IDC_RECORD_CLEAR}) {
    ASSERT_TRUE(testing::gui::PressKeys(window, "Tab"));
    EXPECT_TRUE(WaitUntil([&] { return editor->FocusId() == expected; })) << expected;
  }
  const Rect list = window.Child(IDC_RECORD_LIST).ScreenRect();
  const Rect close = window.Child(IDC_RECORD_CLOSE).ScreenRect();
  const Rect outer = window.ScreenRect();
  ::SetWindowPos(window.hwnd(), nullptr, 0, 0, outer.width + 120, outer.height + 80,
                 SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_TRUE(
      WaitUntil([&] { return window.Child(IDC_RECORD_LIST).ScreenRect().width == list.width + 120; }));
  const Rect moved = window.Child(IDC_RECORD_CLOSE).ScreenRect();
  EXPECT_EQ(moved.width, close.width);
  EXPECT_EQ(moved.left - close.left, 120);
  EXPECT_EQ(moved.top - close.top, 80);

  ASSERT_TRUE(testing::gui::PressKeys(window, "Return"));
  const MessageBoxWindow question = editor->WaitForMessageBox();
  ASSERT_TRUE(IsBox(question, L"実行の記録をすべて消去しますか？", Icon::kQuestion, {IDYES, IDNO}));
  EXPECT_EQ(question.DefaultButton(), IDNO);
  question.Answer(IDYES);
  EXPECT_TRUE(WaitUntil([&] { return RowsOf(window).Rows(4).empty(); }));
  EXPECT_EQ(testing::ReadBytes(folder_ / L"OMBREL.LOG"), "\xEF\xBB\xBF");
  // Enter now closes it: 閉じる is the default.
  ASSERT_TRUE(testing::gui::PressKeys(window, "Tab Return"));
  EXPECT_TRUE(WaitUntil([&] { return !window.Exists(); }));
  EXPECT_TRUE(StaysOpenQuietly(*editor));
}

// Makes the recorder the program for .htm documents for one scope; a fresh
// prefix has none. Wine's shell looks only at the machine's classes, not at
// the user's, so that is where it goes.
class HtmOpensInTheRecorder {
 public:
  HtmOpensInTheRecorder() {
    HKEY existing = nullptr;
    if (::RegOpenKeyExW(HKEY_CLASSES_ROOT, kExtension, 0, KEY_READ, &existing) == ERROR_SUCCESS) {
      // Not ours to replace, nor to remove afterwards.
      ::RegCloseKey(existing);
      return;
    }
    owned_ = true;
    const std::wstring command = RecorderLog::Quoted() + L" \"%1\"";
    applied_ = Set(kExtension, kProgId) && Set(kCommand, command.c_str());
  }
  HtmOpensInTheRecorder(const HtmOpensInTheRecorder&) = delete;
  HtmOpensInTheRecorder& operator=(const HtmOpensInTheRecorder&) = delete;
  ~HtmOpensInTheRecorder() {
    if (!owned_) return;
    ::RegDeleteTreeW(HKEY_CLASSES_ROOT, kExtension);
    ::RegDeleteTreeW(HKEY_CLASSES_ROOT, kProgId);
  }
  [[nodiscard]] bool applied() const { return applied_; }

 private:
  static constexpr wchar_t kExtension[] = L".htm";
  static constexpr wchar_t kProgId[] = L"OmbrelTest.Help";
  static constexpr wchar_t kCommand[] = L"OmbrelTest.Help\\shell\\open\\command";

  static bool Set(const wchar_t* key, const wchar_t* value) {
    const auto size = static_cast<DWORD>((std::wcslen(value) + 1) * sizeof(wchar_t));
    return ::RegSetKeyValueW(HKEY_CLASSES_ROOT, key, nullptr, REG_SZ, value, size) == ERROR_SUCCESS;
  }

  bool owned_ = false;
  bool applied_ = false;
};

TEST_F(EditorRunTest, HelpPageOpensOnceThroughTheShellWithoutAMessage) {
  ASSERT_TRUE(Start(std::nullopt, std::nullopt));
  ASSERT_TRUE(testing::CopyProgram(L"help.htm", editor_->folder().path()));
  const HtmOpensInTheRecorder association;
  ASSERT_TRUE(association.applied());
  ASSERT_TRUE(app().Menu("alt+h h"));
  EXPECT_EQ(Opened(1), Lines{OpenedByShell(editor_->folder() / L"help.htm")});
  EXPECT_TRUE(StaysOpenQuietly(app()));
}

TEST_F(EditorRunTest, HelpPageWithoutAnHtmProgramWarnsOnceThatABrowserIsNeeded) {
  ASSERT_TRUE(Start(std::nullopt, std::nullopt));
  ASSERT_TRUE(testing::CopyProgram(L"help.htm", editor_->folder().path()));
  ASSERT_TRUE(app().Menu("alt+h h"));
  const MessageBoxWindow box = app().WaitForMessageBox();
  EXPECT_TRUE(IsBox(box,
                    L"ヘルプを表示するにはＨＴＭＬ対応のブラウザが必要です。\r"
                    L" インターネットエクスプローラなどを準備してください。\r"
                    L"   とりあえず 表示しますが、正しく表示できません",
                    Icon::kExclamation, {IDOK}));
  box.Answer(IDOK);
  EXPECT_TRUE(NothingOpened());
}

}  // namespace
}  // namespace ombrel
