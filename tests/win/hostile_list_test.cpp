// Lists no editor would write, and entries no command line can hold: neither
// program crashes or hangs, the launcher opens what it reads, the editor
// shows it, and a save without edits reads back to the same entries.
#include <gtest/gtest.h>

#include <chrono>
#include <random>

#include "common/list/entry_list.h"
#include "common/record/run_record.h"
#include "common/win/win_system.h"
#include "editor_fixture.h"

namespace ombrel {
namespace {

using namespace std::chrono_literals;
using testing::RecorderEntry;
using testing::WaitUntil;

struct HostileCase {
  const char* name;
  std::string bytes;
};

std::string RandomBytes(std::size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> byte(0, 255);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(byte(random));
  return bytes;
}

std::vector<HostileCase> Cases() {
  std::string manyEntries;
  for (int i = 0; i < 100000; ++i) manyEntries += "\r\n";
  return {
      {"binary_garbage", RandomBytes(64 * 1024, 1)},
      {"marked_garbage", "\xEF\xBB\xBF" + RandomBytes(16 * 1024, 2)},
      {"invalid_shift_jis", "\x83\r\n\x83,\x80\xA0\xFD\xFE\xFF\r\n\x81\x7F\x83\x20x\r\n\x9F\r\n"},
      {"nul_bytes", std::string("a\0b\r\n\0\r\n", 7)},
      {"one_line_of_a_mebibyte", std::string(1 << 20, 'a')},
      {"hundred_thousand_entries", manyEntries},
      {"lone_line_ends", "a\rb\nc\r\rd\n\ne"},
  };
}

TEST(HostileListTest, TheLauncherOpensWhatItReadsAndEndsNormally) {
  for (const HostileCase& c : Cases()) {
    SCOPED_TRACE(c.name);
    const testing::TempFolder folder;
    ASSERT_TRUE(testing::CopyProgram(L"Ombrel.exe", folder.path()));
    testing::WriteBytes(folder / L"OMBREL.CFG", testing::kNoNotice);
    testing::RecorderLog log;
    // A last entry that is known to open: reaching it shows the run read the
    // whole list and went on past everything before it.
    win::WinSystem system;
    testing::WriteBytes(folder / L"OMBREL.DAT",
                        c.bytes + "\r\n" + system.ToCodePage(932, RecorderEntry(L"last")).value() + "\r\n");
    // Garbage that opens nothing ends the run with status 5, blank lines
    // alone with 0; the record has a line for every entry all the same.
    const std::optional<DWORD> status = testing::RunAndWait(L"\"" + (folder / L"Ombrel.exe") + L"\"", 120s);
    EXPECT_TRUE(status == 0U || status == 5U) << status.value_or(999);
    testing::WaitForRecorders();
    const std::vector<RecordedRun> runs =
        ParseRunRecord(testing::ReadBytes(folder / L"OMBREL.LOG").value_or(""));
    ASSERT_EQ(runs.size(), 1U);
    EXPECT_EQ(runs[0].end, RunEnd::kDone);
    EXPECT_EQ(runs[0].entries.size(),
              DecodeEntryList(system, testing::ReadBytes(folder / L"OMBREL.DAT").value()).size());
    const std::vector<std::wstring> opened = log.StartOrder();
    ASSERT_FALSE(opened.empty());
    EXPECT_EQ(opened.back(), RecorderEntry(L"last"));
    // Garbage that happens to hold one "@" and two dots is, by the rule, a
    // mail link to try: nothing else may have opened.
    for (std::size_t i = 0; i + 1 < opened.size(); ++i) {
      EXPECT_EQ(opened[i].rfind(testing::RecorderLog::Quoted() + L" \"Mailto:", 0), 0U) << ToUtf8(opened[i]);
    }
    EXPECT_EQ(testing::ReadBytes(folder / L"OMBREL.INI"), testing::TodaysStamp());
  }
}

TEST(HostileListTest, TheEditorShowsItAndASaveReadsBackTheSame) {
  win::WinSystem system;
  for (const HostileCase& c : Cases()) {
    SCOPED_TRACE(c.name);
    const std::vector<std::wstring> entries = DecodeEntryList(system, c.bytes);
    const testing::RunningEditor editor(c.bytes, 0ms, 60s);
    ASSERT_TRUE(editor.Started());
    const testing::gui::App& app = editor.app();
    const testing::gui::Window list = app.Control(IDC_LIST1);
    ASSERT_EQ(list.Send(LB_GETCOUNT), static_cast<LRESULT>(entries.size()));
    if (entries.size() <= 2000) {
      EXPECT_EQ(app.ListItems(IDC_LIST1), entries);
    }
    const std::uint64_t before = editor.DatWriteTime();
    ::Sleep(20);  // a save is seen by its time
    ASSERT_TRUE(app.Menu("alt+f s"));
    ASSERT_TRUE(WaitUntil([&] { return editor.DatWriteTime() != before; }, 30s));
    EXPECT_FALSE(app.CurrentMessageBox().Exists());
    EXPECT_EQ(ReadEntryList(system, editor.DatPath()).entries, entries);
    ASSERT_TRUE(app.Menu("alt+f e"));
    EXPECT_EQ(app.WaitForExit(30s), 0U);
  }
}

// Beyond what a command line may hold (32,767 characters): skipped as an
// entry that cannot open, and the entries after it still open.
TEST(HostileListTest, AnEntryLongerThanACommandLineIsSkipped) {
  const std::wstring tooLong = L"C:\\" + std::wstring(40000, L'x') + L".exe /y";
  const std::wstring tooLongDocument = L"C:\\" + std::wstring(40000, L'y') + L".ombtest";
  {
    SCOPED_TRACE("launcher");
    const testing::TempFolder folder;
    ASSERT_TRUE(testing::CopyProgram(L"Ombrel.exe", folder.path()));
    testing::WriteBytes(folder / L"OMBREL.CFG", testing::kNoNotice);
    testing::RecorderLog log;
    win::WinSystem system;
    ASSERT_TRUE(
        WriteEntryList(system, folder / L"OMBREL.DAT", {tooLong, tooLongDocument, RecorderEntry(L"after")}));
    EXPECT_EQ(testing::RunAndWait(L"\"" + (folder / L"Ombrel.exe") + L"\"", 60s), 5U);
    testing::WaitForRecorders();
    EXPECT_EQ(log.Lines(), std::vector<std::wstring>{RecorderEntry(L"after")});
    // Recorded whole, with the code Windows gives a name too long.
    const std::vector<RecordedRun> runs =
        ParseRunRecord(testing::ReadBytes(folder / L"OMBREL.LOG").value_or(""));
    ASSERT_EQ(runs.size(), 1U);
    ASSERT_EQ(runs[0].entries.size(), 3U);
    EXPECT_EQ(runs[0].entries[0].entry, tooLong);
    EXPECT_EQ(runs[0].entries[1].error, static_cast<std::uint32_t>(ERROR_FILENAME_EXCED_RANGE));
  }
  {
    SCOPED_TRACE("run now");
    testing::RecorderLog log;
    win::WinSystem system;
    const testing::RunningEditor editor(
        EncodeEntryList(system, {tooLong, tooLongDocument, RecorderEntry(L"after")}));
    ASSERT_TRUE(editor.Started());
    editor.app().Click(IDC_COMMAND8);
    for (const std::wstring& entry : {tooLong, tooLongDocument}) {
      const testing::gui::MessageBoxWindow box = editor.app().WaitForMessageBox();
      ASSERT_TRUE(box.Exists());
      EXPECT_EQ(box.Message(), entry + L"は開けません");
      box.Answer(IDOK);
      ASSERT_TRUE(WaitUntil([&] { return !box.Exists(); }));
    }
    EXPECT_EQ(log.WaitForLines(1), std::vector<std::wstring>{RecorderEntry(L"after")});
  }
}

}  // namespace
}  // namespace ombrel
