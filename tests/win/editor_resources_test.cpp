// What OmbrelSet.exe carries besides its code: every text of its string
// table, character for character (full- and half-width, leading and trailing
// spaces), its menu, its version, the launcher's icon and its manifest.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/win/scoped.h"
#include "editor/resource.h"
#include "test_support.h"

namespace ombrel {
namespace {

// The program's image, for its resources only.
class Resources {
 public:
  explicit Resources(const std::wstring& program)
      : image_(::LoadLibraryExW(program.c_str(), nullptr,
                                LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE)) {}
  [[nodiscard]] HMODULE get() const { return image_.get(); }

  [[nodiscard]] std::wstring String(int id) const {
    const wchar_t* text = nullptr;
    const int length = ::LoadStringW(image_.get(), static_cast<UINT>(id), reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 ? std::wstring(text, static_cast<std::size_t>(length)) : L"(none)";
  }

  [[nodiscard]] std::string Bytes(const wchar_t* type, const wchar_t* name) const {
    const HRSRC found =
        ::FindResourceExW(image_.get(), type, name, MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT));
    if (found == nullptr) return {};
    return std::string(static_cast<const char*>(::LockResource(::LoadResource(image_.get(), found))),
                       ::SizeofResource(image_.get(), found));
  }

  // The pixels of the program's one icon: the RT_ICON that its group names.
  [[nodiscard]] std::string IconImage() const {
    const std::string group = Bytes(RT_GROUP_ICON, MAKEINTRESOURCEW(IDI_OMBREL));
    if (group.size() < 6 + 14) return {};
    const int id = static_cast<unsigned char>(group[18]) | (static_cast<unsigned char>(group[19]) << 8);
    return Bytes(RT_ICON, MAKEINTRESOURCEW(id));
  }

