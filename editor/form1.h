// Form1, the editor's one window: the controls of the layout table, the menu
// bar, and the view through which the editor's commands see them. Every
// decision lives in Editor; this class turns window messages into its
// handlers and its requests into controls, message boxes and dialogs.
#pragma once

#include <windows.h>

#include <array>
#include <optional>
#include <string>

#include "editor.h"
#include "resource.h"
#include "scoped.h"
#include "win_open.h"
#include "win_system.h"

namespace ombrel::editor {

class Form1 final : public EditorView {
 public:
  explicit Form1(HINSTANCE instance);
  ~Form1() override;

  // Creates the window and its controls, not yet visible. False when the
  // system refused.
  bool Create();
  // Form_Load, then the window becomes visible with List1 focused.
  void Show(int showCommand);
  // Gives the window's keyboard interface (Tab between the controls) the
  // first look at a message of the loop; true when it was handled.
  bool PreTranslateMessage(MSG& message);

  [[nodiscard]] HWND hwnd() const { return hwnd_; }

  // EditorView.
  std::ptrdiff_t ListCount() override;
  std::wstring ListItem(std::ptrdiff_t index) override;
  void InsertListItem(std::ptrdiff_t index, const std::wstring& text) override;
  void RemoveListItem(std::ptrdiff_t index) override;
  std::ptrdiff_t ListSelection() override;
  void SetListSelection(std::ptrdiff_t index) override;
  void ReserveListItems(std::size_t count, std::size_t characters) override;
  std::wstring EditText() override;
  void SetEditText(const std::wstring& text) override;
  std::wstring LoadText(int id) override;
  Answer ShowMessage(MessageKind kind, const std::wstring& text) override;
  std::optional<std::wstring> ShowOpenFileDialog(const std::wstring& title,
                                                 const std::wstring& filter) override;
  WindowHandle Handle() override;
  void EndProgram() override;

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  bool OnCreate();
  void OnCommand(int id, int code);
  void OnClose();
  void OnActivate(WPARAM wParam);
  void OnSetFocus();
  void OnDpiChanged(UINT dpi, const RECT& suggested);
  void OnDestroy();
  void OnNcDestroy();

  // Form_Load.
  void Load();
  void ProcessPendingMessages();

  bool CreateControls();
  void CreateFonts();
  void PlaceControls();
  void StretchFrame();
  [[nodiscard]] SIZE OuterSize() const;
  [[nodiscard]] HWND Control(int id) const;

  HINSTANCE instance_;
  HWND hwnd_ = nullptr;
  // By control ID, from IDC_FRAME1 on; asking the window for a child each
  // time costs a round trip to the window system, which a long list feels.
  std::array<HWND, IDC_LABEL2 - IDC_FRAME1 + 1> controls_{};
  UINT dpi_ = USER_DEFAULT_SCREEN_DPI;
  win::ScopedFont uiFont_;
  win::ScopedFont command7Font_;
  // The control that gets the focus back when the window is activated again.
  HWND lastFocus_ = nullptr;
  // Set once the program is ending: no command may run after that.
  bool ending_ = false;

  win::WinSystem system_;
  win::WinOpenPort open_;
  Editor editor_;
};

}  // namespace ombrel::editor
