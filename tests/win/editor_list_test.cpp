// Changing the list on OmbrelSet's real window: insert, delete and append as a
// user clicks them, where the text lands, where the selection goes, and
// whether leaving then asks to save (the only place the modified flag shows).
#include <gtest/gtest.h>

#include "common/win/win_system.h"
#include "editor_fixture.h"

namespace ombrel {
namespace {

using testing::kThreeEntries;
using testing::kThreeItems;
using testing::RunningEditor;
using testing::StaysOpenQuietly;
using testing::WaitUntil;
using testing::gui::App;
using testing::gui::MessageBoxWindow;
using Items = std::vector<std::wstring>;

// The list shows `items` with `selection` selected, once the click has been
// handled.
::testing::AssertionResult Shows(const App& app, const Items& items, int selection) {
  if (WaitUntil(
          [&] { return app.ListItems(IDC_LIST1) == items && app.ListSelection(IDC_LIST1) == selection; })) {
    return ::testing::AssertionSuccess();
  }
  auto failure = ::testing::AssertionFailure() << "selection " << app.ListSelection(IDC_LIST1) << ", items:";
  for (const std::wstring& item : app.ListItems(IDC_LIST1)) failure << " [" << ToUtf8(item) << "]";
  return failure;
}

void Type(const App& app, const std::wstring& text) { app.SetText(IDC_TEXT1, text); }
std::wstring EditBox(const App& app) { return app.Control(IDC_TEXT1).Text(); }

// "終了(&E)" with the list changed: the question comes and is answered.
::testing::AssertionResult LeaveAnswering(const App& app, int answer) {
  if (!app.Menu("alt+f e")) return ::testing::AssertionFailure() << "no keys";
  const MessageBoxWindow question = app.WaitForMessageBox();
  if (!question.Exists()) return ::testing::AssertionFailure() << "no leave question";
  question.Answer(answer);
  if (app.WaitForExit() != 0U) return ::testing::AssertionFailure() << "did not end";
  return ::testing::AssertionSuccess();
}

TEST(EditorInsertTest, IntoAnEmptyListTheTextIsTheOnlyEntryAndSelected) {
  RunningEditor editor(std::nullopt);
  ASSERT_TRUE(editor.Started());
  const App& app = editor.app();
  Type(app, L"C:\\Tools\\新.exe");
  app.Click(IDC_COMMAND2);
  EXPECT_TRUE(Shows(app, {L"C:\\Tools\\新.exe"}, 0));
  EXPECT_EQ(EditBox(app), L"C:\\Tools\\新.exe");
  // Inserting changed the list: leaving asks, and No writes nothing.
  EXPECT_TRUE(LeaveAnswering(app, IDNO));
  EXPECT_FALSE(editor.DatBytes().has_value());
}

TEST(EditorInsertTest, AtTheFirstAndTheLastOfSeveralThenSaveWritesTheListAsShown) {
  RunningEditor editor(kThreeEntries);
  ASSERT_TRUE(editor.Started());
  const App& app = editor.app();
  // Loading selected the first entry.
  Type(app, L"first");
  app.Click(IDC_COMMAND2);
  EXPECT_TRUE(Shows(app, {L"first", kThreeItems[0], kThreeItems[1], kThreeItems[2]}, 0));

  app.SelectListItem(IDC_LIST1, 3);
  Type(app, L"before last");
  app.Click(IDC_COMMAND2);
  const Items shown = {L"first", kThreeItems[0], kThreeItems[1], L"before last", kThreeItems[2]};
  EXPECT_TRUE(Shows(app, shown, 3));

  ASSERT_TRUE(app.Menu("alt+f s"));
  const std::string written =
      "first\r\nC:\\Tools\\b.exe\r\nC:\\Tools\\a.exe\r\nbefore last\r\n\x83\x81\x83\x82.txt\r\n";
  EXPECT_TRUE(WaitUntil([&] { return editor.DatBytes() == written; }))
      << editor.DatBytes().value_or("(none)");
  EXPECT_TRUE(Shows(app, shown, 3));
}

TEST(EditorInsertTest, AfterAnAppendToAnEmptyListNothingIsSelectedAndInsertGoesToTheEnd) {
  RunningEditor editor(std::nullopt);
  ASSERT_TRUE(editor.Started());
  const App& app = editor.app();
  Type(app, L"appended");
  app.Click(IDC_COMMAND6);
  EXPECT_TRUE(Shows(app, {L"appended"}, -1));

  Type(app, L"inserted");
  app.Click(IDC_COMMAND2);
  EXPECT_TRUE(Shows(app, {L"appended", L"inserted"}, 1));
}

TEST(EditorDeleteTest, MiddleThenLastEntryGoIntoTheEditBoxAndTheSelectionStaysInTheList) {
  RunningEditor editor(kThreeEntries);
  ASSERT_TRUE(editor.Started());
  const App& app = editor.app();
  app.SelectListItem(IDC_LIST1, 1);
  app.Click(IDC_COMMAND3);
  // The entry that followed now stands at the selected position.
  EXPECT_TRUE(Shows(app, {kThreeItems[0], kThreeItems[2]}, 1));
  EXPECT_EQ(EditBox(app), kThreeItems[1]);

  // That was the last entry: the new last one is selected.
  app.Click(IDC_COMMAND3);
  EXPECT_TRUE(Shows(app, {kThreeItems[0]}, 0));
  EXPECT_EQ(EditBox(app), kThreeItems[2]);

  EXPECT_TRUE(LeaveAnswering(app, IDYES));
  EXPECT_EQ(editor.DatBytes(), "C:\\Tools\\b.exe\r\n");
}

TEST(EditorDeleteTest, WithNothingSelectedNothingChangesAndLeavingAsksNothing) {
  RunningEditor editor(kThreeEntries);
  ASSERT_TRUE(editor.Started());
  const App& app = editor.app();
  app.SelectListItem(IDC_LIST1, -1);
  Type(app, L"typed");
  app.Click(IDC_COMMAND3);
  EXPECT_TRUE(StaysOpenQuietly(app));
  EXPECT_TRUE(Shows(app, kThreeItems, -1));
  EXPECT_EQ(EditBox(app), L"typed");
  ASSERT_TRUE(app.Menu("alt+f e"));
  EXPECT_EQ(app.WaitForExit(), 0U);
  EXPECT_EQ(editor.DatBytes(), kThreeEntries);
}

// Two files dragged from another program onto the list, one a program in a
// folder with a blank; then Alt+Down moves the selected one and a save
// writes the list as shown.
TEST(EditorDropTest, TwoFilesDroppedOnTheListThenMovedDownAndSaved) {
  testing::TempFolder files;
  const std::wstring folder = files / L"My Tools";
  ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
  const std::wstring program = folder + L"\\tool.exe";
  const std::wstring memo = folder + L"\\memo.txt";
  testing::WriteBytes(program, "MZ");
  testing::WriteBytes(memo, "x");
  RunningEditor editor(kThreeEntries);
  ASSERT_TRUE(editor.Started());
  const App& app = editor.app();
  app.SelectListItem(IDC_LIST1, 1);
  ASSERT_TRUE(testing::gui::DropFiles(app.Control(IDC_LIST1), {program, memo}));
  // In front of the selected entry, in the order dropped, the last selected.
  EXPECT_TRUE(Shows(app, {kThreeItems[0], L"\"" + program + L"\"", memo, kThreeItems[1], kThreeItems[2]}, 2));

  ASSERT_TRUE(app.Menu("alt+Down"));
  const Items moved = {kThreeItems[0], L"\"" + program + L"\"", kThreeItems[1], memo, kThreeItems[2]};
  EXPECT_TRUE(Shows(app, moved, 3));
  ASSERT_TRUE(app.Menu("alt+f s"));
  win::WinSystem system;
  const std::string written = "C:\\Tools\\b.exe\r\n\"" + system.ToCodePage(932, program).value() +
                              "\"\r\nC:\\Tools\\a.exe\r\n" + system.ToCodePage(932, memo).value() +
                              "\r\n\x83\x81\x83\x82.txt\r\n";
  EXPECT_TRUE(WaitUntil([&] { return editor.DatBytes() == written; }))
      << editor.DatBytes().value_or("(none)");
  EXPECT_TRUE(Shows(app, moved, 3));
}

}  // namespace
}  // namespace ombrel
