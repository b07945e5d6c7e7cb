// OmbrelSet against the faults that would lose the user's list: a list it
// cannot read, and the end of the Windows session with unsaved changes.
#include <gtest/gtest.h>

#include <chrono>

#include "editor_fixture.h"

namespace ombrel {
namespace {

using namespace std::chrono_literals;
using testing::IsBox;
using testing::kThreeEntries;
using testing::kThreeItems;
using testing::RunningEditor;
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
