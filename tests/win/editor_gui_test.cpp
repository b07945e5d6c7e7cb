// OmbrelSet's window under Wine, driven as a user drives it: what it shows
// (the layout table, captions, title, placement, the loaded list), the
// keyboard (Tab, access keys), and every way of saving and leaving, checked
// against the bytes of the entry list file afterwards.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <regex>

#include "common/schedule/day_rule.h"
#include "common/schedule/settings.h"
#include "common/win/win_system.h"
#include "editor_fixture.h"

namespace ombrel {
namespace {

using namespace std::chrono_literals;
using testing::ImmutablePath;
using testing::kThreeEntries;
using testing::kThreeItems;
using testing::ReadBytes;
using testing::RunningEditor;
using testing::StaysOpenQuietly;
using testing::WaitUntil;
using testing::gui::App;
using testing::gui::Icon;
using testing::gui::MessageBoxWindow;
using testing::gui::Rect;

// What Command6 appends in the tests that change the list.
constexpr wchar_t kAppended[] = L"追加.txt";
const std::string kAppendedLine = "\x92\xC7\x89\xC1.txt\r\n";

// ---------------------------------------------------------------------------
// What the window shows. One editor, which these tests only read.

class EditorWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    before_ = Now();
    editor_ = new RunningEditor(std::nullopt);
    after_ = Now();
  }
  static void TearDownTestSuite() {
    delete editor_;
    editor_ = nullptr;
  }
  void SetUp() override { ASSERT_TRUE(editor_->Started()); }

  static SYSTEMTIME Now() {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    return now;
  }

  static App& app() { return editor_->app(); }

  static RunningEditor* editor_;
  static SYSTEMTIME before_;
  static SYSTEMTIME after_;
};

RunningEditor* EditorWindowTest::editor_ = nullptr;
SYSTEMTIME EditorWindowTest::before_{};
SYSTEMTIME EditorWindowTest::after_{};

struct ControlCase {
  int id;
  const wchar_t* className;
  const wchar_t* caption;
  Rect at96;   // pixels at 96 DPI: the table's twips / 15, to the nearest pixel
  Rect at144;  // at 144 DPI: twips / 10
};

// Worked out by hand from the layout table: at 96 DPI 5640 / 15 = 376,
// 1092 / 15 = 72.8 -> 73, 252 / 15 = 16.8 -> 17, 5412 / 15 = 360.8 -> 361,
// 264 / 15 = 17.6 -> 18; at 144 DPI 1092 / 10 = 109.2 -> 109, 264 / 10 =
// 26.4 -> 26, and so on.
const ControlCase kControls[] = {
    {IDC_COMMAND8, L"Button", L"処理の実行", {376, 264, 73, 17}, {564, 396, 109, 25}},
    {IDC_COMMAND7, L"Button", L"日付ﾃﾞｰﾀｸﾘｱ", {376, 240, 73, 17}, {564, 360, 109, 25}},
    {IDC_COMMAND6, L"Button", L"最後に追加", {376, 128, 73, 17}, {564, 192, 109, 25}},
    {IDC_COMMAND5, L"Button", L"取消終了", {376, 200, 73, 17}, {564, 300, 109, 25}},
    {IDC_COMMAND4, L"Button", L"保存終了", {376, 176, 73, 17}, {564, 264, 109, 25}},
    {IDC_COMMAND3, L"Button", L"削除", {376, 104, 73, 17}, {564, 156, 109, 25}},
    {IDC_COMMAND2, L"Button", L"挿入", {376, 80, 73, 17}, {564, 120, 109, 25}},
    {IDC_COMMAND1, L"Button", L"参照", {376, 32, 73, 17}, {564, 48, 109, 25}},
    {IDC_TEXT1, L"Edit", L"", {8, 32, 361, 18}, {12, 48, 541, 26}},
    {IDC_LIST1, L"ListBox", L"", {8, 80, 361, 196}, {12, 120, 541, 294}},
    {IDC_LABEL2, L"Static", L"登録内容", {8, 64, 73, 17}, {12, 96, 109, 25}},
    {IDC_LABEL1, L"Static", L"編集エリア", {8, 16, 73, 17}, {12, 24, 109, 25}},
};

TEST_F(EditorWindowTest, EveryControlHasItsCaptionAndPlace) {
  for (const ControlCase& control : kControls) {
    SCOPED_TRACE(control.id);
    const testing::gui::Window window = app().Control(control.id);
    ASSERT_TRUE(window.Exists());
    EXPECT_EQ(window.ClassName(), control.className);
    EXPECT_EQ(window.Text(), control.caption);
    EXPECT_EQ(window.RectInParent(), control.at96);
    EXPECT_TRUE(window.Visible());
    EXPECT_FALSE(window.Style() & WS_DISABLED);
  }
}

