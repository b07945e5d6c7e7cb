// What each of the editor's dialogs holds besides its own controls: its
// handle, the view that gives its texts, the DPI it is drawn at and the font
// of that DPI. A dialog derives from DialogWindow, answers its messages in
// Handle(dialog, message, wParam, lParam) and names its style kStyle;
// ShowDialog runs it.
#pragma once

#include <windows.h>

#include <span>
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

  // For a dialog that can be sized: keeps its client area at least
  // `leastWidthTwips` x `leastHeightTwips` (WM_GETMINMAXINFO), and at a new
  // DPI (WM_DPICHANGED) calls `drawAt` with it, then takes the rectangle
  // Windows suggests. False for any other message.
  template <typename DrawAt>
  bool HandleSizing(UINT message, WPARAM wParam, LPARAM lParam, int leastWidthTwips, int leastHeightTwips,
                    DrawAt drawAt) {
    if (message == WM_GETMINMAXINFO) {
      const SIZE least = OuterSize(leastWidthTwips, leastHeightTwips);
      reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = {least.cx, least.cy};
      return true;
    }
    if (message != WM_DPICHANGED) return false;
    drawAt(static_cast<UINT>(HIWORD(wParam)));
    const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
    ::SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                   suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    return true;
  }

  // A report list's columns, headed by the string table's `headingsId`
  // (the headings separated by "|"), as many as the widths given later.
  void AddColumns(HWND list, int headingsId, std::size_t count) const;
  // Their widths at the dialog's DPI.
  void SetColumnWidths(HWND list, std::span<const int> widthsTwips) const;

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
