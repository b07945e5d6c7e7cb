// What the tests of OmbrelSet's window share: a copy of the program in a
// program folder of its own, started with a given entry list file, and the
// checks and host tricks they all use.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "editor/resource.h"
#include "gui_driver.h"
#include "test_support.h"

namespace ombrel::testing {

inline constexpr wchar_t kEditorWindowClass[] = L"OmbrelSetForm1";
inline constexpr wchar_t kEditorCaption[] = L"OmbrelSet";

// Three entries in an order no sort would keep; one in Japanese, stored in
// code page 932.
inline const std::string kThreeEntries = "C:\\Tools\\b.exe\r\nC:\\Tools\\a.exe\r\n\x83\x81\x83\x82.txt\r\n";
inline const std::vector<std::wstring> kThreeItems = {L"C:\\Tools\\b.exe", L"C:\\Tools\\a.exe", L"メモ.txt"};

// OmbrelSet in a program folder of its own, with the entry list file given.
// With `holdListFor`, another program holds the list without sharing from
// before the editor starts, for that long; `timeout` bounds the wait for the
// window.
class RunningEditor {
 public:
  explicit RunningEditor(const std::optional<std::string>& entryList,
                         std::chrono::milliseconds holdListFor = std::chrono::milliseconds(0),
                         std::chrono::milliseconds timeout = gui::kTimeout) {
    if (entryList) WriteBytes(DatPath(), *entryList);
    if (holdListFor.count() > 0) held_ = std::make_unique<HeldFile>(DatPath(), holdListFor);
    if (CopyProgram(L"OmbrelSet.exe", folder_.path())) {
      app_ = std::make_unique<gui::App>(folder_ / L"OmbrelSet.exe", kEditorWindowClass, timeout);
    }
  }

  [[nodiscard]] bool Started() const { return app_ != nullptr && app_->Started(); }
  [[nodiscard]] gui::App& app() const { return *app_; }
  [[nodiscard]] std::wstring DatPath() const { return folder_ / L"OMBREL.DAT"; }
  [[nodiscard]] std::optional<std::string> DatBytes() const { return ReadBytes(DatPath()); }
  // The list's last-write time: a save that writes what the file already
  // holds is seen by it. Zero without a file.
  [[nodiscard]] std::uint64_t DatWriteTime() const {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(DatPath().c_str(), GetFileExInfoStandard, &data)) return 0;
    return (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32U) |
           data.ftLastWriteTime.dwLowDateTime;
  }
  [[nodiscard]] std::wstring StampPath() const { return folder_ / L"OMBREL.INI"; }
  [[nodiscard]] std::optional<std::string> StampBytes() const { return ReadBytes(StampPath()); }
  [[nodiscard]] const TempFolder& folder() const { return folder_; }

  // Appends a new entry with Command6 ("最後に追加"), which sets the
  // modified flag, and waits until the list shows it.
  [[nodiscard]] bool Append(const std::wstring& text) const {
    // Counted, not read: reading every item of a long list on each look
    // would take longer than the append.
    const gui::Window list = app_->Control(IDC_LIST1);
    const LRESULT before = list.Send(LB_GETCOUNT);
    app_->SetText(IDC_TEXT1, text);
    app_->Click(IDC_COMMAND6);
    return WaitUntil([&] { return list.Send(LB_GETCOUNT) == before + 1; });
  }

  // Chooses `path` in the open-file dialog behind Command1 ("参照") as a user
  // browses to it: its folder typed into the file name box first, which the
  // dialog opens, then its name. Waits until the edit box shows the path.
  [[nodiscard]] bool Browse(const std::wstring& path) const {
    constexpr int kFileNameCombo = 0x47C;  // cmb13 of the standard dialog
    app_->Click(IDC_COMMAND1);
    const gui::Window dialog = app_->WaitForDialog(L"ファイルの選択");
    if (!dialog.Exists()) return false;
    const gui::Window name = dialog.Child(kFileNameCombo);
    const std::size_t slash = path.rfind(L'\\');
    for (const std::wstring& typed : {path.substr(0, slash), path.substr(slash + 1)}) {
      name.Send(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(typed.c_str()));
      dialog.Child(IDOK).Post(BM_CLICK);
      // The dialog empties the box once it has opened the folder.
      WaitUntil([&] { return !dialog.Exists() || name.Text().empty(); }, std::chrono::seconds(3));
    }
    return WaitUntil([&] { return app_->Control(IDC_TEXT1).Text() == path; });
  }

 private:
  TempFolder folder_;
  std::unique_ptr<HeldFile> held_;
  std::unique_ptr<gui::App> app_;
};

// What a message box must be; the text exactly.
inline ::testing::AssertionResult IsBox(const gui::MessageBoxWindow& box, const std::wstring& text,
                                        gui::Icon icon, const std::vector<int>& buttons) {
  if (!box.Exists()) return ::testing::AssertionFailure() << "no message box";
  if (box.Message() != text) return ::testing::AssertionFailure() << "text " << ToUtf8(box.Message());
  if (box.Caption() != kEditorCaption) return ::testing::AssertionFailure() << "another caption";
  if (box.Icon() != icon) return ::testing::AssertionFailure() << "another icon";
  if (box.Buttons() != buttons) return ::testing::AssertionFailure() << "other buttons";
  return ::testing::AssertionSuccess();
}

// The program did not end and shows no message box for a moment.
inline ::testing::AssertionResult StaysOpenQuietly(const gui::App& app) {
  using namespace std::chrono_literals;
  if (app.WaitForExit(600ms)) return ::testing::AssertionFailure() << "the program ended";
  if (const gui::MessageBoxWindow box = app.CurrentMessageBox()) {
    return ::testing::AssertionFailure() << "a message box is shown: " << ToUtf8(box.Message());
  }
  return ::testing::AssertionSuccess();
}

}  // namespace ombrel::testing