TEST_F(EditorWindowTest, ClientAreaIsTheTablesAndTheBorderIsFixed) {
  // 6825 x 4500 twips.
  EXPECT_EQ(app().Main().ClientRect(), (Rect{0, 0, 455, 300}));
  const LONG_PTR style = app().Main().Style();
  EXPECT_FALSE(style & WS_THICKFRAME);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_TRUE(style & WS_CAPTION);
  EXPECT_TRUE(style & WS_SYSMENU);
}

TEST_F(EditorWindowTest, FrameIsARuleAsWideAsTheWindow) {
  const testing::gui::Window frame = app().Control(IDC_FRAME1);
  ASSERT_TRUE(frame.Exists());
  EXPECT_EQ(frame.Text(), L"");
  // 24 twips high, as wide as the window's outer width.
  EXPECT_EQ(frame.RectInParent(), (Rect{0, 0, app().Main().ScreenRect().width, 2}));
}

TEST_F(EditorWindowTest, TitleIsThePrefixSixteenSpacesAndTheLoadTime) {
  const std::wstring title = app().Main().Text();
  const std::wregex form(L"設定 For Ombrel {16}(\\d\\d)-(\\d\\d)-(\\d{4})  (\\d\\d):(\\d\\d):(\\d\\d)");
  std::wsmatch parts;
  ASSERT_TRUE(std::regex_match(title, parts, form)) << ToUtf8(title);
  // Between the start of the program and the moment its window was there.
  const auto seconds = [](int year, int month, int day, int hour, int minute, int second) {
    return ((((static_cast<long long>(year) * 12 + month) * 31 + day) * 24 + hour) * 60 + minute) * 60 +
           second;
  };
  const auto at = [&](const SYSTEMTIME& t) {
    return seconds(t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond);
  };
  const long long shown = seconds(std::stoi(parts[3]), std::stoi(parts[1]), std::stoi(parts[2]),
                                  std::stoi(parts[4]), std::stoi(parts[5]), std::stoi(parts[6]));
  EXPECT_LE(at(before_), shown);
  EXPECT_GE(at(after_), shown);
}

TEST_F(EditorWindowTest, WindowIsCentredAcrossAndEightyTwipsAboveCentreDown) {
  const Rect window = app().Main().ScreenRect();
  // In twips at 96 DPI; halved exactly, 80 subtracted after the halving,
  // then the nearest pixel.
  const double screenWidth = ::GetSystemMetrics(SM_CXSCREEN) * 15.0;
  const double screenHeight = ::GetSystemMetrics(SM_CYSCREEN) * 15.0;
  const double left = (screenWidth - window.width * 15.0) / 2.0;
  const double top = (screenHeight - window.height * 15.0) / 2.0 - 80.0;
  EXPECT_EQ(window.left, static_cast<int>(std::floor(left / 15.0 + 0.5)));
  EXPECT_EQ(window.top, static_cast<int>(std::floor(top / 15.0 + 0.5)));
}

TEST_F(EditorWindowTest, WithoutAListFileTheListAndEditBoxAreEmpty) {
  EXPECT_TRUE(app().ListItems(IDC_LIST1).empty());
  EXPECT_EQ(app().ListSelection(IDC_LIST1), -1);
  EXPECT_EQ(app().Control(IDC_TEXT1).Text(), L"");
  EXPECT_FALSE(ReadBytes(editor_->DatPath()).has_value());
}

// Sets the DPI that programs started from now on in this Wine prefix take,
// for one scope.
class PrefixDpi {
 public:
  explicit PrefixDpi(DWORD dpi) {
    applied_ = ::RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0, KEY_SET_VALUE,
                                 nullptr, &key_, nullptr) == ERROR_SUCCESS &&
               ::RegSetValueExW(key_, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi),
                                sizeof dpi) == ERROR_SUCCESS;
  }
  PrefixDpi(const PrefixDpi&) = delete;
  PrefixDpi& operator=(const PrefixDpi&) = delete;
  ~PrefixDpi() {
    if (key_ == nullptr) return;
    ::RegDeleteValueW(key_, L"LogPixels");
    ::RegCloseKey(key_);
  }
  [[nodiscard]] bool applied() const { return applied_; }

 private:
  HKEY key_ = nullptr;
  bool applied_ = false;
};

