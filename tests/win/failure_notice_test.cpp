// The launcher's notification under Wine's shell, which keeps the icon as a
// window in its own tray and the balloon as a tooltip; it has no balloon
// click or time-out (docs/design.md, "A run that went wrong says so").
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <string>

#include "common/win/final_path.h"
#include "editor_fixture.h"
#include "launcher/failure_balloon.h"
#include "launcher_fixture.h"

namespace ombrel {
namespace {

using namespace std::chrono_literals;
using testing::Quote;
using testing::WaitUntil;

// The visible top-level windows of `className`, with `caption` when given,
// whose process runs `program` (any when empty).
std::vector<HWND> TopLevelWindows(const std::wstring& className, const std::wstring& program = {},
                                  const wchar_t* caption = nullptr) {
  std::vector<HWND> found;
  for (HWND window = ::FindWindowExW(nullptr, nullptr, className.c_str(), caption); window != nullptr;
       window = ::FindWindowExW(nullptr, window, className.c_str(), caption)) {
    if (!::IsWindowVisible(window)) continue;
    if (!program.empty()) {
      DWORD processId = 0;
      ::GetWindowThreadProcessId(window, &processId);
      const win::ScopedHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
      std::wstring image(MAX_PATH, L'\0');
      DWORD length = MAX_PATH;
      if (!process || !::QueryFullProcessImageNameW(process.get(), 0, image.data(), &length)) continue;
      image.resize(length);
      if (!win::SameFile(image, program)) continue;
    }
    found.push_back(window);
  }
  return found;
}

// The icons of Wine's tray.
std::vector<HWND> TrayIcons() {
  std::vector<HWND> icons;
  const HWND tray = ::FindWindowW(L"__winex11_standalone_tray", nullptr);
  for (HWND icon = ::FindWindowExW(tray, nullptr, L"__winex11_tray_icon", nullptr); icon != nullptr;
       icon = ::FindWindowExW(tray, icon, L"__winex11_tray_icon", nullptr)) {
    icons.push_back(icon);
  }
  return icons;
}

// The text of the balloon Wine's tray shows; empty while it shows none.
std::wstring BalloonText() {
  for (const HWND tip : TopLevelWindows(TOOLTIPS_CLASSW)) {
    if ((::GetWindowLongW(tip, GWL_STYLE) & TTS_BALLOON) != 0) return testing::gui::Window(tip).Text();
  }
  return {};
}

class FailureNoticeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(testing::CopyProgram(L"Ombrel.exe", folder_.path()));
    ASSERT_TRUE(testing::CopyProgram(L"OmbrelSet.exe", folder_.path()));
    // One entry that opens, one that cannot: no such document.
    testing::WriteList(folder_ / L"OMBREL.DAT", {testing::RecorderEntry(L"opened"), missing_});
  }
  // The editor the notification started, if it is still there.
  void TearDown() override {
    for (const HWND editor : TopLevelWindows(testing::kEditorWindowClass, Editor())) {
      const HWND front = ::GetLastActivePopup(editor);
      ::PostMessageW(front, WM_COMMAND, IDCANCEL, 0);
      WaitUntil([&] { return front == editor || !::IsWindow(front); });
      ::PostMessageW(editor, WM_CLOSE, 0, 0);
      EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(editor); }));
    }
  }

  [[nodiscard]] std::wstring Launcher() const { return folder_ / L"Ombrel.exe"; }
  [[nodiscard]] std::wstring Editor() const { return folder_ / L"OmbrelSet.exe"; }

  // The icon the launcher added, once the balloon says what went wrong.
  [[nodiscard]] HWND WaitForNotice(const std::vector<HWND>& before) const {
    HWND ours = nullptr;
    WaitUntil(
        [&] {
          for (const HWND icon : TrayIcons()) {
            if (std::ranges::find(before, icon) == before.end()) ours = icon;
          }
          return ours != nullptr && BalloonText().find(missing_) != std::wstring::npos;
        },
        15s);
    return ours;
  }

  testing::RecorderLog log_;
  testing::TempFolder folder_;
  const std::wstring missing_ = folder_ / L"missing.ombtest";
};

