// What each of the editor's dialogs holds besides its own controls: its
// handle, the view that gives its texts, the DPI it is drawn at and the font
// of that DPI. A dialog derives from DialogWindow, answers its messages in
// Handle(dialog, message, wParam, lParam) and names its style kStyle;
// ShowDialog runs it.
#pragma once

#include <windows.h>

#include <string>

#include "common/win/scoped.h"
#include "editor/model/editor.h"
#include "editor/win/dialog_frame.h"
#include "editor/win/dpi.h"

namespace ombrel::editor {

class DialogWindow {
 public:
  DialogWindow(const DialogWindow&) = delete;
  DialogWindow& operator=(const DialogWindow&) = delete;

 protected:
  DialogWindow(HINSTANCE instance, EditorView& view, DWORD style)
      : instance_(instance), view_(view), style_(style) {}
  ~DialogWindow() = default;

  // The first steps of WM_INITDIALOG: the dialog's handle, its caption, and
  // the program's icon on it as on the editor's own window.
  void Begin(HWND dialog, int titleId);

  // A control of the dialog, made without a place: the geometry table gives
  // it one once the DPI is known.
  HWND AddControl(const wchar_t* windowClass, DWORD style, DWORD exStyle, int id,
                  const std::wstring& caption) const;

  // Draws at `dpi` from now on, with the user-interface font of that DPI
  // given to each control of `controls` (a geometry table: its rows' ids).
  template <typename Table>
  void UseDpi(UINT dpi, const Table& controls, bool redraw) {
    UseDpi(dpi);
    for (const auto& layout : controls) {
      ::SendMessageW(Item(layout.id), WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()),
                     redraw ? TRUE : FALSE);
    }
  }

  // The dialog's outer size for a client area of these twips at its DPI.
  [[nodiscard]] SIZE OuterSize(int clientWidthTwips, int clientHeightTwips) const;

  [[nodiscard]] HWND Item(int id) const { return ::GetDlgItem(hwnd_, id); }
  [[nodiscard]] HWND hwnd() const { return hwnd_; }
  [[nodiscard]] HINSTANCE instance() const { return instance_; }
  [[nodiscard]] EditorView& view() const { return view_; }
  [[nodiscard]] int dpi() const { return dpi_; }

 private:
  void UseDpi(UINT dpi);

  HINSTANCE instance_;
  EditorView& view_;
  DWORD style_;
  HWND hwnd_ = nullptr;
  int dpi_ = USER_DEFAULT_SCREEN_DPI;
  win::ScopedFont font_;
};

// Runs `window` as a modal dialog over `owner`, which it disables meanwhile;
// returns when the dialog has ended.
template <typename Window>
void ShowDialog(HINSTANCE instance, HWND owner, Window& window) {
  ShowEmptyDialog(instance, owner, Window::kStyle, &DialogProcedure<Window>,
                  reinterpret_cast<LPARAM>(&window));
}

}  // namespace ombrel::editor