TEST(EditorDpiTest, At144DpiEveryPlaceIsTheTablesTwipsOverTen) {
  std::unique_ptr<RunningEditor> editor;
  {
    const PrefixDpi dpi(144);
    ASSERT_TRUE(dpi.applied());
    editor = std::make_unique<RunningEditor>(std::nullopt);
  }
  ASSERT_TRUE(editor->Started());
  // 6825 / 10 = 682.5, to the nearest pixel away from zero.
  EXPECT_EQ(editor->app().Main().ClientRect(), (Rect{0, 0, 683, 450}));
  for (const ControlCase& control : kControls) {
    SCOPED_TRACE(control.id);
    EXPECT_EQ(editor->app().Control(control.id).RectInParent(), control.at144);
  }
  EXPECT_EQ(editor->app().Control(IDC_FRAME1).RectInParent(),
            (Rect{0, 0, editor->app().Main().ScreenRect().width, 2}));
}

// ---------------------------------------------------------------------------
// Loading.

TEST(EditorLoadTest, ThreeEntriesInFileOrderWithTheFirstSelectedAndShown) {
  RunningEditor editor(kThreeEntries);
  ASSERT_TRUE(editor.Started());
  EXPECT_EQ(editor.app().ListItems(IDC_LIST1), kThreeItems);
  EXPECT_EQ(editor.app().ListSelection(IDC_LIST1), 0);
  EXPECT_EQ(editor.app().Control(IDC_TEXT1).Text(), kThreeItems[0]);
}

TEST(EditorLoadTest, EmptyFileLoadsAsAnEmptyList) {
  RunningEditor editor(std::string{});
  ASSERT_TRUE(editor.Started());
  EXPECT_TRUE(editor.app().ListItems(IDC_LIST1).empty());
  EXPECT_EQ(editor.app().ListSelection(IDC_LIST1), -1);
  EXPECT_EQ(editor.app().Control(IDC_TEXT1).Text(), L"");
}

TEST(EditorLoadTest, ListBeyond32767EntriesLoadsAndSavesWhole) {
  constexpr int kCount = 40000;
  std::string file;
  for (int i = 0; i < kCount; ++i) file += "entry" + std::to_string(i) + "\r\n";
  RunningEditor editor(file);
  ASSERT_TRUE(editor.Started());
  const testing::gui::Window list = editor.app().Control(IDC_LIST1);
  EXPECT_EQ(list.Send(LB_GETCOUNT), kCount);
  for (const int index : {0, 32766, 32767, 32768, kCount - 1}) {
    wchar_t item[32] = {};
    list.Send(LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(item));
    EXPECT_EQ(std::wstring(item), L"entry" + std::to_wstring(index));
  }
  // Saved by "保存(&S)": every entry comes back, byte for byte.
  const std::uint64_t loaded = editor.DatWriteTime();
  ::Sleep(20);  // a save is seen by its time
  ASSERT_TRUE(editor.app().Menu("alt+f s"));
  // Waited for whole: once, under load, the new time was seen and the file
  // could not be opened the moment after.
  EXPECT_TRUE(WaitUntil([&] { return editor.DatWriteTime() != loaded && editor.DatBytes() == file; }));
}

// ---------------------------------------------------------------------------
// The keyboard.

TEST(EditorKeyboardTest, ListHasTheFocusAndTabVisitsTheControlsInTableOrder) {
  RunningEditor editor(kThreeEntries);
  ASSERT_TRUE(editor.Started());
  App& app = editor.app();
  EXPECT_EQ(app.FocusId(), IDC_LIST1);
  const int order[] = {IDC_TEXT1,    IDC_COMMAND1, IDC_COMMAND2, IDC_COMMAND3, IDC_COMMAND4,
                       IDC_COMMAND5, IDC_COMMAND6, IDC_COMMAND7, IDC_COMMAND8, IDC_LIST1};
  for (const int expected : order) {
    ASSERT_TRUE(testing::gui::PressKeys(app.Main(), "Tab"));
    EXPECT_TRUE(WaitUntil([&] { return app.FocusId() == expected; }, 3s))
        << "expected " << expected << ", focus on " << app.FocusId();
  }
  ASSERT_TRUE(testing::gui::PressKeys(app.Main(), "shift+Tab"));
  EXPECT_TRUE(WaitUntil([&] { return app.FocusId() == IDC_COMMAND8; }, 3s));
}

