// Entries in any script, end to end on code page 932: chosen through the
// browse dialog and typed, saved, shown again after a restart, and opened by
// run-now and by the launcher exactly as they were entered; and a list saved
// by Notepad in UTF-8 without the mark.
#include <gtest/gtest.h>

#include "common/list/entry_list.h"
#include "common/win/win_system.h"
#include "editor_fixture.h"

namespace ombrel {
namespace {

using testing::OpenedByShell;
using testing::RecorderEntry;
using testing::RunningEditor;
using testing::WaitUntil;
using Lines = std::vector<std::wstring>;

TEST(AnyScriptTest, EntriesOutsideCodePage932SurviveASaveAndOpenAsEntered) {
  ASSERT_EQ(::GetACP(), 932U);
  testing::RecorderLog log;  // before the editor starts, so all it starts log here
  RunningEditor editor(std::nullopt);
  ASSERT_TRUE(editor.Started());
  testing::WriteBytes(editor.StampPath(), "\r\n");
  const testing::gui::App& app = editor.app();

  // é, Korean, an emoji (a surrogate pair) and Japanese; one of them a
  // program whose arguments hold them too.
  const testing::TempFolder documents;
  const Lines names = {L"caf\u00e9.ombtest", L"\ud55c\uad6d\uc5b4.ombtest", L"\U0001F600.ombtest",
                       L"予定.ombtest"};
  Lines entries;
  for (const std::wstring& name : names) {
    entries.push_back(documents / name);
    testing::WriteBytes(entries.back(), "x");
  }
  entries.insert(entries.begin() + 1, RecorderEntry(L"caf\u00e9 \ud55c\uad6d\uc5b4 \U0001F600"));

  // The first through the browse dialog, the rest typed.
  ASSERT_TRUE(editor.Browse(entries[0])) << ToUtf8(app.Control(IDC_TEXT1).Text());
  app.Click(IDC_COMMAND6);
  ASSERT_TRUE(WaitUntil([&] { return app.ListItems(IDC_LIST1).size() == 1; }));
  for (std::size_t i = 1; i < entries.size(); ++i) ASSERT_TRUE(editor.Append(entries[i]));
  EXPECT_EQ(app.ListItems(IDC_LIST1), entries);

  // Saved as UTF-8 behind the mark, by the one line rule.
  ASSERT_TRUE(app.Menu("alt+f s"));
  std::string utf8 = "\xEF\xBB\xBF";
  for (const std::wstring& entry : entries) utf8 += ToUtf8(entry) + "\r\n";
  EXPECT_TRUE(WaitUntil([&] { return editor.DatBytes() == utf8; }));

  // Run now opens exactly what was entered.
  Lines opened;
  for (const std::wstring& entry : entries)
    opened.push_back(entry == entries[1] ? entry : OpenedByShell(entry));
  app.Click(IDC_COMMAND8);
  log.WaitForLines(opened.size());
  testing::WaitForRecorders();
  EXPECT_EQ(log.StartOrder(), opened);
  ASSERT_TRUE(app.Menu("alt+f e"));
  ASSERT_EQ(app.WaitForExit(), 0U);

  // So does the launcher, from the saved file.
  ASSERT_TRUE(testing::CopyProgram(L"Ombrel.exe", editor.folder().path()));
  testing::WriteBytes(editor.StampPath(), "\r\n");
  EXPECT_EQ(testing::RunAndWait(L"\"" + (editor.folder() / L"Ombrel.exe") + L"\""), 0U);
  log.WaitForLines(2 * opened.size());
  testing::WaitForRecorders();
  const Lines all = log.StartOrder();
  ASSERT_EQ(all.size(), 2 * opened.size());
  EXPECT_EQ(Lines(all.begin() + static_cast<std::ptrdiff_t>(opened.size()), all.end()), opened);

  // A restarted editor shows them as entered; once only code page 932 is
  // left, the file is written in it, byte for byte as it always was.
  const testing::gui::App again(editor.folder() / L"OmbrelSet.exe", testing::kEditorWindowClass);
  ASSERT_TRUE(again.Started());
  EXPECT_EQ(again.ListItems(IDC_LIST1), entries);
  for (int removed = 0; removed < 4; ++removed) {
    again.SelectListItem(IDC_LIST1, 0);
    again.Click(IDC_COMMAND3);
    ASSERT_TRUE(WaitUntil([&] { return again.ListItems(IDC_LIST1).size() == entries.size() - removed - 1; }));
  }
  ASSERT_TRUE(again.Menu("alt+f s"));
  win::WinSystem system;
  const std::optional<std::string> shiftJis = system.ToCodePage(932, entries[4]);
  ASSERT_TRUE(shiftJis.has_value());
  EXPECT_TRUE(WaitUntil([&] { return editor.DatBytes() == *shiftJis + "\r\n"; }));
}

// Notepad saves UTF-8 without the mark: such a list shows, opens and saves
// as written, on a system of code page 932.
TEST(AnyScriptTest, AListSavedAsUnmarkedUtf8LoadsRunsAndSavesUnchangedInMeaning) {
  testing::RecorderLog log;
  const testing::TempFolder documents;
  ASSERT_TRUE(::CreateDirectoryW((documents / L"資料").c_str(), nullptr));
  const Lines entries = {documents / L"資料\\報告.ombtest", RecorderEntry(L"予定 表")};
  testing::WriteBytes(entries[0], "x");
  std::string notepad;
  for (const std::wstring& entry : entries) notepad += ToUtf8(entry) + "\r\n";
  const Lines opened = {OpenedByShell(entries[0]), entries[1]};

  RunningEditor editor(notepad);
  ASSERT_TRUE(editor.Started());
  const testing::gui::App& app = editor.app();
  EXPECT_EQ(app.ListItems(IDC_LIST1), entries);
  testing::WriteBytes(editor.StampPath(), "\r\n");
  app.Click(IDC_COMMAND8);
  log.WaitForLines(opened.size());
  testing::WaitForRecorders();
  EXPECT_EQ(log.StartOrder(), opened);

  ASSERT_TRUE(testing::CopyProgram(L"Ombrel.exe", editor.folder().path()));
  testing::WriteBytes(editor.StampPath(), "\r\n");
  EXPECT_EQ(testing::RunAndWait(L"\"" + (editor.folder() / L"Ombrel.exe") + L"\""), 0U);
  log.WaitForLines(2 * opened.size());
  testing::WaitForRecorders();
  EXPECT_EQ(log.StartOrder(), (Lines{opened[0], opened[1], opened[0], opened[1]}));

  // Saved in one of the programs' own forms: code page 932, as every entry
  // fits it.
  win::WinSystem system;
  std::string shiftJis;
  for (const std::wstring& entry : entries) shiftJis += system.ToCodePage(932, entry).value() + "\r\n";
  ASSERT_TRUE(app.Menu("alt+f s"));
  EXPECT_TRUE(WaitUntil([&] { return editor.DatBytes() == shiftJis; }));
  EXPECT_EQ(ReadEntryList(system, editor.DatPath()).entries, entries);
}

}  // namespace
}  // namespace ombrel
