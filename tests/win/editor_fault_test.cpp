// OmbrelSet against the faults that would lose the user's list: a list it
// cannot read, a second editor, a list changed or made read-only behind its
// back, one left only in a save's temporary, and the end of the Windows
// session with unsaved changes.
#include <gtest/gtest.h>

#include <chrono>

#include "common/list/list_temporary.h"
#include "editor_fixture.h"

namespace ombrel {
namespace {

using namespace std::chrono_literals;
using testing::IsBox;
using testing::kThreeEntries;
using testing::kThreeItems;
using testing::RunningEditor;
using testing::StaysOpenQuietly;
using testing::gui::App;
using testing::gui::Icon;
using testing::gui::MessageBoxWindow;

TEST(EditorFaultTest, ListHeldByAnotherProgramIsSaidAndTheWindowNeverOpens) {
  // Held beyond the editor's wait: it says so and ends, so that nothing can
  // be saved over the list.
  RunningEditor held(kThreeEntries, 6s, 4s);
  EXPECT_FALSE(held.Started()) << "the window was shown";
  const MessageBoxWindow box = held.app().WaitForMessageBox();
  EXPECT_TRUE(IsBox(box, held.DatPath() + L"を読み込めませんでした。", Icon::kExclamation, {IDOK}));
  box.Answer(IDOK);
  EXPECT_EQ(held.app().WaitForExit(), 1U);
  // Once the other program lets go, the list is there as it was.
  EXPECT_TRUE(testing::WaitUntil([&] { return held.DatBytes() == kThreeEntries; }, 15s));

  // Held for a moment only: the editor waits and shows the list.
  const RunningEditor brief(kThreeEntries, 700ms);
  ASSERT_TRUE(brief.Started());
  EXPECT_EQ(brief.app().ListItems(IDC_LIST1), kThreeItems);
  EXPECT_FALSE(brief.app().CurrentMessageBox().Exists());
}

// Started from the Start menu while the installer's finish page has one open:
// the first editor comes to the front, the second ends, and the launcher of
// the folder is never held up by either.
TEST(EditorFaultTest, ASecondEditorOfTheFolderBringsTheFirstForwardAndEnds) {
  const RunningEditor first(kThreeEntries);
  ASSERT_TRUE(first.Started());
  const HWND window = first.app().Main().hwnd();
  first.app().Main().Post(WM_SYSCOMMAND, SC_MINIMIZE);
  ASSERT_TRUE(testing::WaitUntil([&] { return ::IsIconic(window) != FALSE; }));

  const std::wstring program = first.folder() / L"OmbrelSet.exe";
  const testing::Process second = testing::StartProcess(L"\"" + program + L"\"", 0, first.folder().path());
  ASSERT_TRUE(second);
  const std::optional<DWORD> status = second.WaitForExit(15s);
  if (!status) ::TerminateProcess(second.process.get(), 9);
  EXPECT_EQ(status, 0U);
  EXPECT_TRUE(testing::WaitUntil([&] { return !::IsIconic(window) && ::GetForegroundWindow() == window; }));
  EXPECT_EQ(first.app().ListItems(IDC_LIST1), kThreeItems);

  ASSERT_TRUE(testing::CopyProgram(L"Ombrel.exe", first.folder().path()));
  testing::WriteBytes(first.StampPath(), testing::TodaysStamp());
  EXPECT_EQ(testing::RunAndWait(L"\"" + (first.folder() / L"Ombrel.exe") + L"\"", 30s), 0U);
}

// Notepad, or another copy of the editor elsewhere, changed the list after
// this editor read it.
TEST(EditorFaultTest, AListChangedOnDiskIsAskedForBeforeASaveAndNoWritesNothing) {
  const RunningEditor editor(std::string("a\r\n"));
  ASSERT_TRUE(editor.Started());
  const App& app = editor.app();
  // Its own save changes the file too: that is what it compares with next.
  ASSERT_TRUE(editor.Append(L"b"));
  ASSERT_TRUE(app.Menu("alt+f s"));
  ASSERT_TRUE(testing::WaitUntil([&] { return editor.DatBytes() == "a\r\nb\r\n"; }));
  EXPECT_TRUE(StaysOpenQuietly(app));

  testing::WriteBytes(editor.DatPath(), "x\r\n");
  ASSERT_TRUE(editor.Append(L"c"));
  ASSERT_TRUE(app.Menu("alt+f s"));
  const MessageBoxWindow box = app.WaitForMessageBox();
  EXPECT_TRUE(IsBox(
      box, editor.DatPath() + L"は読み込んだ後でほかのプログラムによって変更されています。\r上書きしますか？",
      Icon::kExclamation, {IDYES, IDNO}));
  EXPECT_EQ(box.DefaultButton(), IDNO);
  box.Answer(IDNO);
  EXPECT_TRUE(StaysOpenQuietly(app));
  EXPECT_EQ(editor.DatBytes(), "x\r\n");
  EXPECT_EQ(app.ListItems(IDC_LIST1), (std::vector<std::wstring>{L"a", L"b", L"c"}));
}

TEST(EditorFaultTest, AReadOnlyListIsSaidAndStaysUnchanged) {
  const RunningEditor editor(std::string("a\r\n"));
  ASSERT_TRUE(editor.Started());
  ASSERT_TRUE(::SetFileAttributesW(editor.DatPath().c_str(), FILE_ATTRIBUTE_READONLY));
  ASSERT_TRUE(editor.Append(L"b"));
  ASSERT_TRUE(editor.app().Menu("alt+f s"));
  const MessageBoxWindow box = editor.app().WaitForMessageBox();
  EXPECT_TRUE(
      IsBox(box, editor.DatPath() + L"は読み取り専用のため保存できません。", Icon::kExclamation, {IDOK}));
  box.Answer(IDOK);
  EXPECT_TRUE(StaysOpenQuietly(editor.app()));
  EXPECT_EQ(editor.DatBytes(), "a\r\n");
  EXPECT_NE(::GetFileAttributesW(editor.DatPath().c_str()) & FILE_ATTRIBUTE_READONLY, 0U);
  ::SetFileAttributesW(editor.DatPath().c_str(), FILE_ATTRIBUTE_NORMAL);
}

// A save on a FAT stick cut short after the old list was gone: only its
// complete temporary is left.
TEST(EditorFaultTest, AMissingListWithACompleteTemporaryLoadsItAndASavePutsItInPlace) {
  const testing::TempFolder folder;
  ASSERT_TRUE(testing::CopyProgram(L"OmbrelSet.exe", folder.path()));
  const std::wstring list = folder / L"OMBREL.DAT";
  const std::wstring temporary = TemporaryPath(list, kThreeEntries, 0);
  testing::WriteBytes(temporary, kThreeEntries);
  const App app(folder / L"OmbrelSet.exe", testing::kEditorWindowClass);
  ASSERT_TRUE(app.Started());
  const MessageBoxWindow box = app.WaitForMessageBox();
  EXPECT_TRUE(IsBox(
      box,
      list + L"がないため、保存が途中で終わったときに書き終えていた次のファイルから一覧を読み込みました。\r" +
          temporary + L"\r内容を確かめて保存してください。",
      Icon::kInformation, {IDOK}));
  box.Answer(IDOK);
  EXPECT_EQ(app.ListItems(IDC_LIST1), kThreeItems);
  ASSERT_TRUE(app.Menu("alt+f s"));
  EXPECT_TRUE(testing::WaitUntil([&] { return testing::ReadBytes(list) == kThreeEntries; }));
  EXPECT_TRUE(testing::WaitUntil([&] { return !testing::ReadBytes(temporary).has_value(); }));
  ASSERT_TRUE(app.Menu("alt+f e"));
  EXPECT_EQ(app.WaitForExit(), 0U);
}

// Log-off or shut-down as Wine's session end does it: the question, and the
// program ends with the session.
class SessionEndTest : public ::testing::Test {
 protected:
  // Starts the end of the session; it waits while the editor asks.
  static testing::Process EndSession() {
    return testing::StartProcess(L"wineboot.exe --end-session --shutdown");
  }