TEST(EditorKeyboardTest, EnterAndEscInTheListDoNothing) {
  RunningEditor editor(kThreeEntries);
  ASSERT_TRUE(editor.Started());
  // A default button would save and leave, a cancel button leave.
  ASSERT_TRUE(testing::gui::PressKeys(editor.app().Main(), "Return Escape"));
  EXPECT_TRUE(StaysOpenQuietly(editor.app()));
  EXPECT_EQ(editor.app().ListItems(IDC_LIST1), kThreeItems);
  EXPECT_EQ(editor.DatBytes(), kThreeEntries);
}

TEST(EditorKeyboardTest, HelpMenuAccessKeysShowAboutAndTheHelpPage) {
  RunningEditor editor(std::nullopt);
  ASSERT_TRUE(editor.Started());
  ASSERT_TRUE(editor.app().Menu("alt+h a"));
  const MessageBoxWindow about = editor.app().WaitForMessageBox();
  ASSERT_TRUE(about.Exists());
  EXPECT_EQ(about.Caption(), testing::kEditorCaption);
  EXPECT_EQ(about.Message(), L"ＯｍｂｒｅｌＳｅｔ Ver 1.1.0\r\rCopyright (C) 2026 Ombrel 開発チーム");
  EXPECT_EQ(about.Icon(), Icon::kInformation);
  EXPECT_EQ(about.Buttons(), std::vector<int>{IDOK});
  about.Answer(IDOK);
  EXPECT_TRUE(WaitUntil([&] { return !about.Exists(); }));
  EXPECT_TRUE(StaysOpenQuietly(editor.app()));

  // This folder has no help page: the menu item says so.
  ASSERT_TRUE(editor.app().Menu("alt+h h"));
  const MessageBoxWindow help = editor.app().WaitForMessageBox();
  ASSERT_TRUE(help.Exists());
  EXPECT_EQ(help.Message(), editor.folder() / L"help.htm" + L"がありません。");
  EXPECT_EQ(help.Icon(), Icon::kExclamation);
  help.Answer(IDOK);
  EXPECT_TRUE(StaysOpenQuietly(editor.app()));
}