// Chosen, it starts this folder's editor with its record in front and ends
// the launcher at once with the run's status, its icon gone.
TEST_F(FailureNoticeTest, ARunWithAFailingEntryNotifiesAndChoosingItOpensTheRecord) {
  const std::vector<HWND> before = TrayIcons();
  const testing::Process launcher = testing::StartProcess(Quote(Launcher()));
  ASSERT_TRUE(launcher);
  const HWND icon = WaitForNotice(before);
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(BalloonText(), L"1 件の項目を開けませんでした。最初の項目: " + missing_ +
                               L"\nクリックすると実行の記録を表示します。");
  // Every entry was handed to Windows before it showed.
  EXPECT_EQ(log_.WaitForLines(1), std::vector<std::wstring>{testing::RecorderEntry(L"opened")});

  // A click on the icon, as Wine's tray passes it on.
  ::PostMessageW(icon, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(8, 8));
  ::PostMessageW(icon, WM_LBUTTONUP, 0, MAKELPARAM(8, 8));
  EXPECT_EQ(launcher.WaitForExit(10s), testing::kEntryNotOpened);
  EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(icon); }));

  HWND record = nullptr;
  ASSERT_TRUE(WaitUntil(
      [&] {
        const std::vector<HWND> found = TopLevelWindows(L"#32770", Editor(), L"実行の記録");
        record = found.empty() ? nullptr : found.front();
        return record != nullptr;
      },
      20s));
  // Over the editor's window, with the run's failure selected; nothing
  // starts Ombrel in this prefix, as its line and status say.
  const std::vector<HWND> editors = TopLevelWindows(testing::kEditorWindowClass, Editor());
  ASSERT_EQ(editors.size(), 1U);
  EXPECT_EQ(::GetWindow(record, GW_OWNER), editors.front());
  EXPECT_TRUE(WaitUntil([&] { return ::IsWindowVisible(::GetDlgItem(editors.front(), IDC_LABEL3)); }));
  const testing::gui::ReportList rows(::GetDlgItem(record, IDC_RECORD_LIST));
  EXPECT_EQ(rows.Rows(2).at(0).columns.at(1), L"× 1 件開けませんでした");
  EXPECT_EQ(rows.Selection(), 0);
  EXPECT_EQ(testing::gui::Window(::GetDlgItem(record, IDC_RECORD_STATUS)).Text(),
            L"ログオン時: 無効　ロック解除・復帰時: なし");

  // A second start with /record brings that window up rather than another
  // editor.
  EXPECT_EQ(testing::RunAndWait(Quote(Editor()) + L" /record", 20s), 0U);
  EXPECT_EQ(TopLevelWindows(L"#32770", Editor(), L"実行の記録"), std::vector<HWND>{record});
}

// Nobody chooses it: the launcher ends by its own limit, its icon gone; a
// run that went well shows none and ends at once.
TEST_F(FailureNoticeTest, NotChosenItEndsWithinItsLimitAndARunThatWentWellShowsNone) {
  const std::vector<HWND> before = TrayIcons();
  const auto start = std::chrono::steady_clock::now();
  const testing::Process launcher = testing::StartProcess(Quote(Launcher()));
  ASSERT_TRUE(launcher);
  const HWND icon = WaitForNotice(before);
  ASSERT_NE(icon, nullptr);
  const auto shown = std::chrono::steady_clock::now();
  EXPECT_EQ(launcher.WaitForExit(launcher::kNoticeShownMost + 15s), testing::kEntryNotOpened);
  EXPECT_LE(std::chrono::steady_clock::now() - shown, launcher::kNoticeShownMost + 5s);
  EXPECT_GE(std::chrono::steady_clock::now() - start, launcher::kNoticeShownMost);
  EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(icon); }));
  EXPECT_TRUE(TopLevelWindows(testing::kEditorWindowClass, Editor()).empty());

  // Went well: the same folder on the next day, the failing entry gone.
  testing::WriteList(folder_ / L"OMBREL.DAT", {testing::RecorderEntry(L"alone")});
  testing::WriteBytes(folder_ / L"OMBREL.INI", testing::DateOf(testing::Yesterday()) + "\r\n");
  const testing::Process well = testing::StartProcess(Quote(Launcher()));
  ASSERT_TRUE(well);
  EXPECT_EQ(well.WaitForExit(launcher::kNoticeShownMost / 2), testing::kDone);
  EXPECT_EQ(TrayIcons(), before);
  // Its recorder done before the log goes with the test.
  EXPECT_EQ(log_.WaitForLines(2).back(), testing::RecorderEntry(L"alone"));
  testing::WaitForRecorders();
}

}  // namespace
}  // namespace ombrel