  static std::wstring Question(const RunningEditor& editor) {
    return L"情報データを修正中です\r" + editor.DatPath() + L"を保存しますか？";
  }
};

TEST_F(SessionEndTest, UnsavedChangesAreAskedForYesSavesNoDiscards) {
  for (const int answer : {IDYES, IDNO}) {
    const RunningEditor editor(std::string("a\r\n"));
    ASSERT_TRUE(editor.Started());
    ASSERT_TRUE(editor.Append(L"b"));
    const testing::Process end = EndSession();
    const MessageBoxWindow box = editor.app().WaitForMessageBox();
    EXPECT_TRUE(IsBox(box, Question(editor), Icon::kExclamation, {IDYES, IDNO}));
    box.Answer(answer);
    EXPECT_EQ(editor.app().WaitForExit(), 0U);
    EXPECT_EQ(editor.DatBytes(), answer == IDYES ? "a\r\nb\r\n" : "a\r\n");
    EXPECT_TRUE(end.WaitForExit(15s).has_value());
  }
}

TEST_F(SessionEndTest, WithoutChangesNothingIsAsked) {
  const RunningEditor editor(std::string("a\r\n"));
  ASSERT_TRUE(editor.Started());
  const testing::Process end = EndSession();
  EXPECT_EQ(editor.app().WaitForExit(), 0U);
  EXPECT_FALSE(editor.app().CurrentMessageBox().Exists());
  EXPECT_EQ(editor.DatBytes(), "a\r\n");
  EXPECT_TRUE(end.WaitForExit(15s).has_value());
}

TEST_F(SessionEndTest, ASaveThatFailsKeepsTheSessionAndTheList) {
  const RunningEditor editor(std::string("a\r\n"));
  ASSERT_TRUE(editor.Started());
  ASSERT_TRUE(editor.Append(L"b"));
  const testing::ImmutablePath readOnly(editor.folder().path());
  ASSERT_TRUE(readOnly.applied());
  const testing::Process end = EndSession();
  const MessageBoxWindow question = editor.app().WaitForMessageBox();
  ASSERT_TRUE(IsBox(question, Question(editor), Icon::kExclamation, {IDYES, IDNO}));
  question.Answer(IDYES);
  MessageBoxWindow warning;
  ASSERT_TRUE(testing::WaitUntil([&] {
    warning = editor.app().CurrentMessageBox();
    return warning.Exists() && warning.hwnd() != question.hwnd();
  }));
  EXPECT_TRUE(IsBox(warning, editor.DatPath() + L"を保存できませんでした。", Icon::kExclamation, {IDOK}));
  warning.Answer(IDOK);
  EXPECT_TRUE(end.WaitForExit(15s).has_value());
  // The session did not end for the editor: it still runs with the list.
  EXPECT_FALSE(editor.app().WaitForExit(1s).has_value());
  EXPECT_EQ(editor.app().ListItems(IDC_LIST1), (std::vector<std::wstring>{L"a", L"b"}));
}

}  // namespace
}  // namespace ombrel