// 開く日と間隔 by keyboard alone: every setting set through its controls, the
// next opening day following the boxes, a number beyond its range refused
// with its box focused, then everything saved on Enter with the file's other
// lines kept. Shown again as saved; Esc leaves the file alone; a file that
// cannot be written keeps the dialog open.
TEST(SettingsDialogTest, EverySettingSetByKeyboardAndSavedOnEnter) {
  RunningEditor editor(kThreeEntries);
  ASSERT_TRUE(editor.Started());
  App& app = editor.app();
  const std::wstring file = editor.folder() / L"OMBREL.CFG";
  testing::WriteBytes(file, "; handed out\r\n[Ombrel]\r\nExtra=1\r\n");
  ASSERT_TRUE(app.Menu("alt+f d"));
  testing::gui::Window dialog = app.WaitForDialog(L"開く日と間隔");
  ASSERT_TRUE(dialog.Exists());
  EXPECT_EQ(app.FocusId(), IDC_SETTINGS_MONDAY);
  const auto checks = [&dialog] {
    std::string boxes;
    for (int id = IDC_SETTINGS_MONDAY; id <= IDC_SETTINGS_YEAR_END; ++id) {
      boxes += dialog.Child(id).Send(BM_GETCHECK) == BST_CHECKED ? '1' : '0';
    }
    return boxes;
  };
  const auto numbers = [&dialog] {
    return std::vector<std::wstring>{dialog.Child(IDC_SETTINGS_PAUSE).Text(),
                                     dialog.Child(IDC_SETTINGS_GAP).Text(),
                                     dialog.Child(IDC_SETTINGS_NETWORK).Text()};
  };
  EXPECT_EQ(checks(), "111111100");
  EXPECT_EQ(numbers(), (std::vector<std::wstring>{L"0", L"0", L"0"}));
  SYSTEMTIME now{};
  ::GetLocalTime(&now);
  const std::chrono::year_month_day today = DayOf({now.wYear, now.wMonth, now.wDay, 0, 0, 0});
  EXPECT_EQ(dialog.Child(IDC_SETTINGS_NEXT_DAY).Text(), L"次に開く日: " + DayText(today));

  // Saturday and Sunday off, holidays and the year end skipped, the pause
  // typed, the gap mistyped, the network wait by the arrow key.
  ASSERT_TRUE(
      testing::gui::PressKeys(dialog, "alt+6 alt+7 alt+h alt+y alt+p 1 5 alt+g 9 9 alt+n Up Up Up Return"));
  const MessageBoxWindow box = app.WaitForMessageBox();
  EXPECT_TRUE(testing::IsBox(box, L"0 から 60 までの秒数を入力してください。", Icon::kExclamation, {IDOK}));
  box.Answer(IDOK);
  EXPECT_TRUE(WaitUntil([&] { return app.FocusId() == IDC_SETTINGS_GAP; }));
  EXPECT_EQ(checks(), "111110011");
  Settings chosen;
  ASSERT_TRUE(chosen.Set(Setting::kDays, 0b0011111) && chosen.Set(Setting::kSkipHolidays, 1) &&
              chosen.Set(Setting::kSkipYearEnd, 1));
  EXPECT_EQ(dialog.Child(IDC_SETTINGS_NEXT_DAY).Text(),
            L"次に開く日: " + DayText(*NextOpeningDay(chosen, today)));
  ASSERT_TRUE(testing::gui::PressKeys(dialog, "2 Return"));
  EXPECT_TRUE(WaitUntil([&] { return !dialog.Exists(); }));
  const std::string saved =
      "; handed out\r\n[Ombrel]\r\nExtra=1\r\nDays=1111100\r\nSkipHolidays=1\r\nSkipYearEnd=1\r\n"
      "PauseSeconds=15\r\nGapSeconds=2\r\nNetworkWaitSeconds=3\r\n";
  EXPECT_EQ(ReadBytes(file), saved);

  ASSERT_TRUE(app.Menu("alt+f d"));
  dialog = app.WaitForDialog(L"開く日と間隔");
  ASSERT_TRUE(dialog.Exists());
  EXPECT_EQ(checks(), "111110011");
  EXPECT_EQ(numbers(), (std::vector<std::wstring>{L"15", L"2", L"3"}));
  ASSERT_TRUE(testing::gui::PressKeys(dialog, "alt+1 Escape"));
  EXPECT_TRUE(WaitUntil([&] { return !dialog.Exists(); }));
  EXPECT_EQ(ReadBytes(file), saved);

  const ImmutablePath readOnly(file);
  ASSERT_TRUE(readOnly);
  ASSERT_TRUE(app.Menu("alt+f d"));
  dialog = app.WaitForDialog(L"開く日と間隔");
  ASSERT_TRUE(testing::gui::PressKeys(dialog, "Return"));
  const MessageBoxWindow failed = app.WaitForMessageBox();
  EXPECT_TRUE(testing::IsBox(failed, file + L"を保存できませんでした。", Icon::kExclamation, {IDOK}));
  failed.Answer(IDOK);
  EXPECT_TRUE(StaysOpenQuietly(app));
  EXPECT_TRUE(dialog.Exists());
  ASSERT_TRUE(testing::gui::PressKeys(dialog, "Escape"));
  EXPECT_TRUE(WaitUntil([&] { return !dialog.Exists(); }));
  EXPECT_EQ(ReadBytes(file), saved);
}

// ファイル → チームの一覧 opens the team's list read-only over the window,
// which still shows the person's own list.
TEST(TeamWindowTest, OpensFromTheMenuWithTheTeamFolderAndItsEntries) {
  const testing::TempFolder team;
  testing::WriteBytes(team / L"OMBREL.DAT", "C:\\team.exe\r\n");
  RunningEditor editor(kThreeEntries);
  ASSERT_TRUE(editor.Started());
  App& app = editor.app();
  testing::WriteBytes(editor.folder() / L"OMBREL.CFG",
                      "[Ombrel]\r\nTeamFolder=" + ToUtf8(team.path()) + "\r\n");
  ASSERT_TRUE(app.Menu("alt+f t"));
  const testing::gui::Window window = app.WaitForDialog(L"チームの一覧");
  ASSERT_TRUE(window.Exists());
  EXPECT_EQ(window.Child(IDC_TEAM_STATE).Text(), L"チームのフォルダー: " + team.path() + L" (読み込めます)");
  const std::vector<testing::gui::ReportList::Row> rows =
      testing::gui::ReportList(window.Child(IDC_TEAM_LIST).hwnd()).Rows(3);
  ASSERT_EQ(rows.size(), 1U);
  EXPECT_EQ(rows[0].columns, (std::vector<std::wstring>{L"C:\\team.exe", L"毎日", L"開きます"}));
  ASSERT_TRUE(testing::gui::PressKeys(window, "Escape"));
  EXPECT_TRUE(WaitUntil([&] { return !window.Exists(); }));
  EXPECT_EQ(app.ListItems(IDC_LIST1), kThreeItems);
}

