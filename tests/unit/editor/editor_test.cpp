// The editor's commands through a fake window: list and selection, the
// modified flag, loading, saving and leaving, running the entries, help.
#include "editor/model/editor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <functional>

#include "common/list/entry_list.h"
#include "common/list/list_temporary.h"
#include "common/list/stamp.h"
#include "editor/model/entry_days_page.h"
#include "editor/model/record_page.h"
#include "editor/model/resume_switch.h"
#include "editor/model/settings_page.h"
#include "editor/model/team_page.h"
#include "editor/model/typed_text.h"
#include "editor/resource.h"
#include "fakes.h"

namespace ombrel::editor {
namespace {

using testing::FakeOpenPort;
using testing::FakeSystem;

// A text of the string table shows as its id in braces, so a test sees
// exactly how the editor joined the pieces.
std::wstring T(int id) { return L"{" + std::to_wstring(id) + L"}"; }

class FakeView : public EditorView {
 public:
  std::vector<std::wstring> items;
  std::ptrdiff_t selection = -1;
  std::wstring text;
  struct Message {
    MessageKind kind;
    std::wstring text;
    bool operator==(const Message&) const = default;
  };
  std::vector<Message> messages;
  std::deque<Answer> answers;  // given in turn; kOk once they run out
  std::optional<std::wstring> chosenFile;
  std::wstring dialogTitle, dialogFilter;
  int ended = 0;
  std::optional<std::size_t> refuseFrom;  // the list box is full from this item on

  // The list box as the editor tells it, and nothing more.
  bool ShowList(const std::vector<std::wstring>& entries) override {
    const std::size_t taken = std::min(entries.size(), refuseFrom.value_or(entries.size()));
    items.assign(entries.begin(), entries.begin() + static_cast<std::ptrdiff_t>(taken));
    return taken == entries.size();
  }
  void ShowInserted(std::ptrdiff_t index, const std::wstring& entry) override {
    items.insert(items.begin() + index, entry);
  }
  void ShowRemoved(std::ptrdiff_t index) override { items.erase(items.begin() + index); }
  void ShowMoved(std::ptrdiff_t from, std::ptrdiff_t to) override {
    std::wstring entry = items.at(static_cast<std::size_t>(from));
    items.erase(items.begin() + from);
    items.insert(items.begin() + to, std::move(entry));
  }
  void ShowSelection(std::ptrdiff_t index) override { selection = index; }
  std::vector<std::ptrdiff_t> redrawn;  // entries told their days changed
  void ShowDaysChanged(std::ptrdiff_t index) override { redrawn.push_back(index); }
  std::wstring EditText() override { return text; }
  void SetEditText(const std::wstring& value) override { text = value; }
  std::wstring LoadText(int id) override { return T(id); }
  Answer ShowMessage(MessageKind kind, const std::wstring& message) override {
    messages.push_back({kind, message});
    if (answers.empty()) return Answer::kOk;
    const Answer answer = answers.front();
    answers.pop_front();
    return answer;
  }
  std::optional<std::wstring> ShowOpenFileDialog(const std::wstring& title,
                                                 const std::wstring& filter) override {
    dialogTitle = title;
    dialogFilter = filter;
    return chosenFile;
  }
  WindowHandle Handle() override { return 0x77; }
  // The rows and first selection of each opening of the record window; while
  // open, its "記録を消去" is pressed `clearsInRecordWindow` times, and the
  // rows after each press that cleared are kept as well.
  struct RecordWindow {
    std::vector<RecordRow> rows;
    std::ptrdiff_t selected;
  };
  std::vector<RecordWindow> recordWindows;
  std::vector<std::wstring> recordStatuses;  // of each opening
  int clearsInRecordWindow = 0;
  std::optional<bool> startWarning;  // the line under the list, as last told
  void ShowStartWarning(bool shown) override { startWarning = shown; }
  void ShowRunRecord(RecordPage& page) override {
    recordWindows.push_back({page.Rows(), page.FirstSelected()});
    recordStatuses.push_back(page.Status());
    for (int i = 0; i < clearsInRecordWindow; ++i) {
      if (page.Clear()) recordWindows.push_back({page.Rows(), page.FirstSelected()});
    }
  }
  // Each opening of the settings dialog; `settingsDialog` works it while it
  // is open.
  std::function<void(SettingsPage&)> settingsDialog;
  int settingsShown = 0;
  void ShowSettings(SettingsPage& page) override {
    ++settingsShown;
    if (settingsDialog) settingsDialog(page);
  }
  struct TeamWindow {
    std::wstring state;
    std::vector<TeamRow> rows;
  };
  std::vector<TeamWindow> teamWindows;  // each opening of the team's list window
  void ShowTeamList(TeamPage& page) override { teamWindows.push_back({page.State(), page.Rows()}); }
  std::function<void(EntryDaysPage&)> daysDialog;
  void ShowEntryDays(EntryDaysPage& page) override {
    if (daysDialog) daysDialog(page);
  }
  void EndProgram() override { ++ended; }
};

// The Startup folder's shortcuts to the launcher, each with Windows' switch;
// writing fails when told to.
class FakeLogOnStart : public LogOnStart {
 public:
  std::vector<StartupApproval> shortcuts;
  bool unwritable = false;
  std::vector<StartupApproval> Shortcuts() override { return shortcuts; }
  bool TurnOn() override {
    if (unwritable) return false;
    shortcuts.push_back(StartupApproval::kOn);
    return true;
  }
  bool SwitchOn() override {
    if (unwritable) return false;
    shortcuts.assign(shortcuts.size(), StartupApproval::kOn);
    return true;
  }
  bool TurnOff() override {
    if (unwritable) return false;
    shortcuts.clear();
    return true;
  }
  std::wstring ShortcutPath() override { return L"S:\\Startup\\Ombrel.lnk"; }
};

const std::wstring kLauncher = L"C:\\Tools\\Ombrel.exe";
const std::wstring kOtherLauncher = L"D:\\Old\\Ombrel.exe";

// The Task Scheduler as far as the resume task goes; it refuses every change
// when told to, with the reason Windows would give; it may register without
// the wake, or answer a removal and keep the task.
class FakeResumeStart : public ResumeStart {
 public:
  ResumeTaskState task;
  bool refuses = false;
  bool dropsWake = false;
  bool keepsTask = false;
  std::vector<std::string> changes;  // "register", "remove"
  ResumeTaskState Find() override { return task; }
  TaskChange Register() override { return Change("register", {true, true, true, true, kLauncher}); }
  TaskChange Remove() override { return Change("remove", {true, false, false, false, L""}); }
  std::wstring TaskName() override { return L"Ombrel-S-1-5-21-7"; }

 private:
  TaskChange Change(const char* what, ResumeTaskState after) {
    changes.emplace_back(what);
    if (refuses) return {false, L"アクセスが拒否されました。 (0x80070005)"};
    if (!keepsTask) task = std::move(after);
    return {true, L"", dropsWake};
  }
};

const std::wstring kFolder = L"C:\\Tools";
const std::wstring kList = L"C:\\Tools\\OMBREL.DAT";
const std::wstring kStamp = L"C:\\Tools\\OMBREL.INI";
const std::wstring kRecord = L"C:\\Tools\\OMBREL.LOG";
const std::wstring kHelp = L"C:\\Tools\\help.htm";
const std::wstring kSettings = L"C:\\Tools\\OMBREL.CFG";

// A fresh editor over a fresh fake window, for cases that each need their own;
// given items, they are loaded from a list file, then selected as given.
struct Harness {
  Harness() = default;
  Harness(const std::vector<std::wstring>& items, std::ptrdiff_t selection, std::wstring text = L"") {
    std::string file;
    for (const std::wstring& item : items) file += FakeSystem::Narrow(item) + "\r\n";
    system.files[kList] = file;
    EXPECT_TRUE(editor.LoadList());
    editor.SelectEntry(selection);
    view.text = std::move(text);
  }
  // The view shows what the editor holds.
  [[nodiscard]] bool Mirrored() const {
    return view.items == editor.entries() && view.selection == editor.selection();
  }
  FakeView view;
  FakeSystem system;
  FakeOpenPort open;
  FakeLogOnStart logOn;
  FakeResumeStart resume;
  testing::FakeClock clock;
  testing::FakeNetwork network{&clock};
  testing::FakePolicy policy;
  Editor editor{view, system, open, logOn, resume, kFolder, clock, network, policy};
};

class EditorTest : public ::testing::Test {
 protected:
  // Loads `file` (nothing: no list file) the way the window does at start.
  void Load(std::optional<std::string> file) {
    if (file) system_.files[kList] = *file;
    ASSERT_TRUE(editor_.LoadList());
  }
  void Select(std::ptrdiff_t index) { editor_.SelectEntry(index); }