 private:
  win::ScopedLibrary image_;
};

struct TextCase {
  int id;
  const wchar_t* text;
};

const TextCase kTexts[] = {
    {IDS_PROGRAM_TITLE, L"OmbrelSet"},
    {IDS_COMMAND1, L"参照"},
    {IDS_COMMAND2, L"挿入"},
    {IDS_COMMAND3, L"削除"},
    {IDS_COMMAND4, L"保存終了"},
    {IDS_COMMAND5, L"取消終了"},
    {IDS_COMMAND6, L"最後に追加"},
    {IDS_COMMAND7, L"日付ﾃﾞｰﾀｸﾘｱ"},
    {IDS_COMMAND8, L"処理の実行"},
    {IDS_LABEL1, L"編集エリア"},
    {IDS_LABEL2, L"登録内容"},
    {IDS_DATE_CLEAR_FONT, L"ＭＳ Ｐゴシック"},
    {IDS_TITLE_PREFIX, L"設定 For Ombrel                "},
    {IDS_BROWSE_TITLE, L"ファイルの選択"},
    {IDS_BROWSE_FILTER,
     L"アプリケーション(*.EXE)|*.EXE|バッチファイル(*.BAT)|*.BAT|コマンドファイル(*.COM)|*.COM|"
     L"すべてのファイル|*.*"},
    {IDS_LEAVE_QUESTION_1, L"情報データを修正中です"},
    {IDS_LEAVE_QUESTION_2, L"を保存しますか？"},
    {IDS_SAVE_FAILED, L"を保存できませんでした。"},
    {IDS_STAMP_FAILED, L"に書き込めませんでした。"},
    {IDS_RUN_AGAIN_1, L"すでに今日1回実行されています。"},
    {IDS_RUN_AGAIN_2, L"    実行しますか？"},
    {IDS_HELP_MISSING, L"がありません。"},
    {IDS_NO_BROWSER_1, L"ヘルプを表示するにはＨＴＭＬ対応のブラウザが必要です。"},
    {IDS_NO_BROWSER_2, L" インターネットエクスプローラなどを準備してください。"},
    {IDS_NO_BROWSER_3, L"   とりあえず 表示しますが、正しく表示できません"},
    {IDS_ABOUT_NAME, L"ＯｍｂｒｅｌＳｅｔ"},
    {IDS_ABOUT_NOTICE, L"Copyright (C) 2026 Ombrel 開発チーム"},
    {IDS_TASK_NOT_REGISTERED, L"を登録できませんでした。"},
    {IDS_TASK_NOT_REMOVED, L"を削除できませんでした。"},
    {IDS_RECORD_TITLE, L"実行の記録"},
    {IDS_RECORD_COLUMNS, L"日時|結果|項目|詳細"},
    {IDS_RECORD_CLOSE, L"閉じる"},
    {IDS_RECORD_CLEAR, L"記録を消去"},
    {IDS_SETTINGS_TITLE, L"開く日と間隔"},
    {IDS_SETTINGS_NEXT_DAY, L"次に開く日: "},
    {IDS_DAYS_TITLE, L"開く日"},
    {IDS_RECORD_NOT_TODAY, L"今日は開かない日"},
    {IDS_LAUNCHER_MISSING, L"がありません。"},
};

TEST(EditorResourcesTest, EveryTextIsExactSpacesAndWidthsIncluded) {
  const Resources program(testing::BinPath(L"OmbrelSet.exe"));
  ASSERT_NE(program.get(), nullptr);
  for (const TextCase& text : kTexts) {
    EXPECT_EQ(program.String(text.id), text.text) << "IDS " << text.id;
  }
  EXPECT_EQ(program.String(IDS_TITLE_PREFIX).size(), std::wstring(L"設定 For Ombrel").size() + 16);
}

// The menu bar, and the list's context menu as one popup without a caption.
TEST(EditorResourcesTest, MenusHaveTheirItemsAccessKeysAndSeparators) {
  const Resources program(testing::BinPath(L"OmbrelSet.exe"));
  ASSERT_NE(program.get(), nullptr);
  const auto caption = [](HMENU menu, int position) {
    wchar_t text[64] = {};
    ::GetMenuStringW(menu, static_cast<UINT>(position), text, 64, MF_BYPOSITION);
    return std::wstring(text);
  };
  struct Item {
    const wchar_t* caption;  // empty: a separator
    UINT id;
  };
  using Popups = std::vector<std::pair<std::wstring, std::vector<Item>>>;
  const std::vector<std::pair<int, Popups>> menus = {
      {IDR_MENU_BAR,
       {{L"ファイル(&F)",
         {{L"保存(&S)", IDM_SAVE},
          {L"", 0},
          {L"取り消し(&C)", IDM_CAN},
          {L"", 0},
          {L"実行の記録(&R)...", IDM_RECORD},
          {L"開く日と間隔(&D)...", IDM_SETTINGS},
          {L"チームの一覧(&T)...", IDM_TEAM},
          {L"", 0},
          {L"ログオン時に Ombrel を実行(&L)", IDM_LOGON},
          {L"ロック解除・復帰時にも実行(&U)", IDM_RESUME},
          {L"", 0},
          {L"終了(&E)", IDM_END}}},
        {L"ヘルプ(&H)", {{L"Ｏｍｂｒｅｌについて(&H)", IDM_HELP}, {L"バージョン情報(&A)", IDM_ABOUT}}}}},
      {IDR_ENTRY_MENU,
       {{L"",
         {{L"この項目を実行(&O)", IDM_ENTRY_OPEN},
          {L"開く日(&A)...", IDM_ENTRY_DAYS},
          {L"", 0},
          {L"上へ移動(&U)", IDM_ENTRY_UP},
          {L"下へ移動(&D)", IDM_ENTRY_DOWN},
          {L"", 0},
          {L"置換(&R)", IDM_ENTRY_REPLACE},
          {L"削除(&X)", IDM_ENTRY_DELETE},
          {L"編集欄へコピー(&C)", IDM_ENTRY_COPY}}}}},
  };
  for (const auto& [menuId, expected] : menus) {
    const win::ScopedMenu bar(::LoadMenuW(program.get(), MAKEINTRESOURCEW(menuId)));
    ASSERT_TRUE(bar.valid()) << menuId;
    ASSERT_EQ(::GetMenuItemCount(bar.get()), static_cast<int>(expected.size()));
    for (std::size_t i = 0; i < expected.size(); ++i) {
      EXPECT_EQ(caption(bar.get(), static_cast<int>(i)), expected[i].first);
      const HMENU popup = ::GetSubMenu(bar.get(), static_cast<int>(i));
      ASSERT_NE(popup, nullptr);
      ASSERT_EQ(::GetMenuItemCount(popup), static_cast<int>(expected[i].second.size()));
      for (std::size_t j = 0; j < expected[i].second.size(); ++j) {
        const Item& item = expected[i].second[j];
        const UINT state = ::GetMenuState(popup, static_cast<UINT>(j), MF_BYPOSITION);
        EXPECT_EQ((state & MF_SEPARATOR) != 0, item.id == 0);
        EXPECT_EQ(caption(popup, static_cast<int>(j)), item.caption);
        if (item.id != 0) {
          // Enabled and unchecked as loaded; the exact caption leaves no room
          // for a shortcut key.
          EXPECT_EQ(state & (MF_GRAYED | MF_DISABLED | MF_CHECKED), 0U);
          EXPECT_EQ(::GetMenuItemID(popup, static_cast<int>(j)), item.id);
        }
      }
    }
  }
}

struct Deliverable {
  const wchar_t* name;
  const wchar_t* description;
};

// Both programs carry the same version, in a Japanese table "041104B0", with
// names after the program; the descriptions reached the programs intact from
// the UTF-8 resource files.
TEST(DeliverablesTest, VersionResourcesOfBothPrograms) {
  const Deliverable programs[] = {
      {L"Ombrel", L"登録したプログラムや文書をその日の最初の起動で開くランチャー"},
      {L"OmbrelSet", L"Ombrel が毎日開くプログラムや文書の一覧を編集する設定プログラム"},
  };
  for (const Deliverable& program : programs) {
    SCOPED_TRACE(ToUtf8(program.name));
    auto info = testing::ReadVersionInfo(testing::BinPath(std::wstring(program.name) + L".exe"));
    ASSERT_TRUE(info.has_value());
    EXPECT_EQ(info->fileVersionMS, MAKELONG(1, 1));
    EXPECT_EQ(info->fileVersionLS, 0U);
    EXPECT_EQ(info->productVersionMS, MAKELONG(1, 1));
    EXPECT_EQ(info->productVersionLS, 0U);
    EXPECT_EQ(info->language, 0x0411);
    EXPECT_EQ(info->codePage, 1200);
    const std::map<std::wstring, std::wstring> expected = {
        {L"FileVersion", L"1.01"},
        {L"ProductVersion", L"1.01"},
        {L"ProductName", program.name},
        {L"InternalName", program.name},
        {L"OriginalFilename", std::wstring(program.name) + L".exe"},
        {L"FileDescription", program.description},
    };
    for (const auto& [key, value] : expected) {
      EXPECT_EQ(info->strings[key], value) << ToUtf8(key);
    }
  }
}

TEST(EditorResourcesTest, IconAndManifestAreTheDeliverables) {
  const std::wstring path = testing::BinPath(L"OmbrelSet.exe");
  const Resources program(path);
  const Resources launcher(testing::BinPath(L"Ombrel.exe"));
  ASSERT_NE(program.get(), nullptr);
  ASSERT_NE(launcher.get(), nullptr);
  // The launcher's picture, pixel for pixel.
  const std::string icon = program.IconImage();
  EXPECT_FALSE(icon.empty());
  EXPECT_EQ(icon, launcher.IconImage());

  const std::string manifest = program.Bytes(RT_MANIFEST, MAKEINTRESOURCEW(1));
  for (const char* wanted : {"level=\"asInvoker\"", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}", "PerMonitorV2",
                             "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""}) {
    EXPECT_NE(manifest.find(wanted), std::string::npos) << wanted;
  }
  EXPECT_EQ(manifest.find("<activeCodePage"), std::string::npos);
}

}  // namespace
}  // namespace ombrel