TEST(EditorMouseTest, DoubleClickCopiesTheEntryIntoTheEditBox) {
  RunningEditor editor(kThreeEntries);
  ASSERT_TRUE(editor.Started());
  ASSERT_TRUE(editor.app().DoubleClickListItem(IDC_LIST1, 2));
  EXPECT_TRUE(WaitUntil([&] { return editor.app().Control(IDC_TEXT1).Text() == kThreeItems[2]; }))
      << ToUtf8(editor.app().Control(IDC_TEXT1).Text());
  EXPECT_EQ(editor.app().ListSelection(IDC_LIST1), 2);
}

// The open-file dialog behind "参照" (Command1), as the window sets it up.
constexpr int kFileTypeCombo = 0x470;  // cmb1 of the standard dialog
constexpr int kFileNameCombo = 0x47C;  // cmb13

TEST(EditorBrowseTest, DialogHasTheTitleAndTheFourFiltersAndCancelChangesNothing) {
  RunningEditor editor(kThreeEntries);
  ASSERT_TRUE(editor.Started());
  editor.app().Click(IDC_COMMAND1);
  const testing::gui::Window dialog = editor.app().WaitForDialog(L"ファイルの選択");
  ASSERT_TRUE(dialog.Exists());
  const testing::gui::Window types = dialog.Child(kFileTypeCombo);
  std::vector<std::wstring> labels;
  for (LRESULT i = 0; i < types.Send(CB_GETCOUNT); ++i) {
    wchar_t label[128] = {};
    types.Send(CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(label));
    labels.emplace_back(label);
  }
  EXPECT_EQ(labels, (std::vector<std::wstring>{L"アプリケーション(*.EXE)", L"バッチファイル(*.BAT)",
                                               L"コマンドファイル(*.COM)", L"すべてのファイル"}));
  EXPECT_EQ(types.Send(CB_GETCURSEL), 0);
  dialog.Child(IDCANCEL).Post(BM_CLICK);
  EXPECT_TRUE(WaitUntil([&] { return !dialog.Exists(); }));
  EXPECT_TRUE(StaysOpenQuietly(editor.app()));
  EXPECT_EQ(editor.app().Control(IDC_TEXT1).Text(), kThreeItems[0]);
  EXPECT_EQ(editor.app().ListItems(IDC_LIST1), kThreeItems);
}

TEST(EditorBrowseTest, ChosenFileGoesIntoTheEditBoxAndNothingElseChanges) {
  RunningEditor editor(kThreeEntries);
  ASSERT_TRUE(editor.Started());
  const std::wstring tool = editor.folder() / L"道具.exe";
  testing::WriteBytes(tool, "MZ");
  editor.app().Click(IDC_COMMAND1);
  const testing::gui::Window dialog = editor.app().WaitForDialog(L"ファイルの選択");
  ASSERT_TRUE(dialog.Exists());
  dialog.Child(kFileNameCombo).Send(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(tool.c_str()));
  dialog.Child(IDOK).Post(BM_CLICK);
  EXPECT_TRUE(WaitUntil([&] { return editor.app().Control(IDC_TEXT1).Text() == tool; }))
      << ToUtf8(editor.app().Control(IDC_TEXT1).Text());
  EXPECT_EQ(editor.app().ListItems(IDC_LIST1), kThreeItems);
  EXPECT_EQ(editor.app().ListSelection(IDC_LIST1), 0);
  // The list did not change: leaving asks nothing.
  ASSERT_TRUE(editor.app().Menu("alt+f e"));
  EXPECT_EQ(editor.app().WaitForExit(), 0U);
}

// ---------------------------------------------------------------------------
// Saving and leaving.

enum class Leave { kSaveMenu, kCommand4, kCommand5, kCanMenu, kEndMenu, kCloseBox };

struct LeaveCase {
  const char* name;
  Leave how;
  bool changed;  // an entry appended with Command6 first
  bool asks;     // the leave question comes
  int answer;    // its answer
  bool saves;    // the list on screen reaches the file
  bool ends;     // the program ends
};

const LeaveCase kLeaveCases[] = {
    {"SaveMenuUnchanged", Leave::kSaveMenu, false, false, 0, true, false},
    {"SaveMenuChanged", Leave::kSaveMenu, true, false, 0, true, false},
    {"Command4Unchanged", Leave::kCommand4, false, false, 0, true, true},
    {"Command4Changed", Leave::kCommand4, true, false, 0, true, true},
    {"Command5Unchanged", Leave::kCommand5, false, false, 0, false, true},
    {"Command5Changed", Leave::kCommand5, true, false, 0, false, true},
    {"CanMenuUnchanged", Leave::kCanMenu, false, false, 0, false, true},
    {"CanMenuChanged", Leave::kCanMenu, true, false, 0, false, true},
    {"EndMenuUnchanged", Leave::kEndMenu, false, false, 0, false, true},
    {"EndMenuChangedYes", Leave::kEndMenu, true, true, IDYES, true, true},
    {"EndMenuChangedNo", Leave::kEndMenu, true, true, IDNO, false, true},
    {"CloseBoxUnchanged", Leave::kCloseBox, false, false, 0, false, true},
    {"CloseBoxChangedYes", Leave::kCloseBox, true, true, IDYES, true, true},
    {"CloseBoxChangedNo", Leave::kCloseBox, true, true, IDNO, false, true},
};

