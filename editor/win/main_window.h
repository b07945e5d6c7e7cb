// The editor's one window: the controls of the layout table, the menu bar,
// and the view through which the editor's commands see them. Every decision
// lives in Editor; this class turns window messages into its commands and its
// requests into controls, message boxes and dialogs.
#pragma once

#include <windows.h>

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "common/win/scoped.h"
#include "common/win/win_open.h"
#include "common/win/win_policy.h"
#include "common/win/win_system.h"
#include "editor/model/editor.h"
#include "editor/resource.h"
#include "editor/win/dialogs.h"
#include "editor/win/entry_days_window.h"
#include "editor/win/file_drop.h"
#include "editor/win/list_box.h"
#include "editor/win/record_window.h"
#include "editor/win/scheduled_task.h"
#include "editor/win/settings_window.h"
#include "editor/win/startup_shortcut.h"
#include "editor/win/team_window.h"
#include "editor/win/window_clock.h"

namespace ombrel::editor {

class MainWindow final : public EditorView {
 public:
  // A second editor of the same folder finds the first one's window by it.
  static constexpr wchar_t kClassName[] = L"OmbrelSetForm1";
  // Posted by a second editor started with /record: the run record's window
  // to the front.
  static constexpr UINT kShowRecordMessage = WM_APP + 1;

  explicit MainWindow(HINSTANCE instance);
  ~MainWindow() override;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Creates the window and its controls, not yet visible. False when the
  // system refused.
  [[nodiscard]] bool Create();
  // Loads the window (placement, title, the list), then makes it visible
  // with List1 focused, and with the run record's window in front when
  // `showRecord` (/record). False when the list could not be read: the user
  // was told, and the window is gone without having been shown.
  [[nodiscard]] bool Show(int showCommand, bool showRecord);
  // Gives the window's keyboard interface (Tab between the controls) the
  // first look at a message of the loop; true when it was handled.
  [[nodiscard]] bool PreTranslateMessage(MSG& message);

  // EditorView.
  [[nodiscard]] bool ShowList(const std::vector<std::wstring>& entries) override {
    return list_.Fill(entries);
  }
  void ShowInserted(std::ptrdiff_t index, const std::wstring& entry) override { list_.Insert(index, entry); }
  void ShowRemoved(std::ptrdiff_t index) override { list_.Remove(index); }
  void ShowMoved(std::ptrdiff_t from, std::ptrdiff_t to) override { list_.Move(from, to); }
  void ShowSelection(std::ptrdiff_t index) override { list_.Select(index); }
  void ShowDaysChanged(std::ptrdiff_t index) override { list_.Redraw(index); }
  [[nodiscard]] std::wstring EditText() override;
  void SetEditText(const std::wstring& text) override { ::SetWindowTextW(Control(IDC_TEXT1), text.c_str()); }
  [[nodiscard]] std::wstring LoadText(int id) override { return LoadProgramText(instance_, id); }
  Answer ShowMessage(MessageKind kind, const std::wstring& text) override;
  [[nodiscard]] std::optional<std::wstring> ShowOpenFileDialog(const std::wstring& title,
                                                               const std::wstring& filter) override {
    return editor::ShowOpenFileDialog(hwnd_, title, filter);
  }
  WindowHandle Handle() override;
  void ShowStartWarning(bool shown) override;
  void ShowRunRecord(RecordPage& page) override { ShowRecordWindow(instance_, hwnd_, *this, page); }
  void ShowSettings(SettingsPage& page) override { ShowSettingsWindow(instance_, hwnd_, *this, page); }
  void ShowEntryDays(EntryDaysPage& page) override { ShowEntryDaysWindow(instance_, hwnd_, *this, page); }
  void ShowTeamList(TeamPage& page) override { ShowTeamWindow(instance_, hwnd_, *this, page); }
  void EndProgram() override;

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  bool OnCreate();
  // Asks how both ways to start Ombrel stand on a thread of its own (COM,
  // the Startup folder's shortcuts, the Task Scheduler), so that the window
  // is there and answers meanwhile; the answer comes as kStartHealthMessage.
  void AskStartHealth();
  void OnCommand(int id, int code);
  void OnClose();
  // True when the Windows session may end now.
  bool OnQueryEndSession();
  void OnEndSession(bool sessionEnds);
  void OnInitMenuPopup(HMENU menu);
  void OnActivate(WPARAM wParam);
  void OnSetFocus();
  void OnDpiChanged(UINT dpi, const RECT& suggested);
  void OnDestroy();
  void OnNcDestroy();

  // Placement, title, the rule's width and the list, once, before the window
  // is first shown. False when the list could not be read.
  bool Load();

  bool CreateControls();
  // Fonts, window size and control positions for a DPI; the window keeps its
  // top-left corner at `topLeft`.
  void ApplyDpi(UINT dpi, POINT topLeft);
  void StretchFrame();
  [[nodiscard]] SIZE OuterSize() const;
  // The control with this ID, or null for an ID that is not one of them.
  [[nodiscard]] HWND Control(int id) const;

  HINSTANCE instance_;
  HWND hwnd_ = nullptr;
  // By control ID, from IDC_FRAME1 on; asking the window for a child each
  // time costs a round trip to the window system, which a long list feels.
  std::array<HWND, IDC_LABEL3 - IDC_FRAME1 + 1> controls_{};
  ListBox list_;
  // From creation to destruction of the window.
  std::optional<FileDrop> fileDrop_;
  UINT dpi_ = USER_DEFAULT_SCREEN_DPI;
  win::ScopedFont uiFont_;
  win::ScopedFont dateClearFont_;
  // The control that gets the focus back when the window is activated again.
  HWND lastFocus_ = nullptr;
  // Set once the program is ending: no command may run after that.
  bool ending_ = false;
  // While a menu is open, the line under the list waits for it to close:
  // a window shown or hidden makes Windows send the menu a mouse move,
  // which lights the item under the pointer.
  bool inMenu_ = false;
  std::optional<bool> startWarningAfterMenu_;

  win::WinSystem system_;
  win::WinOpenPort open_;
  StartupShortcut logOnStart_;
  ScheduledTask resumeStart_;
  WindowClock clock_{*this};
  WindowNetworkProbe network_{clock_};
  win::WinPolicy policy_;
  Editor editor_;
};

}  // namespace ombrel::editor
