// Policy values in Wine's registry, set with `reg add` as an administrator's
// script would: the launcher's new day follows them over OMBREL.CFG, and the
// settings dialog greys the box of one. Run after every other test of the
// prefix (tests/win/CMakeLists.txt), since any launcher there would follow
// them too.
#include <windows.h>

#include <gtest/gtest.h>

#include "common/list/utf8.h"
#include "common/record/run_record.h"
#include "editor_fixture.h"
#include "launcher_fixture.h"

namespace ombrel::testing {
namespace {

const std::wstring kMachineKey = L"HKLM\\Software\\Policies\\Ombrel";
const std::wstring kUserKey = L"HKCU\\Software\\Policies\\Ombrel";

// Wine's reg.exe, as a script runs it; true when it ended with status 0.
bool Reg(const std::wstring& arguments) { return RunAndWait(L"reg.exe " + arguments) == 0U; }

// Both keys gone before and after, so that no value outlives its test.
class PolicyKeys {
 public:
  PolicyKeys() { Clear(); }
  PolicyKeys(const PolicyKeys&) = delete;
  PolicyKeys& operator=(const PolicyKeys&) = delete;
  ~PolicyKeys() { Clear(); }

  [[nodiscard]] static bool Add(const std::wstring& key, const std::wstring& name, const std::wstring& type,
                                const std::wstring& data) {
    return Reg(L"add " + key + L" /v " + name + L" /t " + type + L" /d " + data + L" /f");
  }

 private:
  static void Clear() {
    for (const std::wstring& key : {kMachineKey, kUserKey}) {
      if (Reg(L"query " + key)) {
        EXPECT_TRUE(Reg(L"delete " + key + L" /f"));
      }
    }
  }
};

// The machine's Days closes today though the file opens every day; the
// user's gap out of its range is named in the record and passed over.
TEST_F(LauncherTest, PolicyValuesSetWithRegAddCloseTheDayTheFileOpens) {
  const PolicyKeys keys;
  ASSERT_TRUE(PolicyKeys::Add(kMachineKey, L"Days", L"REG_SZ", FromUtf8(DaysWithoutToday())));
  ASSERT_TRUE(PolicyKeys::Add(kUserKey, L"GapSeconds", L"REG_DWORD", L"61"));
  WriteList(List(), {RecorderEntry(L"never")});
  WriteBytes(SettingsFile(), "[Ombrel]\r\nDays=1111111\r\n");
  WriteBytes(Stamp(), DateOf(Yesterday()) + "\r\n");
  EXPECT_EQ(Run(), kDone);
  EXPECT_TRUE(log_.Lines().empty());
  const std::string record = ReadBytes(Record()).value_or("");
  const std::vector<RecordedRun> runs = ParseRunRecord(record);
  ASSERT_EQ(runs.size(), 1U);
  EXPECT_EQ(runs[0].end, RunEnd::kDayClosed);
  EXPECT_EQ(runs[0].endDetail, L"weekday");
  EXPECT_NE(record.find("\tpolicy-ignored\tHKCU\tGapSeconds\r\n"), std::string::npos);
}

// The machine's pause shows greyed with the note beside it; OK saves the
// other settings and leaves the file's pause line as it was.
TEST(PolicyDialogTest, APolicysSettingIsGreyedWithItsNoteAndOkLeavesItsLine) {
  const PolicyKeys keys;
  ASSERT_TRUE(PolicyKeys::Add(kMachineKey, L"PauseSeconds", L"REG_DWORD", L"30"));
  RunningEditor editor(kThreeEntries);
  ASSERT_TRUE(editor.Started());
  gui::App& app = editor.app();
  const std::wstring file = editor.folder() / L"OMBREL.CFG";
  WriteBytes(file, "[Ombrel]\r\nPauseSeconds=5\r\n");
  ASSERT_TRUE(app.Menu("alt+f d"));
  const gui::Window dialog = app.WaitForDialog(L"開く日と間隔");
  ASSERT_TRUE(dialog.Exists());
  // Pause, gap: the fourth and fifth settings of the notes' column.
  EXPECT_EQ(dialog.Child(IDC_SETTINGS_PAUSE).Text(), L"30");
  EXPECT_FALSE(::IsWindowEnabled(dialog.Child(IDC_SETTINGS_PAUSE).hwnd()));
  EXPECT_EQ(dialog.Child(IDC_SETTINGS_POLICY_NOTE_FIRST + 3).Text(), L"（管理者が設定しています）");
  // Inside the dialog, which widens for the notes' column.
  const gui::Rect note = dialog.Child(IDC_SETTINGS_POLICY_NOTE_FIRST + 3).RectInParent();
  EXPECT_LE(note.left + note.width, dialog.ClientRect().width);
  EXPECT_TRUE(::IsWindowEnabled(dialog.Child(IDC_SETTINGS_GAP).hwnd()));
  EXPECT_EQ(dialog.Child(IDC_SETTINGS_POLICY_NOTE_FIRST + 4).Text(), L"");
  ASSERT_TRUE(gui::PressKeys(dialog, "Return"));
  EXPECT_TRUE(WaitUntil([&] { return !dialog.Exists(); }));
  EXPECT_EQ(ReadBytes(file),
            "[Ombrel]\r\nPauseSeconds=5\r\nDays=1111111\r\nSkipHolidays=0\r\nSkipYearEnd=0\r\n"
            "GapSeconds=0\r\nNetworkWaitSeconds=0\r\n");
}

}  // namespace
}  // namespace ombrel::testing