void PrintTo(const LeaveCase& c, std::ostream* out) { *out << c.name; }

bool Perform(App& app, Leave how) {
  switch (how) {
    case Leave::kSaveMenu:
      return app.Menu("alt+f s");
    case Leave::kCommand4:
      app.Click(IDC_COMMAND4);
      return true;
    case Leave::kCommand5:
      app.Click(IDC_COMMAND5);
      return true;
    case Leave::kCanMenu:
      return app.Menu("alt+f c");
    case Leave::kEndMenu:
      return app.Menu("alt+f e");
    case Leave::kCloseBox:
      app.CloseBox();
      return true;
  }
  return false;
}

class EditorLeaveTest : public ::testing::TestWithParam<LeaveCase> {};

TEST_P(EditorLeaveTest, FileBytesAndEndAreAsTheWayOfLeavingSays) {
  const LeaveCase& c = GetParam();
  RunningEditor editor(kThreeEntries);
  ASSERT_TRUE(editor.Started());
  App& app = editor.app();
  if (c.changed) {
    ASSERT_TRUE(editor.Append(kAppended));
  }
  // A save of the list as loaded is seen by the file's time.
  const std::uint64_t loaded = editor.DatWriteTime();
  ::Sleep(20);

  ASSERT_TRUE(Perform(app, c.how));
  if (c.asks) {
    const MessageBoxWindow question = app.WaitForMessageBox();
    ASSERT_TRUE(question.Exists());
    question.Answer(c.answer);
  }
  if (c.ends) {
    EXPECT_EQ(app.WaitForExit(), 0U);
  } else {
    EXPECT_TRUE(WaitUntil([&] { return editor.DatWriteTime() != loaded; }));
    EXPECT_TRUE(StaysOpenQuietly(app));
  }
  const std::string shown = kThreeEntries + (c.changed ? kAppendedLine : "");
  EXPECT_EQ(editor.DatBytes(), c.saves ? shown : kThreeEntries);
  EXPECT_EQ(editor.DatWriteTime() != loaded, c.saves);
  // Nothing of the save's own is left beside the list.
  win::WinSystem system;
  EXPECT_EQ(system.FindFiles(editor.DatPath() + L"*"), std::vector<std::wstring>{editor.DatPath()});

  if (!c.ends) {
    // Saved: the flag is clear, so "終了(&E)" ends without a question.
    ASSERT_TRUE(app.Menu("alt+f e"));
    EXPECT_EQ(app.WaitForExit(), 0U);
  }
}

INSTANTIATE_TEST_SUITE_P(EveryWay, EditorLeaveTest, ::testing::ValuesIn(kLeaveCases),
                         [](const ::testing::TestParamInfo<LeaveCase>& info) { return info.param.name; });

TEST(EditorLeaveQuestionTest, NamesTheListFileAndOffersYesAndNo) {
  RunningEditor editor(kThreeEntries);
  ASSERT_TRUE(editor.Started());
  ASSERT_TRUE(editor.Append(kAppended));
  ASSERT_TRUE(editor.app().Menu("alt+f e"));
  const MessageBoxWindow question = editor.app().WaitForMessageBox();
  ASSERT_TRUE(question.Exists());
  EXPECT_EQ(question.Message(), L"情報データを修正中です\r" + editor.DatPath() + L"を保存しますか？");
  EXPECT_EQ(question.Caption(), testing::kEditorCaption);
  EXPECT_EQ(question.Icon(), Icon::kExclamation);
  EXPECT_EQ(question.Buttons(), (std::vector<int>{IDYES, IDNO}));
  EXPECT_EQ(question.DefaultButton(), IDYES);
  question.Answer(IDNO);
  EXPECT_EQ(editor.app().WaitForExit(), 0U);
}