  FakeView view_;
  FakeSystem system_;
  FakeOpenPort open_;
  FakeLogOnStart logOn_;
  FakeResumeStart resume_;
  testing::FakeClock clock_;
  testing::FakeNetwork network_{&clock_};
  testing::FakePolicy policy_;
  Editor editor_{view_, system_, open_, logOn_, resume_, kFolder, clock_, network_, policy_};
};

// --- Loading ---------------------------------------------------------------

TEST_F(EditorTest, LoadShowsEntriesInFileOrderWithTheFirstSelected) {
  Load("one\r\ntwo\r\nthree\r\n");
  EXPECT_EQ(view_.items, (std::vector<std::wstring>{L"one", L"two", L"three"}));
  EXPECT_EQ(view_.selection, 0);
  EXPECT_EQ(view_.text, L"one");
  EXPECT_EQ(editor_.modified(), false);
  EXPECT_EQ(editor_.entryListPath(), kList);
}

TEST_F(EditorTest, MissingOrEmptyListLoadsEmpty) {
  for (const bool exists : {false, true}) {
    Harness h;
    h.view.text = L"stale";
    if (exists) h.system.files[kList] = "";
    EXPECT_TRUE(h.editor.LoadList()) << exists;
    EXPECT_TRUE(h.view.items.empty()) << exists;
    EXPECT_EQ(h.view.selection, -1) << exists;
    EXPECT_EQ(h.view.text, L"") << exists;
    EXPECT_EQ(h.editor.entryListPath(), kList) << exists;
    EXPECT_TRUE(h.view.messages.empty()) << exists;
  }
}

TEST_F(EditorTest, UnreadableListIsSaidAndNeverShownOrSaved) {
  system_.files[kList] = "a\r\n";
  system_.unreadable.insert(kList);
  EXPECT_FALSE(editor_.LoadList());
  ASSERT_EQ(view_.messages.size(), 1U);
  EXPECT_EQ(view_.messages[0].kind, MessageKind::kWarning);
  EXPECT_EQ(view_.messages[0].text, kList + T(IDS_LIST_UNREADABLE));
  EXPECT_TRUE(view_.items.empty());
  EXPECT_EQ(system_.files[kList], "a\r\n");
}

TEST_F(EditorTest, AListBoxThatRefusesAnEntryIsSaidAndNeverShownShort) {
  view_.refuseFrom = 2;
  system_.files[kList] = "a\r\nb\r\nc\r\n";
  EXPECT_FALSE(editor_.LoadList());
  ASSERT_EQ(view_.messages.size(), 1U);
  EXPECT_EQ(view_.messages[0].kind, MessageKind::kWarning);
  EXPECT_EQ(view_.messages[0].text, kList + T(IDS_LIST_UNREADABLE));
}

// A save cut short left the list whole in its temporary only.
TEST_F(EditorTest, ARecoveredListIsToldOnceAndItsSavePutsItInPlace) {
  const std::wstring temporary = TemporaryPath(kList, "a\r\nb\r\n", 0);
  system_.files[temporary] = "a\r\nb\r\n";
  ASSERT_TRUE(editor_.LoadList());
  EXPECT_EQ(view_.items, (std::vector<std::wstring>{L"a", L"b"}));
  EXPECT_TRUE(view_.messages.empty()) << "before the window shows";
  editor_.TellOfRecoveredList();
  ASSERT_EQ(view_.messages.size(), 1U);
  EXPECT_EQ(view_.messages[0].kind, MessageKind::kInformation);
  EXPECT_EQ(view_.messages[0].text,
            kList + T(IDS_RECOVERED_1) + L"\r" + temporary + L"\r" + T(IDS_RECOVERED_2));
  // Not in place yet: leaving would ask.
  EXPECT_TRUE(editor_.modified());

  ASSERT_TRUE(editor_.SaveList());
  EXPECT_EQ(system_.files[kList], "a\r\nb\r\n");
  EXPECT_EQ(system_.files.count(temporary), 0U);
  EXPECT_FALSE(editor_.modified());
  editor_.TellOfRecoveredList();
  EXPECT_EQ(view_.messages.size(), 1U);
}

TEST_F(EditorTest, TitleHasPrefixDateTwoSpacesTime) {
  EXPECT_EQ(editor_.WindowTitle({2026, 4, 7, 9, 5, 7}), T(IDS_TITLE_PREFIX) + L"04-07-2026  09:05:07");
}

// --- List editing ----------------------------------------------------------

TEST_F(EditorTest, InsertIntoEmptyListSelectsTheNewEntry) {
  Load(std::nullopt);
  view_.text = L"x";
  editor_.InsertEntry();
  EXPECT_EQ(view_.items, std::vector<std::wstring>{L"x"});
  EXPECT_EQ(view_.selection, 0);
  EXPECT_EQ(editor_.modified(), true);
}

struct InsertCase {
  const char* name;
  std::ptrdiff_t selected;
  std::vector<std::wstring> after;
  std::ptrdiff_t selectedAfter;
};

TEST_F(EditorTest, InsertGoesInFrontOfTheSelectedEntry) {
  const InsertCase cases[] = {
      {"first", 0, {L"new", L"a", L"b", L"c"}, 0},
      {"middle", 1, {L"a", L"new", L"b", L"c"}, 1},
      {"last", 2, {L"a", L"b", L"new", L"c"}, 2},
      // Entries but none selected: to the end, and selected.
      {"none", -1, {L"a", L"b", L"c", L"new"}, 3},
  };
  for (const InsertCase& c : cases) {
    Harness h({L"a", L"b", L"c"}, c.selected, L"new");
    h.editor.InsertEntry();
    EXPECT_EQ(h.view.items, c.after) << c.name;
    EXPECT_EQ(h.view.selection, c.selectedAfter) << c.name;
    EXPECT_EQ(h.view.text, L"new") << c.name;  // the edit box is not cleared
    EXPECT_EQ(h.editor.modified(), true) << c.name;
  }
}

TEST_F(EditorTest, InsertAndAppendTakeEmptyAndDuplicateTextAsItIs) {
  Load("a\r\n");
  view_.text = L"";
  editor_.InsertEntry();
  editor_.AppendEntry();
  view_.text = L"a";
  editor_.AppendEntry();
  EXPECT_EQ(view_.items, (std::vector<std::wstring>{L"", L"a", L"", L"a"}));
}

struct DeleteCase {
  const char* name;
  std::vector<std::wstring> before;
  std::ptrdiff_t selected;
  std::vector<std::wstring> after;
  std::ptrdiff_t selectedAfter;
  std::wstring text;
};

TEST_F(EditorTest, DeleteMovesTheEntryIntoTheEditBox) {
  const DeleteCase cases[] = {
      {"only", {L"a"}, 0, {}, -1, L"a"},
      {"last", {L"a", L"b", L"c"}, 2, {L"a", L"b"}, 1, L"c"},
      {"middle", {L"a", L"b", L"c"}, 1, {L"a", L"c"}, 1, L"b"},
      {"first", {L"a", L"b", L"c"}, 0, {L"b", L"c"}, 0, L"a"},
  };
  for (const DeleteCase& c : cases) {
    Harness h(c.before, c.selected, L"typed");
    h.editor.DeleteEntry();
    EXPECT_EQ(h.view.items, c.after) << c.name;
    EXPECT_EQ(h.view.selection, c.selectedAfter) << c.name;
    EXPECT_EQ(h.view.text, c.text) << c.name;
    EXPECT_EQ(h.editor.modified(), true) << c.name;
  }
}

TEST_F(EditorTest, DeleteWithNothingSelectedChangesNothing) {
  Load("a\r\nb\r\n");
  Select(-1);
  view_.text = L"typed";
  editor_.DeleteEntry();
  EXPECT_EQ(view_.items.size(), 2U);
  EXPECT_EQ(view_.text, L"typed");
  EXPECT_EQ(editor_.modified(), false);
}

TEST_F(EditorTest, DeleteThenInsertPutsAnEntryBackInPlace) {
  Load("a\r\nb\r\nc\r\n");
  Select(1);
  editor_.DeleteEntry();
  view_.text += L"2";
  editor_.InsertEntry();
  EXPECT_EQ(view_.items, (std::vector<std::wstring>{L"a", L"b2", L"c"}));
  EXPECT_EQ(view_.selection, 1);
}

TEST_F(EditorTest, DeleteThenInsertOfTheLastEntryLandsOnePlaceAbove) {
  Load("a\r\nb\r\nc\r\n");
  Select(2);
  editor_.DeleteEntry();
  editor_.InsertEntry();
  EXPECT_EQ(view_.items, (std::vector<std::wstring>{L"a", L"c", L"b"}));
  EXPECT_EQ(view_.selection, 1);
}

TEST_F(EditorTest, AppendGoesToTheEndAndLeavesTheSelection) {
  Load(std::nullopt);
  view_.text = L"x";
  editor_.AppendEntry();
  EXPECT_EQ(view_.items, std::vector<std::wstring>{L"x"});
  EXPECT_EQ(view_.selection, -1);
  EXPECT_EQ(editor_.modified(), true);

  Harness h({L"a", L"b"}, 0, L"c");
  h.editor.AppendEntry();
  EXPECT_EQ(h.view.items, (std::vector<std::wstring>{L"a", L"b", L"c"}));
  EXPECT_EQ(h.view.selection, 0);
}

TEST_F(EditorTest, DoubleClickCopiesTheSelectedEntryOnly) {
  Load("a\r\nb\r\n");
  Select(1);
  view_.text = L"typed";
  editor_.CopySelectedEntryToEditBox();
  EXPECT_EQ(view_.text, L"b");
  Select(-1);
  view_.text = L"typed";
  editor_.CopySelectedEntryToEditBox();
  EXPECT_EQ(view_.text, L"typed");
  EXPECT_EQ(editor_.modified(), false);
}

TEST_F(EditorTest, LongListsInsertAndAppendBeyondSixteenBits) {
  std::string file;
  for (int i = 0; i < 40000; ++i) file += "e" + std::to_string(i) + "\r\n";
  Load(file);
  ASSERT_EQ(view_.items.size(), 40000U);
  Select(39999);
  view_.text = L"new";
  editor_.InsertEntry();
  editor_.AppendEntry();
  EXPECT_EQ(view_.items.size(), 40002U);
  EXPECT_EQ(view_.items[39999], L"new");
  EXPECT_EQ(view_.items[40000], L"e39999");
  EXPECT_EQ(view_.selection, 39999);
  ASSERT_TRUE(editor_.SaveList());
  EXPECT_TRUE(system_.files[kList].ends_with("\r\nnew\r\ne39999\r\nnew\r\n"));
}

// Every change of the list over a, b, c with "new" in the edit box: the
// entries, the selection and the edit box after it, and whether it set the
// modified flag. The view holds no rule: it shows only what the editor told
// it, so it must match the editor's own entries and selection.
TEST(ListChangeTest, EachChangeGivesEntriesSelectionTextAndFlag) {
  using Items = std::vector<std::wstring>;
  // Paths without a blank: each is its own entry.
  const Items dropped = {L"x", L"y", L"z"};
  struct Case {
    const char* name;
    std::ptrdiff_t selected;
    std::function<void(Editor&)> change;
    Items after;
    std::ptrdiff_t selectedAfter;
    std::wstring text;
    bool modified;
  };
  const auto insert = [](Editor& e) { e.InsertEntry(); };
  const auto append = [](Editor& e) { e.AppendEntry(); };
  const auto remove = [](Editor& e) { e.DeleteEntry(); };
  const auto up = [](Editor& e) { e.MoveSelectedEntry(Direction::kUp); };
  const auto down = [](Editor& e) { e.MoveSelectedEntry(Direction::kDown); };
  const auto drop = [&dropped](Editor& e) { e.DropOnList(dropped); };
  const Items abc = {L"a", L"b", L"c"};
  const Case cases[] = {
      {"insert in the middle", 1, insert, {L"a", L"new", L"b", L"c"}, 1, L"new", true},
      {"insert with none selected", -1, insert, {L"a", L"b", L"c", L"new"}, 3, L"new", true},
      {"append", 1, append, {L"a", L"b", L"c", L"new"}, 1, L"new", true},
      {"delete in the middle", 1, remove, {L"a", L"c"}, 1, L"b", true},
      {"delete the last", 2, remove, {L"a", L"b"}, 1, L"c", true},
      {"delete with none selected", -1, remove, abc, -1, L"new", false},
      {"up at the top", 0, up, abc, 0, L"new", false},
      {"up in the middle", 1, up, {L"b", L"a", L"c"}, 0, L"new", true},
      {"up from the bottom", 2, up, {L"a", L"c", L"b"}, 1, L"new", true},
      {"down from the top", 0, down, {L"b", L"a", L"c"}, 1, L"new", true},
      {"down in the middle", 1, down, {L"a", L"c", L"b"}, 2, L"new", true},
      {"down at the bottom", 2, down, abc, 2, L"new", false},
      {"move with none selected", -1, up, abc, -1, L"new", false},
      {"drop of three with a selection", 1, drop, {L"a", L"x", L"y", L"z", L"b", L"c"}, 3, L"new", true},
      {"drop of three with none selected", -1, drop, {L"a", L"b", L"c", L"x", L"y", L"z"}, 5, L"new", true},
      {"drop of nothing", 1, [](Editor& e) { e.DropOnList({}); }, abc, 1, L"new", false},
      {"drop on the edit box", 1, [&dropped](Editor& e) { e.DropOnEditBox(dropped); }, abc, 1, dropped[0],
       false},
      {"a selection beyond the list", 1, [](Editor& e) { e.SelectEntry(3); }, abc, -1, L"new", false},
  };
  for (const Case& c : cases) {
    Harness h(abc, c.selected, L"new");
    c.change(h.editor);
    EXPECT_EQ(h.editor.entries(), c.after) << c.name;
    EXPECT_EQ(h.editor.selection(), c.selectedAfter) << c.name;
    EXPECT_EQ(h.view.text, c.text) << c.name;
    EXPECT_EQ(h.editor.modified(), c.modified) << c.name;
    EXPECT_TRUE(h.Mirrored()) << c.name;
  }
}

// A dropped program in a folder with a blank is written quoted, on the list
// and in the edit box alike.
TEST(ListChangeTest, DroppedProgramWithABlankIsQuoted) {
  const std::wstring program = L"C:\\My Tools\\tool.exe";
  Harness h({L"a"}, 0);
  h.open.existingFiles.insert(program);
  h.editor.DropOnList({program});
  h.editor.DropOnEditBox({program});
  EXPECT_EQ(h.editor.entries(), (std::vector<std::wstring>{L"\"" + program + L"\"", L"a"}));
  EXPECT_EQ(h.view.text, L"\"" + program + L"\"");
}

// The context menu's run opens the selected entry as run-now opens it, says
// so when it cannot, and leaves the stamp alone.
TEST(RunSelectedEntryTest, OpensThatEntryOnlyAndNeverTheStamp) {
  Harness h({L"notepad.exe", L"memo.txt", L"gone.txt"}, 1);
  h.open.shellFails.insert(L"gone.txt");
  h.editor.RunSelectedEntry();
  EXPECT_EQ(h.open.calls, (std::vector<FakeOpenPort::Call>{{"shell", L"memo.txt", L"c:\\", 0x77, L""}}));
  h.editor.SelectEntry(0);
  h.editor.RunSelectedEntry();
  EXPECT_EQ(h.open.calls.back(), (FakeOpenPort::Call{"start", L"notepad.exe", kFolder, 0, L""}));
  EXPECT_TRUE(h.view.messages.empty());
  h.editor.SelectEntry(2);
  h.editor.RunSelectedEntry();
  ASSERT_EQ(h.view.messages.size(), 1U);
  EXPECT_EQ(h.view.messages[0].text, L"gone.txt" + T(IDS_CANNOT_OPEN));
  h.editor.SelectEntry(-1);
  h.editor.RunSelectedEntry();
  EXPECT_EQ(h.open.calls.size(), 3U);
  EXPECT_EQ(h.system.files.count(kStamp), 0U);
  EXPECT_FALSE(h.editor.modified());
}

// --- Browsing --------------------------------------------------------------

TEST_F(EditorTest, BrowseFillsTheEditBoxOnlyWithAChosenPath) {
  Load("a\r\n");
  view_.chosenFile = L"C:\\Apps\\tool.exe";
  editor_.Browse();
  EXPECT_EQ(view_.text, L"C:\\Apps\\tool.exe");
  EXPECT_EQ(view_.dialogTitle, T(IDS_BROWSE_TITLE));
  EXPECT_EQ(view_.dialogFilter, T(IDS_BROWSE_FILTER));

  view_.chosenFile.reset();  // cancelled
  editor_.Browse();
  EXPECT_EQ(view_.text, L"C:\\Apps\\tool.exe");
  view_.chosenFile = L"";
  editor_.Browse();
  EXPECT_EQ(view_.text, L"C:\\Apps\\tool.exe");
  EXPECT_EQ(view_.items, std::vector<std::wstring>{L"a"});
  EXPECT_EQ(editor_.modified(), false);
  EXPECT_TRUE(view_.messages.empty());
}

// --- Saving and leaving ----------------------------------------------------

TEST_F(EditorTest, SaveWritesTheListAsShownAndClearsTheFlag) {
  Load("a\r\n");
  view_.text = L"x,y";
  editor_.AppendEntry();
  EXPECT_TRUE(editor_.SaveList());
  EXPECT_EQ(system_.files[kList], "a\r\n\"x,y\"\r\n");
  EXPECT_EQ(editor_.modified(), false);
  EXPECT_EQ(view_.ended, 0);
  editor_.Leave();
  EXPECT_TRUE(view_.messages.empty());
  EXPECT_EQ(view_.ended, 1);
}

TEST_F(EditorTest, SaveOfAnEmptyListWithNoFileCreatesZeroBytes) {
  Load(std::nullopt);
  EXPECT_TRUE(editor_.SaveList());
  EXPECT_EQ(system_.files[kList], "");
}

TEST_F(EditorTest, LeavingUnchangedAsksNothing) {
  Load("a\r\n");
  editor_.Leave();
  EXPECT_TRUE(view_.messages.empty());
  EXPECT_EQ(view_.ended, 1);
}

TEST_F(EditorTest, LeaveQuestionTextAndEachAnswer) {
  for (const Answer answer : {Answer::kYes, Answer::kNo}) {
    Harness h;
    h.system.files[kList] = "a\r\n";
    ASSERT_TRUE(h.editor.LoadList());
    h.view.text = L"b";
    h.editor.AppendEntry();
    h.view.answers = {answer};
    EXPECT_TRUE(h.editor.Leave());
    ASSERT_EQ(h.view.messages.size(), 1U);
    EXPECT_EQ(h.view.messages[0].kind, MessageKind::kLeaveQuestion);
    EXPECT_EQ(h.view.messages[0].text, T(IDS_LEAVE_QUESTION_1) + L"\r" + kList + T(IDS_LEAVE_QUESTION_2));
    EXPECT_EQ(h.system.files[kList], answer == Answer::kYes ? "a\r\nb\r\n" : "a\r\n");
    EXPECT_EQ(h.editor.modified(), false);
    EXPECT_EQ(h.view.ended, 1);
  }
}

TEST_F(EditorTest, CancelCommandsLeaveWithoutQuestionOrSave) {
  Load("a\r\n");
  editor_.AppendEntry();
  editor_.LeaveWithoutSaving();
  EXPECT_TRUE(view_.messages.empty());
  EXPECT_EQ(system_.files[kList], "a\r\n");
  EXPECT_EQ(view_.ended, 1);
}

TEST_F(EditorTest, SaveAndLeaveAsksNothing) {
  Load("a\r\n");
  view_.text = L"b";
  editor_.AppendEntry();
  editor_.SaveAndLeave();
  EXPECT_TRUE(view_.messages.empty());
  EXPECT_EQ(system_.files[kList], "a\r\nb\r\n");
  EXPECT_EQ(view_.ended, 1);
}

TEST_F(EditorTest, FailedSaveWarnsAndKeepsListFlagAndWindow) {
  Load("a\r\n");
  system_.unwritable.insert(kList);
  view_.text = L"b";
  editor_.AppendEntry();

  EXPECT_FALSE(editor_.SaveList());
  ASSERT_EQ(view_.messages.size(), 1U);
  EXPECT_EQ(view_.messages[0].kind, MessageKind::kWarning);
  EXPECT_EQ(view_.messages[0].text, kList + T(IDS_SAVE_FAILED));
  EXPECT_EQ(editor_.modified(), true);

  editor_.SaveAndLeave();  // save and leave: the save fails, so it stays
  EXPECT_EQ(view_.messages.size(), 2U);
  EXPECT_EQ(view_.ended, 0);

  view_.answers = {Answer::kYes};
  EXPECT_FALSE(editor_.Leave());  // Yes, but the save fails: stays
  EXPECT_EQ(view_.messages.size(), 4U);
  EXPECT_EQ(view_.messages[3].kind, MessageKind::kWarning);
  EXPECT_EQ(view_.ended, 0);
  EXPECT_EQ(editor_.modified(), true);
  EXPECT_EQ(view_.items, (std::vector<std::wstring>{L"a", L"b"}));
  EXPECT_EQ(system_.files[kList], "a\r\n");

  view_.answers = {Answer::kNo};  // the user gives up the changes
  EXPECT_TRUE(editor_.Leave());
  EXPECT_EQ(view_.ended, 1);
}

struct SaveFailureCase {
  const char* name;
  void (*fault)(FakeSystem&);
  int reason;
};

TEST_F(EditorTest, EachSaveThatWritesNothingSaysWhyAndKeepsTheList) {
  const SaveFailureCase cases[] = {
      {"read_only", [](FakeSystem& s) { s.readOnly.insert(kList); }, IDS_LIST_READ_ONLY},
      // Held by another program now: whether it changed cannot be told.
      {"unreadable_now", [](FakeSystem& s) { s.unreadable.insert(kList); }, IDS_SAVE_FAILED},
  };
  for (const SaveFailureCase& c : cases) {
    Harness h;
    h.system.files[kList] = "a\r\n";
    ASSERT_TRUE(h.editor.LoadList());
    h.view.text = L"b";
    h.editor.AppendEntry();
    c.fault(h.system);
    EXPECT_FALSE(h.editor.SaveList()) << c.name;
    ASSERT_EQ(h.view.messages.size(), 1U) << c.name;
    EXPECT_EQ(h.view.messages[0].kind, MessageKind::kWarning) << c.name;
    EXPECT_EQ(h.view.messages[0].text, kList + T(c.reason)) << c.name;
    EXPECT_EQ(h.system.files[kList], "a\r\n") << c.name;
    EXPECT_TRUE(h.editor.modified()) << c.name;
  }
}

struct DiskChangeCase {
  const char* name;
  std::optional<std::string> loaded;  // nothing: no list file at the load
  void (*change)(FakeSystem&);        // what another program does meanwhile
  bool asks;
};

// A save asks before it writes over a list that changed since the editor
// read it, or last saved it; No writes nothing and keeps everything.
TEST_F(EditorTest, ASaveAsksBeforeItOverwritesAChangedList) {
  const DiskChangeCase cases[] = {
      {"untouched", "a\r\n", [](FakeSystem&) {}, false},
      {"other_content", "a\r\n", [](FakeSystem& s) { ASSERT_TRUE(s.WriteAll(kList, "x\r\n")); }, true},
      {"rewritten_alike", "a\r\n", [](FakeSystem& s) { ASSERT_TRUE(s.WriteAll(kList, "a\r\n")); }, true},
      {"created", std::nullopt, [](FakeSystem& s) { ASSERT_TRUE(s.WriteAll(kList, "x\r\n")); }, true},
      {"deleted", "a\r\n", [](FakeSystem& s) { s.files.erase(kList); }, true},
  };
  for (const DiskChangeCase& c : cases) {
    Harness h;
    if (c.loaded) h.system.files[kList] = *c.loaded;
    ASSERT_TRUE(h.editor.LoadList()) << c.name;
    h.view.text = L"b";
    h.editor.AppendEntry();
    c.change(h.system);
    const std::optional<std::string> changed =
        h.system.files.count(kList) != 0 ? std::optional(h.system.files[kList]) : std::nullopt;
    const std::vector<std::wstring> shown = h.view.items;
    if (c.asks) {
      h.view.answers = {Answer::kNo};
      EXPECT_FALSE(h.editor.SaveList()) << c.name;
      ASSERT_EQ(h.view.messages.size(), 1U) << c.name;
      EXPECT_EQ(h.view.messages[0].kind, MessageKind::kOverwriteQuestion) << c.name;
      EXPECT_EQ(h.view.messages[0].text, kList + T(IDS_CHANGED_ON_DISK_1) + L"\r" + T(IDS_CHANGED_ON_DISK_2));
      EXPECT_EQ(h.system.files.count(kList) != 0 ? std::optional(h.system.files[kList]) : std::nullopt,
                changed)
          << c.name;
      EXPECT_TRUE(h.editor.modified()) << c.name;
      EXPECT_EQ(h.view.items, shown) << c.name;
      h.view.answers = {Answer::kYes};
    }
    EXPECT_TRUE(h.editor.SaveList()) << c.name;
    EXPECT_EQ(h.system.files[kList], (c.loaded ? "a\r\n" : "") + std::string("b\r\n")) << c.name;
    // What it wrote is what it read now: the next save asks nothing.
    const std::size_t asked = h.view.messages.size();
    EXPECT_TRUE(h.editor.SaveList()) << c.name;
    EXPECT_EQ(h.view.messages.size(), asked) << c.name;
    EXPECT_EQ(asked, c.asks ? 2U : 0U) << c.name;
  }
}

// --- Run now and date reset ------------------------------------------------

TEST_F(EditorTest, RunWithAFreshStampOpensEveryItemAsShownWithoutAsking) {
  Load("a.txt\r\n");
  view_.text = L"a.txt";
  editor_.AppendEntry();  // unsaved, and the same entry twice
  view_.text = L" ";
  editor_.AppendEntry();  // a blank item is skipped, and nobody is told
  view_.text = L"notepad.exe";
  editor_.AppendEntry();
  system_.files[kStamp] = "04-06-2026\r\n";
  editor_.RunNow();
  EXPECT_TRUE(view_.messages.empty());
  EXPECT_EQ(system_.files[kStamp], "04-07-2026\r\n");
  ASSERT_EQ(open_.calls.size(), 3U);
  EXPECT_EQ(open_.calls[0], (FakeOpenPort::Call{"shell", L"a.txt", L"c:\\", 0x77, L""}));
  EXPECT_EQ(open_.calls[1].text, L"a.txt");
  // Programs start in the program folder, as the launcher's do.
  EXPECT_EQ(open_.calls[2], (FakeOpenPort::Call{"start", L"notepad.exe", kFolder, 0, L""}));
  EXPECT_EQ(editor_.modified(), true);
  EXPECT_EQ(system_.files[kList], "a.txt\r\n");  // the list file is not touched
  // The record has the run as shown, the blank item included.
  const std::vector<RecordedRun> runs = ParseRunRecord(system_.files[kRecord]);
  ASSERT_EQ(runs.size(), 1U);
  EXPECT_EQ(runs[0].starter, RunStarter::kRunNow);
  EXPECT_EQ(runs[0].end, RunEnd::kDone);
  std::vector<RecordEvent> events;
  for (const RecordedEntry& entry : runs[0].entries) events.push_back(entry.event);
  EXPECT_EQ(events, (std::vector<RecordEvent>{RecordEvent::kShell, RecordEvent::kShell, RecordEvent::kSkipped,
                                              RecordEvent::kProgram}));
}

TEST_F(EditorTest, RunAgainTheSameDayAsksAndNoChangesNothing) {
  Load("a.txt\r\n");
  system_.files[kStamp] = "04-07-2026\r\nextra\r\n";
  view_.answers = {Answer::kNo};
  editor_.RunNow();
  ASSERT_EQ(view_.messages.size(), 1U);
  EXPECT_EQ(view_.messages[0].kind, MessageKind::kRunAgainQuestion);
  EXPECT_EQ(view_.messages[0].text, T(IDS_RUN_AGAIN_1) + L"\r\r" + T(IDS_RUN_AGAIN_2));
  EXPECT_TRUE(open_.calls.empty());
  EXPECT_EQ(system_.files[kStamp], "04-07-2026\r\nextra\r\n");

  view_.answers = {Answer::kYes};
  editor_.RunNow();
  EXPECT_EQ(open_.calls.size(), 1U);
  EXPECT_EQ(system_.files[kStamp], "04-07-2026\r\n");
}

TEST_F(EditorTest, RunOfAnEmptyListStillRenewsTheStamp) {
  Load(std::nullopt);
  editor_.RunNow();
  EXPECT_EQ(system_.files[kStamp], "04-07-2026\r\n");
  EXPECT_TRUE(open_.calls.empty());
  EXPECT_TRUE(view_.messages.empty());
}

TEST_F(EditorTest, RunWithAnUnwritableStampWarnsAndStillOpens) {
  Load("a.txt\r\nb.txt\r\n");
  system_.unwritable.insert(kStamp);
  editor_.RunNow();
  ASSERT_EQ(view_.messages.size(), 1U);
  EXPECT_EQ(view_.messages[0].text, kStamp + T(IDS_STAMP_FAILED));
  EXPECT_EQ(open_.calls.size(), 2U);
  EXPECT_EQ(view_.ended, 0);
  EXPECT_EQ(ParseRunRecord(system_.files[kRecord]).at(0).end, RunEnd::kStampNotWritten);
}

TEST_F(EditorTest, DateClearEmptiesTheStampSoTheNextRunDoesNotAsk) {
  Load("a.txt\r\n");
  editor_.ClearStamp();
  EXPECT_EQ(system_.files[kStamp], "\r\n");
  system_.files[kStamp] = "04-07-2026\r\n";
  editor_.ClearStamp();
  editor_.RunNow();
  EXPECT_TRUE(view_.messages.empty());
  EXPECT_EQ(open_.calls.size(), 1U);
  EXPECT_EQ(editor_.modified(), false);

  system_.unwritable.insert(kStamp);
  editor_.ClearStamp();
  ASSERT_EQ(view_.messages.size(), 1U);
  EXPECT_EQ(view_.messages[0].text, kStamp + T(IDS_STAMP_FAILED));
}

TEST_F(EditorTest, ProgramThatCannotStartWarnsOnlyWhenTheShellFailsToo) {
  Load("C:\\gone.exe\r\nnext.txt\r\n");
  open_.existingFiles.insert(L"C:\\gone.exe");
  open_.startFails.insert(L"C:\\gone.exe");
  editor_.RunNow();
  EXPECT_TRUE(view_.messages.empty());  // the shell opened it

  open_.calls.clear();
  system_.files.erase(kStamp);  // no run-again question
  open_.shellFails.insert(L"C:\\gone.exe");
  editor_.RunNow();
  ASSERT_EQ(open_.calls.size(), 3U);
  EXPECT_EQ(open_.calls[2].text, L"next.txt");
  ASSERT_EQ(view_.messages.size(), 1U);
  EXPECT_EQ(view_.messages[0].kind, MessageKind::kWarning);
  EXPECT_EQ(view_.messages[0].text, L"C:\\gone.exe" + T(IDS_CANNOT_OPEN));
}

// The message names the entry as listed, never the "Mailto:" retry.
TEST_F(EditorTest, CannotOpenMessageNamesTheEntryAsListed) {
  Load("user@host.example.jp\r\n");
  open_.shellFails = {L"user@host.example.jp", L"Mailto:user@host.example.jp"};
  editor_.RunNow();
  ASSERT_EQ(open_.calls.size(), 2U);
  EXPECT_EQ(open_.calls[1].directory, L"c:\\");
  ASSERT_EQ(view_.messages.size(), 1U);
  EXPECT_EQ(view_.messages[0].text, L"user@host.example.jp" + T(IDS_CANNOT_OPEN));

  // A mail retry that opens needs no message.
  open_.shellFails = {L"user@host.example.jp"};
  view_.messages.clear();
  system_.files.erase(kStamp);
  editor_.RunNow();
  EXPECT_TRUE(view_.messages.empty());
}

// Run-now opens the list whatever day the settings keep closed, with their
// gaps and network wait but without their pause; the one-entry run keeps no
// gap and still waits for a share. The policy's gap holds over the file's,
// and its bad pause is named in the run's record.
TEST(RunNowPacingTest, GapsAndNetworkWaitWithoutThePauseOnAnyDay) {
  using namespace std::chrono_literals;
  using Sleeps = std::vector<std::chrono::milliseconds>;
  const std::wstring share = L"\\\\srv\\share\\b.exe";
  const std::string settings =
      "[Ombrel]\r\nDays=0000000\r\nPauseSeconds=30\r\nGapSeconds=2\r\nNetworkWaitSeconds=60\r\n";
  Harness h({L"a.exe", L"", share, L"c.exe"}, 2);
  h.system.files[kSettings] =
      "[Ombrel]\r\nDays=0000000\r\nPauseSeconds=30\r\nGapSeconds=9\r\nNetworkWaitSeconds=60\r\n";
  h.policy.SetNumber(PolicyHive::kMachine, "GapSeconds", 2);
  h.policy.SetNumber(PolicyHive::kUser, "PauseSeconds", 3000);
  h.network.answersFrom = {{share, 3s}};
  h.editor.RunNow();
  EXPECT_EQ(h.open.calls.size(), 3U);
  EXPECT_NE(h.system.files[kRecord].find("\tpolicy-ignored\tHKCU\tPauseSeconds\r\n"), std::string::npos);
  // The gap, the share asked at 2 s and 2.5 s and answering at 3 s, the gap.
  EXPECT_EQ(h.clock.sleeps, (Sleeps{2s, 500ms, 500ms, 2s}));

  h.clock.sleeps.clear();
  h.network.answersFrom = {{share, h.clock.now + 1s}};
  h.editor.RunSelectedEntry();
  EXPECT_EQ(h.clock.sleeps, (Sleeps{500ms, 500ms}));
  h.editor.SelectEntry(0);
  h.editor.RunSelectedEntry();
  EXPECT_EQ(h.clock.sleeps.size(), 2U);
  EXPECT_EQ(h.open.calls.size(), 5U);

  // The window gone during a gap (the session ends): nothing more opens, and
  // the run's record stops short.
  Harness ending({L"a.exe", L"b.exe", L"c.exe"}, 0);
  ending.system.files[kSettings] = settings;
  ending.clock.endsAt = 3s;
  ending.editor.RunNow();
  EXPECT_EQ(ending.open.calls.size(), 2U);
  const std::vector<RecordedRun> runs = ParseRunRecord(ending.system.files[kRecord]);
  ASSERT_EQ(runs.size(), 1U);
  EXPECT_EQ(runs[0].entries.size(), 2U);
  EXPECT_FALSE(runs[0].end.has_value());
}

// --- Settings dialog -------------------------------------------------------

TEST(SettingsPageTest, SecondsAreDigitsOfEitherWidthAndNothingElse) {
  const std::pair<const wchar_t*, std::optional<int>> cases[] = {
      {L"0", 0},
      {L"300", 300},
      {L" 12\t", 12},
      {L"\uFF11\uFF12", 12},
      {L"\u3000"
       L"5",
       5},
      {L"007", 7},
      {L"", std::nullopt},
      {L" ", std::nullopt},
      {L"-1", std::nullopt},
      {L"1.5", std::nullopt},
      {L"12a", std::nullopt},
      {L"1 2", std::nullopt},
      {L"9999999", std::nullopt},
  };
  for (const auto& [text, value] : cases) EXPECT_EQ(ParseNumberText(text), value) << FakeSystem::Narrow(text);
}

struct NextDayCase {
  const char* name;
  LocalTime now;
  bool ranToday;
  std::string settings;  // the lines of the section
  std::wstring text;
};

// From today, or from tomorrow once the list ran today.
TEST(SettingsPageTest, TheNextOpeningDayAsTheBoxesStand) {
  const NextDayCase cases[] = {
      {"today", {2026, 4, 7, 9, 0, 0}, false, "", T(IDS_SETTINGS_NEXT_DAY) + L"2026-04-07 (火)"},
      {"ran today", {2026, 4, 7, 9, 0, 0}, true, "", T(IDS_SETTINGS_NEXT_DAY) + L"2026-04-08 (水)"},
      {"past the weekend",
       {2026, 12, 5, 9, 0, 0},
       false,
       "Days=1111100",
       T(IDS_SETTINGS_NEXT_DAY) + L"2026-12-07 (月)"},
      {"past the year end",
       {2026, 12, 28, 9, 0, 0},
       true,
       "Days=1111100\nSkipHolidays=1\nSkipYearEnd=1",
       T(IDS_SETTINGS_NEXT_DAY) + L"2027-01-04 (月)"},
      {"no day", {2026, 4, 7, 9, 0, 0}, false, "Days=0000000", T(IDS_SETTINGS_NO_NEXT_DAY)},
  };
  for (const NextDayCase& c : cases) {
    Harness h;
    h.system.now = c.now;
    if (c.ranToday) h.system.files[kStamp] = FakeSystem::Narrow(DateText(c.now)) + "\r\n";
    h.system.files[kSettings] = "[Ombrel]\n" + c.settings;
    SettingsPage page(h.view, h.system, h.policy, kFolder);
    EXPECT_EQ(page.NextOpeningText(page.Loaded()), c.text) << c.name;
  }
}

// The window's texts with their places for numbers, as the string table has
// them.
class TemplateView : public FakeView {
 public:
  std::wstring LoadText(int id) override {
    if (id == IDS_SETTINGS_SECONDS) return L"秒 (%1～%2)";
    if (id == IDS_SETTINGS_OUT_OF_RANGE) return L"%1 から %2 まで";
    return FakeView::LoadText(id);
  }
};

struct AcceptCase {
  const char* name;
  std::array<std::wstring, 3> texts;  // pause, gap, network wait
  std::optional<Setting> wrongBox;
  std::wstring message;             // none when empty
  std::optional<std::string> file;  // nothing: no file written
};

TEST(SettingsPageTest, OkSavesWhenEveryNumberLiesInItsRangeAndSaysWhichDoesNot) {
  const std::string saved =
      "[Ombrel]\r\nDays=1111100\r\nSkipHolidays=1\r\nSkipYearEnd=0\r\nPauseSeconds=10\r\nGapSeconds=2\r\n"
      "NetworkWaitSeconds=300\r\n";
  const AcceptCase cases[] = {
      {"in range", {L"10", L"2", L"300"}, std::nullopt, L"", saved},
      {"full width and blanks", {L"\uFF11\uFF10", L" 2 ", L"300"}, std::nullopt, L"", saved},
      {"gap beyond its range", {L"10", L"61", L"300"}, Setting::kGapSeconds, L"0 から 60 まで", std::nullopt},
      {"empty pause", {L"", L"2", L"300"}, Setting::kPauseSeconds, L"0 から 300 まで", std::nullopt},
      {"first wrong box", {L"x", L"2", L"301"}, Setting::kPauseSeconds, L"0 から 300 まで", std::nullopt},
  };
  for (const AcceptCase& c : cases) {
    SCOPED_TRACE(c.name);
    TemplateView view;
    FakeSystem system;
    testing::FakePolicy policy;
    SettingsPage page(view, system, policy, kFolder);
    Settings choices = page.Loaded();
    ASSERT_TRUE(choices.Set(Setting::kDays, 0b0011111));
    ASSERT_TRUE(choices.Set(Setting::kSkipHolidays, 1));
    const SettingsAccepted accepted = page.Accept(choices, c.texts, {});
    EXPECT_EQ(accepted.close, c.file.has_value());
    EXPECT_EQ(accepted.wrongBox, c.wrongBox);
    if (c.message.empty()) {
      EXPECT_TRUE(view.messages.empty());
    } else {
      EXPECT_EQ(view.messages, (std::vector<FakeView::Message>{{MessageKind::kWarning, c.message}}));
    }
    if (c.file) {
      EXPECT_EQ(system.files[kSettings], *c.file);
    } else {
      EXPECT_EQ(system.files.count(kSettings), 0U);
    }
  }
  TemplateView view;
  FakeSystem system;
  testing::FakePolicy policy;
  SettingsPage page(view, system, policy, kFolder);
  EXPECT_EQ(page.SecondsText(Setting::kGapSeconds), L"秒 (0～60)");
  EXPECT_EQ(page.SecondsText(Setting::kNetworkWaitSeconds), L"秒 (0～300)");
}

// A save that fails warns with the file's path and keeps the dialog; a file
// that cannot be read is said before any dialog shows what it does not hold.
TEST(SettingsPageTest, AFileThatCannotBeWrittenOrReadIsSaid) {
  Harness h;
  h.system.unwritable = {kSettings};
  h.view.settingsDialog = [](SettingsPage& page) {
    const SettingsAccepted accepted = page.Accept(page.Loaded(), {L"0", L"0", L"0"}, {});
    EXPECT_FALSE(accepted.close);
    EXPECT_FALSE(accepted.wrongBox.has_value());
  };
  h.editor.ShowSettings();
  EXPECT_EQ(h.view.settingsShown, 1);
  EXPECT_EQ(h.view.messages,
            (std::vector<FakeView::Message>{{MessageKind::kWarning, kSettings + T(IDS_SAVE_FAILED)}}));

  h.view.messages.clear();
  h.system.files[kSettings] = "[Ombrel]\r\nGapSeconds=5\r\n";
  h.system.unreadable = {kSettings};
  h.editor.ShowSettings();
  EXPECT_EQ(h.view.settingsShown, 1);
  EXPECT_EQ(h.view.messages,
            (std::vector<FakeView::Message>{{MessageKind::kWarning, kSettings + T(IDS_LIST_UNREADABLE)}}));
}

// --- Run record ------------------------------------------------------------

// A line of the record at 2026-04-07 `time`, by process `process`.
std::string RecordLine(const std::string& time, int process, const std::string& rest) {
  return "2026-04-07 " + time + "\t" + std::to_string(process) + "\t" + rest + "\r\n";
}

// Ombrel's run at 09:00 whose second entry could not be opened.
const std::string kLauncherFailure =
    RecordLine("09:00:00", 10, "run\tOmbrel\tstart") + RecordLine("09:00:01", 10, "shell\tC:\\a.txt") +
    RecordLine("09:00:02", 10, "failed\t2\tgone\tC:\\b.txt") + RecordLine("09:00:02", 10, "end\tdone\t");

TEST(RecordRowsTest, NewestRunFirstWithItsEntriesAndFailuresMarked) {
  const std::string record =
      RecordLine("09:00:00", 10, "run\tOmbrel\tstart") +
      RecordLine("09:00:01", 10, "program\tC:\\a.exe\ta.exe") +
      RecordLine("09:00:02", 10, "failed\t2\tgone\tC:\\b.txt") +
      RecordLine("09:00:02", 10, "skipped\tblank\t") +
      RecordLine("09:00:02", 10, "end\tstamp-not-written\t") +
      RecordLine("09:10:00", 11, "run\tOmbrelSet\trun-now") + RecordLine("09:10:01", 11, "shell\tC:\\d.txt") +
      RecordLine("09:10:02", 11, "mailto\tt@example.jp") + RecordLine("09:10:02", 11, "end\tdone\t") +
      RecordLine("09:20:00", 12, "run\tOmbrel\tstart") + RecordLine("09:20:00", 12, "end\tlock-held\t") +
      RecordLine("09:30:00", 13, "run\tOmbrel\tstart") + RecordLine("09:30:01", 13, "shell\tx");
  FakeView view;
  const std::vector<RecordRow> expected = {
      {L"2026-04-07 09:30:00", T(IDS_RECORD_CUT_SHORT), T(IDS_RECORD_LAUNCHER), L"", false},
      {L"09:30:01", T(IDS_RECORD_SHELL), L"x", L"", false},
      {L"2026-04-07 09:20:00", T(IDS_RECORD_LOCK_HELD), T(IDS_RECORD_LAUNCHER), L"", true},
      {L"2026-04-07 09:10:00", T(IDS_RECORD_DONE), T(IDS_COMMAND8), L"", false},
      {L"09:10:01", T(IDS_RECORD_SHELL), L"C:\\d.txt", L"", false},
      {L"09:10:02", T(IDS_RECORD_MAIL_LINK), L"t@example.jp", L"Mailto:t@example.jp", false},
      {L"2026-04-07 09:00:00", T(IDS_RECORD_FAILURES_1) + L"1" + T(IDS_RECORD_FAILURES_2),
       T(IDS_RECORD_LAUNCHER), T(IDS_RECORD_STAMP_NOT_WRITTEN), true},
      {L"09:00:01", T(IDS_RECORD_PROGRAM), L"a.exe", L"C:\\a.exe", false},
      {L"09:00:02", T(IDS_RECORD_FAILED), L"C:\\b.txt", L"gone (2)", true},
      {L"09:00:02", T(IDS_RECORD_SKIPPED), L"", T(IDS_RECORD_BLANK), false},
  };
  const std::vector<RecordRow> rows = RecordRows(view, ParseRunRecord(record));
  ASSERT_EQ(rows.size(), expected.size());
  for (std::size_t i = 0; i < rows.size(); ++i) EXPECT_EQ(rows[i], expected[i]) << "row " << i;
}

// A day the settings kept closed is no failure; its result names each reason.
TEST(RecordRowsTest, AClosedDaySaysWhyInItsResult) {
  const std::string kNewYear = "holiday:\xE5\x85\x83\xE6\x97\xA5";  // 元日, in UTF-8
  const std::pair<std::string, std::wstring> cases[] = {
      {"weekday", L"火" + T(IDS_RECORD_WEEKDAY)},
      {kNewYear, L"元日"},
      {"year-end", T(IDS_RECORD_YEAR_END)},
      {"closed-date", T(IDS_RECORD_CLOSED_DATE)},
      {"weekday " + kNewYear + " year-end", L"火" + T(IDS_RECORD_WEEKDAY) + T(IDS_RECORD_REASON_SEPARATOR) +
                                                L"元日" + T(IDS_RECORD_REASON_SEPARATOR) +
                                                T(IDS_RECORD_YEAR_END)},
      {"a-later-word weekday", L"火" + T(IDS_RECORD_WEEKDAY)},
  };
  FakeView view;
  for (const auto& [reasons, text] : cases) {
    const std::string record = RecordLine("09:00:00", 10, "run\tOmbrel\tstart") +
                               RecordLine("09:00:00", 10, "end\tday-closed\t" + reasons);
    const std::vector<RecordRow> rows = RecordRows(view, ParseRunRecord(record));
    EXPECT_EQ(rows, (std::vector<RecordRow>{{L"2026-04-07 09:00:00", T(IDS_RECORD_DAY_CLOSED) + text,
                                             T(IDS_RECORD_LAUNCHER), L"", false}}))
        << reasons;
  }
}

struct UnseenCase {
  const char* name;
  std::optional<std::string> record;  // nothing: no record
  bool unwritable;
  std::size_t windows;  // of two starts
};

// Only Ombrel's newest run, with a failure, shown once; the mark makes a
// later start show nothing. A record that cannot be written cannot
// remember: shown at each start rather than never.
TEST(UnseenFailureTest, TheLaunchersNewestFailureIsShownOnceWithItsRunSelected) {
  const UnseenCase cases[] = {
      {"launcher_failure", kLauncherFailure, false, 1},
      {"after_a_cut_off_line", kLauncherFailure + "2026-04-07 09:01", false, 1},
      {"unwritable_record", kLauncherFailure, true, 2},
      {"no_record", std::nullopt, false, 0},
      {"launcher_without_failure", RecordLine("09:00:00", 10, "run\tOmbrel\tstart"), false, 0},
      {"run_now_failure",
       kLauncherFailure + RecordLine("09:10:00", 11, "run\tOmbrelSet\trun-now") +
           RecordLine("09:10:01", 11, "failed\t2\tgone\tC:\\b.txt"),
       false, 0},
      {"older_failure", kLauncherFailure + RecordLine("09:10:00", 11, "run\tOmbrel\tstart"), false, 0},
      {"shown_already", kLauncherFailure + RecordLine("09:05:00", 20, "shown\t2026-04-07 09:00:00\t10"),
       false, 0},
  };
  for (const UnseenCase& c : cases) {
    SCOPED_TRACE(c.name);
    Harness h;
    if (c.record) h.system.files[kRecord] = *c.record;
    if (c.unwritable) h.system.unwritable.insert(kRecord);
    h.editor.ShowUnseenLauncherFailure();
    h.editor.ShowUnseenLauncherFailure();
    ASSERT_EQ(h.view.recordWindows.size(), c.windows);
    EXPECT_TRUE(h.view.messages.empty());
    for (const FakeView::RecordWindow& window : h.view.recordWindows) {
      EXPECT_EQ(window.selected, 0);
      EXPECT_TRUE(window.rows.at(0).failed);
    }
  }
}

TEST(RecordWindowTest, AnUnreadableRecordShowsOneRowSayingSo) {
  Harness h;
  h.system.files[kRecord] = kLauncherFailure;
  h.system.unreadable.insert(kRecord);
  h.editor.ShowRunRecord();
  h.editor.ShowUnseenLauncherFailure();
  ASSERT_EQ(h.view.recordWindows.size(), 1U);
  EXPECT_EQ(h.view.recordWindows[0].rows,
            (std::vector<RecordRow>{{L"", L"", kRecord + T(IDS_LIST_UNREADABLE), L"", true}}));
  EXPECT_EQ(h.view.recordWindows[0].selected, -1);
  EXPECT_TRUE(h.view.messages.empty());
}

TEST(RecordWindowTest, ClearingAsksFirstAndEmptiesTheRecordOnYesOnly) {
  Harness h;
  h.view.clearsInRecordWindow = 1;
  for (const Answer answer : {Answer::kNo, Answer::kYes}) {
    h.system.files[kRecord] = kLauncherFailure;
    h.view.answers = {answer};
    h.view.recordWindows.clear();
    h.editor.ShowRunRecord();
    EXPECT_EQ(h.view.messages.back(),
              (FakeView::Message{MessageKind::kReplaceQuestion, T(IDS_RECORD_CLEAR_QUESTION)}));
    EXPECT_EQ(h.view.recordWindows.at(0).selected, 0);
    EXPECT_EQ(h.view.recordWindows.size(), answer == Answer::kYes ? 2U : 1U);
    EXPECT_EQ(h.system.files[kRecord], answer == Answer::kYes ? std::string(kUtf8Mark) : kLauncherFailure);
  }
  EXPECT_TRUE(h.view.recordWindows.at(1).rows.empty());
  EXPECT_EQ(h.view.recordWindows.at(1).selected, -1);

  // A record that cannot be written: a warning, and the rows stay.
  h.system.unwritable.insert(kRecord);
  h.view.answers = {Answer::kYes};
  h.view.recordWindows.clear();
  h.editor.ShowRunRecord();
  EXPECT_EQ(h.view.messages.back(),
            (FakeView::Message{MessageKind::kWarning, kRecord + T(IDS_STAMP_FAILED)}));
  EXPECT_EQ(h.view.recordWindows.size(), 1U);
}

// --- Help and About --------------------------------------------------------

TEST_F(EditorTest, HelpMissingNamesThePathAndCallsNoShell) {
  Load(std::nullopt);
  editor_.ShowHelp();
  ASSERT_EQ(view_.messages.size(), 1U);
  EXPECT_EQ(view_.messages[0].kind, MessageKind::kWarning);
  EXPECT_EQ(view_.messages[0].text, kHelp + T(IDS_HELP_MISSING));
  EXPECT_TRUE(open_.calls.empty());
}

TEST_F(EditorTest, HelpPresentOpensOnceWithoutMessage) {
  system_.files[kHelp] = "<!DOCTYPE html>";
  editor_.ShowHelp();
  EXPECT_EQ(open_.calls, (std::vector<FakeOpenPort::Call>{{"shell", kHelp, L"c:\\", 0x77, L""}}));
  EXPECT_TRUE(view_.messages.empty());
}

TEST_F(EditorTest, HelpWithNoBrowserTriesTwiceThenWarnsOnce) {
  system_.files[kHelp] = "<!DOCTYPE html>";
  open_.shellFails = {kHelp, kHelp + L".HTM"};
  editor_.ShowHelp();
  ASSERT_EQ(open_.calls.size(), 2U);
  EXPECT_EQ(open_.calls[1].text, kHelp + L".HTM");
  ASSERT_EQ(view_.messages.size(), 1U);
  EXPECT_EQ(view_.messages[0].text,
            T(IDS_NO_BROWSER_1) + L"\r" + T(IDS_NO_BROWSER_2) + L"\r" + T(IDS_NO_BROWSER_3));
}

TEST_F(EditorTest, HelpPathWithoutAnyDotGetsHtmOnBothAttempts) {
  open_.shellFails.insert(L"C:\\Tools\\help.HTM");
  editor_.OpenHelpPage(1, L"C:\\Tools\\help");
  ASSERT_EQ(open_.calls.size(), 2U);
  EXPECT_EQ(open_.calls[0].text, L"C:\\Tools\\help.HTM");
  EXPECT_EQ(open_.calls[1].text, L"C:\\Tools\\help.HTM");
  EXPECT_EQ(view_.messages.size(), 1U);
}

// The installer's shortcut counts as on: choosing the item removes every one.
TEST_F(EditorTest, LogOnStartTogglesAndWarnsWhenItCannot) {
  system_.files[kLauncher] = "MZ";
  editor_.ToggleLogOnStart();
  EXPECT_TRUE(editor_.LogOnStartIsOn());
  logOn_.shortcuts = {StartupApproval::kOn, StartupApproval::kOn};  // one made by the installer too
  editor_.ToggleLogOnStart();
  EXPECT_FALSE(editor_.LogOnStartIsOn());
  EXPECT_TRUE(view_.messages.empty());

  logOn_.unwritable = true;
  editor_.ToggleLogOnStart();
  EXPECT_FALSE(editor_.LogOnStartIsOn());
  ASSERT_EQ(view_.messages.size(), 1U);
  EXPECT_EQ(view_.messages[0].kind, MessageKind::kWarning);
  EXPECT_EQ(view_.messages[0].text, L"S:\\Startup\\Ombrel.lnk" + T(IDS_SHORTCUT_NOT_MADE));
  logOn_.shortcuts = {StartupApproval::kOn};
  editor_.ToggleLogOnStart();
  EXPECT_EQ(logOn_.shortcuts.size(), 1U);
  EXPECT_EQ(view_.messages.back().text, L"S:\\Startup\\Ombrel.lnk" + T(IDS_SHORTCUT_NOT_REMOVED));
  logOn_.shortcuts = {StartupApproval::kOff};
  editor_.ToggleLogOnStart();
  EXPECT_EQ(logOn_.shortcuts, std::vector<StartupApproval>{StartupApproval::kOff});
  EXPECT_EQ(view_.messages.back().text, L"S:\\Startup\\Ombrel.lnk" + T(IDS_SHORTCUT_NOT_SWITCHED_ON));
  EXPECT_EQ(editor_.modified(), false);

  // No launcher beside the editor: a shortcut would start nothing.
  Harness h;
  h.editor.ToggleLogOnStart();
  EXPECT_TRUE(h.logOn.shortcuts.empty());
  ASSERT_EQ(h.view.messages.size(), 1U);
  EXPECT_EQ(h.view.messages[0].text, kLauncher + T(IDS_LAUNCHER_MISSING));
}

struct WarningStep {
  const char* name;
  std::function<void(Harness&)> step;
  std::optional<bool> warning;  // the line under the list afterwards
};

// The line under the list follows what was last heard of both ways: the
// first asking, then the menu's and the toggles' own answers, never asking
// again for itself. The first asking's answer stands only while none is
// newer.
TEST(StartWarningTest, TheLineUnderTheListFollowsTheNewestWordOnBothWays) {
  const StartHealth nothing{LogOnState::kNone, ResumeState::kNone};
  const WarningStep steps[] = {
      {"before_any_answer", [](Harness&) {}, std::nullopt},
      {"first_asking_finds_nothing", [&](Harness& h) { h.editor.ShowStartHealth(nothing); }, true},
      {"log_on_turned_on", [](Harness& h) { h.editor.ToggleLogOnStart(); }, false},
      {"a_late_first_answer_is_older", [&](Harness& h) { h.editor.ShowStartHealth(nothing); }, false},
      {"log_on_turned_off", [](Harness& h) { h.editor.ToggleLogOnStart(); }, true},
      {"resume_registered", [](Harness& h) { h.editor.ToggleResumeStart(); }, false},
      {"switched_off_elsewhere_seen_by_the_menu",
       [](Harness& h) {
         h.resume.task.enabled = false;
         static_cast<void>(h.editor.LogOnStartIsOn());
         static_cast<void>(h.editor.ResumeStartIsOn());
       },
       true},
  };
  Harness h;
  h.system.files[kLauncher] = "MZ";
  h.resume.task = {true, false, false, false, L""};
  for (const WarningStep& s : steps) {
    SCOPED_TRACE(s.name);
    s.step(h);
    EXPECT_EQ(h.view.startWarning, s.warning);
  }
}

// Above the runs: how both ways stand and, when a day the list should have
// opened passed without a run, since when; asked there when the first
// asking has not answered yet.
TEST(RecordWindowTest, ItsStatusLineSaysHowBothWaysStandAndSinceWhenOmbrelIsQuiet) {
  Harness h;
  h.system.now = {2026, 4, 9, 9, 0, 0};
  h.system.files[kRecord] = kLauncherFailure;  // 2026-04-07
  h.logOn.shortcuts = {StartupApproval::kOff};
  h.resume.task = {true, true, true, false, kOtherLauncher};
  h.editor.ShowRunRecord();
  const std::wstring status = T(IDS_HEALTH_LOGON) + T(IDS_HEALTH_SWITCHED_OFF) + T(IDS_HEALTH_SEPARATOR) +
                              T(IDS_HEALTH_RESUME) + T(IDS_HEALTH_OTHER_FOLDER);
  h.system.files[kSettings] = "[Ombrel]\r\nDays=1101111\r\n";  // 2026-04-08, a Wednesday, closed
  h.editor.ShowUnseenLauncherFailure();
  EXPECT_EQ(h.view.recordStatuses, (std::vector<std::wstring>{status + T(IDS_HEALTH_QUIET), status}));

  // /record: the same window; the failure it shows counts as shown.
  Harness asked;
  asked.system.files[kRecord] = kLauncherFailure;
  asked.editor.ShowRunRecordAsked();
  asked.editor.ShowUnseenLauncherFailure();
  EXPECT_EQ(asked.view.recordWindows.size(), 1U);
}

// Windows' own Startup switch decides: a shortcut switched off there starts
// nothing, and choosing the item switches it on again instead of removing it.
TEST(LogOnSwitchTest, CheckMarkAndChoiceFollowWindowsSwitch) {
  constexpr StartupApproval kOn = StartupApproval::kOn;
  constexpr StartupApproval kOff = StartupApproval::kOff;
  struct Case {
    const char* what;
    std::vector<StartupApproval> before;
    bool checked;
    std::vector<StartupApproval> after;
  };
  const Case cases[] = {
      {"no shortcut: one is made", {}, false, {kOn}},
      {"switched on: removed", {kOn}, true, {}},
      {"switched off: kept and switched on", {kOff}, false, {kOn}},
      {"two switched off: both on", {kOff, kOff}, false, {kOn, kOn}},
      {"one of two on: both removed", {kOff, kOn}, true, {}},
  };
  for (const Case& c : cases) {
    Harness h;
    h.system.files[kLauncher] = "MZ";
    h.logOn.shortcuts = c.before;
    EXPECT_EQ(h.editor.LogOnStartIsOn(), c.checked) << c.what;
    h.editor.ToggleLogOnStart();
    EXPECT_EQ(h.logOn.shortcuts, c.after) << c.what;
    EXPECT_TRUE(h.view.messages.empty()) << c.what;
  }
}

const ResumeTaskState kNoTask{true, false, false, false, L""};
const ResumeTaskState kOurTask{true, true, true, true, kLauncher};
const ResumeTaskState kOurTaskDisabled{true, true, false, true, kLauncher};
const ResumeTaskState kOtherCopysTask{true, true, true, false, kOtherLauncher};
const ResumeTaskState kSchedulerUnreachable{};

// The check mark and what choosing the item does, for each thing the Task
// Scheduler may hold under the task's name.
TEST(ResumeStartTest, CheckMarkQuestionAndWarnings) {
  using Message = FakeView::Message;
  const std::wstring name = L"Ombrel-S-1-5-21-7";
  const std::wstring refusal = L"\rアクセスが拒否されました。 (0x80070005)";
  const Message question{
      MessageKind::kReplaceQuestion,
      name + T(IDS_TASK_OTHER_COPY_1) + L"\r" + kOtherLauncher + L"\r\r" + T(IDS_TASK_OTHER_COPY_2)};
  struct Case {
    const char* what;
    ResumeTaskState task;
    bool launcherBeside;
    std::deque<Answer> answers;
    bool refuses;
    bool checked;
    std::vector<std::string> changes;
    std::vector<Message> messages;
  };
  const Case cases[] = {
      {"none: registered", kNoTask, true, {}, false, false, {"register"}, {}},
      {"ours: removed", kOurTask, true, {}, false, true, {"remove"}, {}},
      {"ours but disabled: registered again", kOurTaskDisabled, true, {}, false, false, {"register"}, {}},
      {"another copy's, No: kept", kOtherCopysTask, true, {Answer::kNo}, false, false, {}, {question}},
      {"another copy's, Yes: replaced",
       kOtherCopysTask,
       true,
       {Answer::kYes},
       false,
       false,
       {"register"},
       {question}},
      {"registration refused",
       kNoTask,
       true,
       {},
       true,
       false,
       {"register"},
       {{MessageKind::kWarning, name + T(IDS_TASK_NOT_REGISTERED) + refusal}}},
      {"removal refused",
       kOurTask,
       true,
       {},
       true,
       true,
       {"remove"},
       {{MessageKind::kWarning, name + T(IDS_TASK_NOT_REMOVED) + refusal}}},
      {"scheduler unreachable: the registration says why",
       kSchedulerUnreachable,
       true,
       {},
       true,
       false,
       {"register"},
       {{MessageKind::kWarning, name + T(IDS_TASK_NOT_REGISTERED) + refusal}}},
      {"no Ombrel.exe beside the editor",
       kNoTask,
       false,
       {},
       false,
       false,
       {},
       {{MessageKind::kWarning, kLauncher + T(IDS_LAUNCHER_MISSING)}}},
  };
  for (const Case& c : cases) {
    Harness h;
    if (c.launcherBeside) h.system.files[kLauncher] = "MZ";
    h.resume.task = c.task;
    h.resume.refuses = c.refuses;
    h.view.answers = c.answers;
    EXPECT_EQ(h.editor.ResumeStartIsOn(), c.checked) << c.what;
    h.editor.ToggleResumeStart();
    EXPECT_EQ(h.resume.changes, c.changes) << c.what;
    EXPECT_EQ(h.view.messages, c.messages) << c.what;
    EXPECT_EQ(h.editor.modified(), false) << c.what;
  }
  Harness h;
  h.system.files[kLauncher] = "MZ";
  h.resume.dropsWake = true;
  h.editor.ToggleResumeStart();
  EXPECT_EQ(h.view.messages,
            (std::vector<Message>{{MessageKind::kWarning,
                                   name + T(IDS_TASK_WITHOUT_WAKE_1) + L"\r" + T(IDS_TASK_WITHOUT_WAKE_2)}}));
}

// OmbrelSet.exe /resume-task on|off, as the installer and uninstaller call it.
TEST(ResumeTaskSwitchTest, StatusAndChangeForEachCommandLine) {
  struct Case {
    const char* what;
    std::vector<std::wstring> arguments;
    ResumeTaskState task;
    bool refuses;
    std::optional<int> status;  // nothing: the window opens
    std::vector<std::string> changes;
  };
  const std::wstring sw = L"/resume-task";
  const Case cases[] = {
      {"no arguments", {}, kNoTask, false, std::nullopt, {}},
      {"another argument", {L"C:\\a.txt"}, kNoTask, false, std::nullopt, {}},
      {"on", {sw, L"on"}, kNoTask, false, kSwitchDone, {"register"}},
      {"on over another copy's, unasked", {sw, L"on"}, kOtherCopysTask, false, kSwitchDone, {"register"}},
      {"on refused", {sw, L"on"}, kNoTask, true, kSwitchRefused, {"register"}},
      {"off, ours", {sw, L"off"}, kOurTask, false, kSwitchDone, {"remove"}},
      {"off, ours disabled", {sw, L"off"}, kOurTaskDisabled, false, kSwitchDone, {"remove"}},
      {"off leaves another copy's, and says so",
       {sw, L"off"},
       kOtherCopysTask,
       false,
       kSwitchOtherCopyLeft,
       {}},
      {"off with none", {sw, L"off"}, kNoTask, false, kSwitchDone, {}},
      {"off, scheduler unreachable", {sw, L"off"}, kSchedulerUnreachable, false, kSwitchRefused, {}},
      {"off refused", {sw, L"off"}, kOurTask, true, kSwitchRefused, {"remove"}},
      {"no value", {sw}, kOurTask, false, kSwitchMistyped, {}},
      {"another value", {sw, L"1"}, kOurTask, false, kSwitchMistyped, {}},
      {"value in capitals", {sw, L"OFF"}, kOurTask, false, kSwitchMistyped, {}},
      {"two values", {sw, L"off", L"on"}, kOurTask, false, kSwitchMistyped, {}},
  };
  for (const Case& c : cases) {
    FakeResumeStart task;
    task.task = c.task;
    task.refuses = c.refuses;
    EXPECT_EQ(RunResumeTaskSwitch(c.arguments, task), c.status) << c.what;
    EXPECT_EQ(task.changes, c.changes) << c.what;
  }
  FakeResumeStart withoutWake;
  withoutWake.dropsWake = true;
  EXPECT_EQ(RunResumeTaskSwitch({sw, L"on"}, withoutWake), kSwitchWithoutWake);
  FakeResumeStart keeping;
  keeping.task = kOurTask;
  keeping.keepsTask = true;
  EXPECT_EQ(RunResumeTaskSwitch({sw, L"off"}, keeping), kSwitchRefused);
}

TEST_F(EditorTest, AboutShowsNameVersionAndNoticeAndChangesNothing) {
  Load("a\r\n");
  editor_.ShowAbout();
  ASSERT_EQ(view_.messages.size(), 1U);
  EXPECT_EQ(view_.messages[0].kind, MessageKind::kInformation);
  EXPECT_EQ(view_.messages[0].text, T(IDS_ABOUT_NAME) + L" Ver 1.1.0\r\r" + T(IDS_ABOUT_NOTICE));
  EXPECT_EQ(editor_.modified(), false);
  EXPECT_EQ(view_.ended, 0);
}

// --- An entry's own days ----------------------------------------------------

// The days dialog answering OK with `choices`.
std::function<void(EntryDaysPage&)> Answers(DaysChoices choices) {
  return [choices](EntryDaysPage& page) { EXPECT_TRUE(page.Accept(choices, {L"25", L"1", L"1"}).close); };
}

struct DaysEditCase {
  const char* name;
  std::function<void(Harness&)> edit;
  std::string section;  // [EntryDays] as saved; empty: the file left as it was
};

TEST(EntryDaysEditTest, EachEditKeepsOrDropsItsLineAndTheSaveWritesOnlyThose) {
  const std::string before = "; handed out\r\n[EntryDays]\r\na=mon\r\ngone=d1\r\nb =  W1\r\nbad=x\r\n";
  const std::string after = "\r\n[Other]\r\nk=v\r\n";
  const DaysEditCase cases[] = {
      {"untouched", [](Harness&) {}, ""},
      {"置換 keeps the days under the new text",
       [](Harness& h) {
         h.editor.SelectEntry(0);
         h.view.text = L"a2";
         h.editor.ReplaceSelectedEntry();
       },
       "gone=d1\r\nb =  W1\r\nbad=x\r\na2=mon\r\n"},
      {"削除, then 挿入 of the same text: no days",
       [](Harness& h) {
         h.editor.SelectEntry(1);
         h.editor.DeleteEntry();
         h.editor.InsertEntry();
       },
       "a=mon\r\ngone=d1\r\nbad=x\r\n"},
      {"the dialog's days over the file's, the line's own bytes kept",
       [](Harness& h) {
         h.editor.SelectEntry(1);
         h.view.daysDialog = Answers({.way = DaysWay::kMonthDay, .before = true});
         h.editor.EditSelectedEntryDays();
       },
       "a=mon\r\ngone=d1\r\nb =  d25-\r\nbad=x\r\n"},
      {"毎日 drops the line",
       [](Harness& h) {
         h.view.daysDialog = Answers({});
         h.editor.EditSelectedEntryDays();
       },
       "gone=d1\r\nb =  W1\r\nbad=x\r\n"},
      {"a new line after the section's last",
       [](Harness& h) {
         h.editor.SelectEntry(3);
         h.view.daysDialog =
             Answers({.way = DaysWay::kWeekdays, .weekdays = 0b10000, .someMonths = true, .months = 0b100});
         h.editor.EditSelectedEntryDays();
       },
       "a=mon\r\ngone=d1\r\nb =  W1\r\nbad=x\r\nc=fri m3\r\n"},
  };
  for (const DaysEditCase& c : cases) {
    SCOPED_TRACE(c.name);
    Harness h;
    h.system.files[kList] = "a\r\nb\r\nbad\r\nc\r\n";
    h.system.files[kSettings] = before + after;
    ASSERT_TRUE(h.editor.LoadList());
    c.edit(h);
    EXPECT_TRUE(h.editor.SaveList());
    EXPECT_FALSE(h.editor.modified());
    const std::string expected =
        c.section.empty() ? before + after : "; handed out\r\n[EntryDays]\r\n" + c.section + after;
    EXPECT_EQ(h.system.files[kSettings], expected);
    EXPECT_EQ(std::ranges::count(h.system.log, "replace " + FakeSystem::Narrow(kSettings)),
              c.section.empty() ? 0 : 1);
  }

  // A line the save cannot write warns, and the days wait for the next save.
  Harness h({L"a", L";note"}, 0);
  h.system.unwritable.insert(kSettings);
  h.system.files[kSettings] = "";
  h.view.daysDialog = Answers({.way = DaysWay::kWeekStart});
  h.editor.EditSelectedEntryDays();
  EXPECT_FALSE(h.editor.SaveList());
  EXPECT_EQ(h.view.messages.back().text, kSettings + T(IDS_SAVE_FAILED));
  EXPECT_TRUE(h.editor.modified());
  h.system.unwritable.clear();
  EXPECT_TRUE(h.editor.SaveList());
  EXPECT_EQ(h.system.files[kSettings], "[EntryDays]\r\na=week1\r\n");
  // A comment's text can have no line at all.
  h.editor.SelectEntry(1);
  EXPECT_FALSE(h.editor.SelectedEntryCanHaveDays());
}

// On Tuesday 2026-04-07 after a run on Friday: Monday's entry is caught up,
// Wednesday's left out, today's and one without days open; as the launcher.
TEST(EntryDaysEditTest, RunNowOpensWhatTheLauncherWouldAndRecordsTheRest) {
  Harness h;
  h.system.files[kList] = "monday\r\nwednesday\r\ntuesday\r\nplain\r\n";
  h.system.files[kSettings] = "[EntryDays]\r\nmonday=mon\r\nwednesday=wed\r\ntuesday=tue\r\n";
  h.system.files[kStamp] = "04-03-2026\r\n";
  ASSERT_TRUE(h.editor.LoadList());
  h.editor.RunNow();
  std::vector<std::wstring> opened;
  for (const FakeOpenPort::Call& call : h.open.calls) opened.push_back(call.text);
  EXPECT_EQ(opened, (std::vector<std::wstring>{L"monday", L"tuesday", L"plain"}));
  const std::vector<RecordedRun> runs = ParseRunRecord(h.system.files[kRecord]);
  ASSERT_EQ(runs.size(), 1U);
  ASSERT_EQ(runs[0].entries.size(), 4U);
  EXPECT_EQ(runs[0].entries[0].catchUpDay, L"2026-04-06");
  EXPECT_EQ(runs[0].entries[1].event, RecordEvent::kSkipped);
  EXPECT_EQ(runs[0].entries[1].detail, kSkippedNotToday);
  EXPECT_EQ(runs[0].entries[2].catchUpDay, L"");
}

// The texts of the string table the days' words are made of.
class DaysTextView : public FakeView {
 public:
  std::wstring LoadText(int id) override {
    const std::map<int, std::wstring> texts = {{IDS_DAYS_LABEL_WEEKDAYS, L"月|火|水|木|金|土|日"},
                                               {IDS_DAYS_LABEL_MONTH_DAY, L"%1日"},
                                               {IDS_DAYS_LABEL_LAST_DAY, L"末日"},
                                               {IDS_DAYS_LABEL_BEFORE, L"(前)"},
                                               {IDS_DAYS_LABEL_WORK_DAY, L"第%1営業日"},
                                               {IDS_DAYS_LABEL_LAST_WORK_DAY, L"最終営業日"},
                                               {IDS_DAYS_LABEL_FROM_END, L"最終から%1営業日目"},
                                               {IDS_DAYS_LABEL_WEEK_START, L"週初め"},
                                               {IDS_DAYS_LABEL_MONTHS, L"%1月"},
                                               {IDS_DAYS_LABEL_JOIN, L"・"},
                                               {IDS_DAYS_LABEL_SEPARATOR, L"、"},
                                               {IDS_DAYS_NEXT, L"次: "},
                                               {IDS_RECORD_CATCH_UP, L"（%1 の分）"},
                                               {IDS_DAYS_OUT_OF_RANGE, L"%1～%2"}};
    const auto text = texts.find(id);
    return text == texts.end() ? FakeView::LoadText(id) : text->second;
  }
};

TEST(EntryDaysPageTest, TheListsShortFormsOfTheDays) {
  const std::pair<std::string, std::wstring> cases[] = {
      {"mon wed fri", L"月・水・金"},
      {"d25-", L"25日(前)"},
      {"m3 m6 m9 m12 w-1", L"3・6・9・12月 最終営業日"},
      {"w-2 dlast sun", L"最終から2営業日目、末日、日"},
      {"week1 w3", L"週初め、第3営業日"},
      {"m12", L"12月"},
      {"d25+", T(IDS_DAYS_LABEL_BAD)},
  };
  DaysTextView view;
  for (const auto& [days, label] : cases) EXPECT_EQ(DaysLabel(view, days), label) << days;
}

TEST(RecordRowsTest, AnEntryNotTodayAndOneCaughtUpInWords) {
  const std::string record = RecordLine("09:00:00", 10, "run\tOmbrel\tstart") +
                             RecordLine("09:00:01", 10, "skipped\tnot-today\tw.xlsx") +
                             RecordLine("09:00:01", 10, "catch-up\t2026-03-31\tc.exe") +
                             RecordLine("09:00:01", 10, "program\tC:\\c.exe\tc.exe") +
                             RecordLine("09:00:02", 10, "end\tdone\t");
  DaysTextView view;
  const std::vector<RecordRow> rows = RecordRows(view, ParseRunRecord(record));
  ASSERT_EQ(rows.size(), 3U);
  EXPECT_EQ(rows[1],
            (RecordRow{L"09:00:01", T(IDS_RECORD_SKIPPED), L"w.xlsx", T(IDS_RECORD_NOT_TODAY), false}));
  EXPECT_EQ(rows[2], (RecordRow{L"09:00:01", T(IDS_RECORD_PROGRAM) + L"（3/31 の分）", L"c.exe", L"C:\\c.exe",
                                false}));
}

// A date list of either width is taken; one that is none is refused, its
// box named, and nothing saved.
TEST(SettingsPageTest, DateListsAreTypedInEitherWidthAndABadOneIsRefused) {
  FakeView view;
  FakeSystem system;
  testing::FakePolicy policy;
  SettingsPage page(view, system, policy, kFolder);
  SettingsAccepted accepted =
      page.Accept(Settings{}, {L"0", L"0", L"0"}, {L"２０２６－０８－１３、2026-08-14", L"x"});
  EXPECT_EQ(accepted.wrongBox, Setting::kOpenDates);
  EXPECT_EQ(view.messages.back().text, T(IDS_SETTINGS_BAD_DATES));
  EXPECT_EQ(system.files.count(kSettings), 0U);
  accepted = page.Accept(Settings{}, {L"0", L"0", L"0"}, {L"２０２６－０８－１３、2026-08-14", L""});
  EXPECT_TRUE(accepted.close);
  EXPECT_EQ(page.DatesText(Setting::kClosedDates), L"2026-08-13,2026-08-14");
}

// A setting a policy fixes shows the policy's value, and OK keeps its line
// in the file whatever its box holds; the others are saved as chosen.
TEST(SettingsPageTest, WhatAPolicyFixesShowsItsValueAndKeepsItsLine) {
  FakeView view;
  FakeSystem system;
  testing::FakePolicy policy;
  system.files[kSettings] = "[Ombrel]\r\nPauseSeconds=abc\r\nGapSeconds=5\r\n";
  policy.SetNumber(PolicyHive::kMachine, "PauseSeconds", 30);
  policy.SetText(PolicyHive::kUser, "ClosedDates", L"2026-08-13");
  SettingsPage page(view, system, policy, kFolder);
  EXPECT_EQ(page.Loaded()[Setting::kPauseSeconds], 30);
  EXPECT_EQ(page.DatesText(Setting::kClosedDates), L"2026-08-13");
  EXPECT_TRUE(page.FixedByPolicy(Setting::kPauseSeconds));
  EXPECT_TRUE(page.FixedByPolicy(Setting::kClosedDates));
  EXPECT_FALSE(page.FixedByPolicy(Setting::kGapSeconds));
  EXPECT_TRUE(page.AnyFixedByPolicy());
  const SettingsAccepted accepted = page.Accept(page.Loaded(), {L"x", L"7", L"0"}, {L"x", L""});
  EXPECT_TRUE(accepted.close);
  EXPECT_EQ(system.files[kSettings],
            "[Ombrel]\r\nPauseSeconds=abc\r\nGapSeconds=7\r\nDays=1111111\r\nSkipHolidays=0\r\n"
            "SkipYearEnd=0\r\nNetworkWaitSeconds=0\r\n");
  testing::FakePolicy none;
  EXPECT_FALSE(SettingsPage(view, system, none, kFolder).AnyFixedByPolicy());
}

struct DaysPageCase {
  const char* name;
  std::optional<std::string> days;  // the entry's, as the file has them
  DaysWay loaded;
  std::array<std::wstring, 3> numbers;  // the boxes' texts at OK
  std::optional<std::string> chosen;    // nothing: refused
  std::wstring said;                    // the message of a refusal
};

// What the dialog opens with for the file's days, what OK makes of the
// choices as loaded, and what it refuses. On 2026-04-07, every day open.
TEST(EntryDaysPageTest, DaysAsChoicesAndBackAndWhatOkRefuses) {
  const DaysPageCase cases[] = {
      {"none: every day", std::nullopt, DaysWay::kEveryDay, {L"1", L"1", L"1"}, "", L""},
      {"weekdays", "FRI  mon", DaysWay::kWeekdays, {L"1", L"1", L"1"}, "mon fri", L""},
      {"a month day before, typed full-width",
       "d25-",
       DaysWay::kMonthDay,
       {L"\uFF12\uFF18", L"1", L"1"},
       "d28-",
       L""},
      {"a work day in some months", "w3 m4", DaysWay::kWorkDay, {L"1", L"3", L"1"}, "w3 m4", L""},
      {"from the end", "w-2", DaysWay::kFromEnd, {L"1", L"1", L"2"}, "w-2", L""},
      {"months alone are every day of them", "m1 m12", DaysWay::kEveryDay, {L"1", L"1", L"1"}, "m1 m12", L""},
      {"two kinds kept as written", "mon d1", DaysWay::kAsWritten, {L"1", L"1", L"1"}, "mon d1", L""},
      {"a bad line kept as written", "x", DaysWay::kAsWritten, {L"1", L"1", L"1"}, "x", L""},
      {"a month day beyond 31", "d1", DaysWay::kMonthDay, {L"32", L"1", L"1"}, std::nullopt, L"1～31"},
      {"a work day beyond 23", "w1", DaysWay::kWorkDay, {L"1", L"24", L"1"}, std::nullopt, L"1～23"},
  };
  for (const DaysPageCase& c : cases) {
    SCOPED_TRACE(c.name);
    DaysTextView view;
    FakeSystem system;
    testing::FakePolicy policy;
    EntryDaysPage page(view, system, policy, kFolder, L"e", c.days ? &*c.days : nullptr);
    EXPECT_EQ(page.Loaded().way, c.loaded);
    const DaysAccepted accepted = page.Accept(page.Loaded(), c.numbers);
    EXPECT_EQ(accepted.close, c.chosen.has_value());
    EXPECT_EQ(page.Chosen(), c.chosen);
    EXPECT_EQ(view.messages.empty() ? L"" : view.messages.back().text, c.said);
  }
  // None ticked, weekday or month, is refused with its own words.
  DaysTextView view;
  FakeSystem system;
  testing::FakePolicy policy;
  EntryDaysPage page(view, system, policy, kFolder, L"e", nullptr);
  EXPECT_EQ(page.Accept({.way = DaysWay::kWeekdays}, {}).wrong, DaysAccepted::Wrong::kWeekdays);
  EXPECT_EQ(page.Accept({.someMonths = true}, {}).wrong, DaysAccepted::Wrong::kMonths);
  EXPECT_EQ(page.NextDaysText({.way = DaysWay::kMonthDay}, {L"10", L"1", L"1"}),
            L"次: 2026-04-10 (金)、2026-05-10 (日)、2026-06-10 (水)");
}

struct TeamPageCase {
  const char* name;
  std::string settings;  // the lines of the person's [Ombrel]
  bool teamUnreadable;
  std::wstring state;
  std::vector<TeamRow> rows;
};

// The window's lines through ファイル → チームの一覧: the folder and its
// state, each team entry with its days and whether it opens today (the
// fake's day is a Tuesday), by the person's calendar, never the team's; the
// main list stays the person's.
TEST(TeamPageTest, TheFolderItsStateAndEachTeamEntryWithItsDaysAndToday) {
  FakeView words;
  const std::wstring mondays = DaysLabel(words, "mon");
  const std::wstring folder = T(IDS_TEAM_FOLDER) + L"T:\\Team";
  const std::wstring every = T(IDS_TEAM_EVERY_DAY);
  const std::wstring yes = T(IDS_TEAM_OPENS_TODAY);
  const std::wstring no = T(IDS_TEAM_NOT_TODAY);
  const TeamPageCase cases[] = {
      {"no team folder", "", false, T(IDS_TEAM_NOT_SET), {}},
      {"read",
       "TeamFolder=T:\\Team\\\r\n",
       false,
       folder + T(IDS_TEAM_READ),
       {{L"C:\\a.exe", every, yes}, {L"C:\\w.xlsx", mondays, no}}},
      {"a day the person's list does not open",
       "TeamFolder=T:\\Team\r\nDays=1011111\r\n",
       false,
       folder + T(IDS_TEAM_READ),
       {{L"C:\\a.exe", every, no}, {L"C:\\w.xlsx", mondays, no}}},
      {"unreadable", "TeamFolder=T:\\Team\r\n", true, folder + T(IDS_TEAM_UNREADABLE) + L"text of 5 (5)", {}},
  };
  for (const TeamPageCase& c : cases) {
    SCOPED_TRACE(c.name);
    Harness h;
    h.system.files[kList] = "C:\\own.exe\r\n";
    h.system.files[kFolder + L"\\OMBREL.CFG"] = "[Ombrel]\r\n" + c.settings;
    h.system.files[L"T:\\Team\\OMBREL.DAT"] = "C:\\a.exe\r\nC:\\w.xlsx\r\n";
    h.system.files[L"T:\\Team\\OMBREL.CFG"] = "[Ombrel]\r\nDays=0000000\r\n[EntryDays]\r\nC:\\w.xlsx=mon\r\n";
    if (c.teamUnreadable) h.system.unreadable.insert(L"T:\\Team\\OMBREL.DAT");
    ASSERT_TRUE(h.editor.LoadList());
    h.editor.ShowTeamList();
    ASSERT_EQ(h.view.teamWindows.size(), 1U);
    EXPECT_EQ(h.view.teamWindows[0].state, c.state);
    EXPECT_EQ(h.view.teamWindows[0].rows, c.rows);
    EXPECT_EQ(h.editor.entries(), std::vector<std::wstring>{L"C:\\own.exe"});
  }
}

}  // namespace
}  // namespace ombrel::editor