TEST(EditorSaveTest, SaveOfAMissingListCreatesAnEmptyFile) {
  RunningEditor editor(std::nullopt);
  ASSERT_TRUE(editor.Started());
  ASSERT_TRUE(editor.app().Menu("alt+f s"));
  EXPECT_TRUE(WaitUntil([&] { return editor.DatBytes().has_value(); }));
  EXPECT_EQ(editor.DatBytes(), "");
  ASSERT_TRUE(editor.app().Menu("alt+f e"));
  EXPECT_EQ(editor.app().WaitForExit(), 0U);
}

TEST(EditorSaveFailureTest, ReadOnlyFolderWarnsAndKeepsTheWindowAndTheList) {
  RunningEditor editor(kThreeEntries);
  ASSERT_TRUE(editor.Started());
  App& app = editor.app();
  ASSERT_TRUE(editor.Append(kAppended));
  std::vector<std::wstring> shown = kThreeItems;
  shown.push_back(kAppended);
  const std::wstring warning = editor.DatPath() + L"を保存できませんでした。";
  {
    const ImmutablePath readOnly(editor.folder().path());
    ASSERT_TRUE(readOnly.applied());

    // "保存(&S)": the warning, then the window as it was.
    ASSERT_TRUE(app.Menu("alt+f s"));
    const MessageBoxWindow failed = app.WaitForMessageBox();
    ASSERT_TRUE(failed.Exists());
    EXPECT_EQ(failed.Message(), warning);
    EXPECT_EQ(failed.Caption(), testing::kEditorCaption);
    EXPECT_EQ(failed.Icon(), Icon::kExclamation);
    EXPECT_EQ(failed.Buttons(), std::vector<int>{IDOK});
    failed.Answer(IDOK);
    EXPECT_TRUE(StaysOpenQuietly(app));
    EXPECT_EQ(app.ListItems(IDC_LIST1), shown);

    // "終了(&E)" and Yes: the save fails again, and the program stays.
    ASSERT_TRUE(app.Menu("alt+f e"));
    const MessageBoxWindow question = app.WaitForMessageBox();
    ASSERT_TRUE(question.Exists());
    question.Answer(IDYES);
    EXPECT_TRUE(WaitUntil([&] {
      const MessageBoxWindow box = app.CurrentMessageBox();
      return box && box.hwnd() != question.hwnd() && box.Message() == warning;
    }));
    app.CurrentMessageBox().Answer(IDOK);
    EXPECT_TRUE(StaysOpenQuietly(app));
    EXPECT_EQ(app.ListItems(IDC_LIST1), shown);
    EXPECT_EQ(editor.DatBytes(), kThreeEntries);
  }
  // Writable again: the flag is still set, so leaving still offers to save.
  ASSERT_TRUE(app.Menu("alt+f e"));
  const MessageBoxWindow again = app.WaitForMessageBox();
  ASSERT_TRUE(again.Exists());
  again.Answer(IDYES);
  EXPECT_EQ(app.WaitForExit(), 0U);
  EXPECT_EQ(editor.DatBytes(), kThreeEntries + kAppendedLine);
}

// ---------------------------------------------------------------------------
// A picture of the window for the README, taken on the virtual display.

TEST(EditorScreenshotTest, WindowIsSavedAsAPicture) {
  RunningEditor editor(kThreeEntries);
  ASSERT_TRUE(editor.Started());
  const std::wstring bin = testing::BinDir();
  const std::wstring picture = bin.substr(0, bin.rfind(L'\\')) + L"\\screenshots\\OmbrelSet.png";
  ::DeleteFileW(picture.c_str());
  // As a user who started it sees it: in front, active, drawn completely. A
  // program the test starts does not come to the front by itself.
  ::SetForegroundWindow(editor.app().Main().hwnd());
  ASSERT_TRUE(WaitUntil([&] { return ::GetForegroundWindow() == editor.app().Main().hwnd(); }));
  testing::gui::CaptureWhenDrawn(editor.app().Main().ScreenRect());
  ASSERT_TRUE(testing::gui::SaveScreenshot(editor.app().Main().ScreenRect(), picture));
  const std::optional<std::string> png = ReadBytes(picture);
  ASSERT_TRUE(png.has_value());
  EXPECT_EQ(png->substr(0, 8), "\x89PNG\r\n\x1A\n");
  // Not a blank picture: the window's pixels vary.
  const std::vector<std::uint32_t> pixels = testing::gui::CaptureScreen(editor.app().Main().ScreenRect());
  ASSERT_FALSE(pixels.empty());
  EXPECT_NE(std::count(pixels.begin(), pixels.end(), pixels.front()), static_cast<long>(pixels.size()));
}

}  // namespace
}  // namespace ombrel
