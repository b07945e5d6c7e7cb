// What the editor's own dialogs share: a dialog made without controls (the
// window code creates them from its geometry table once it knows its DPI), the
// program's icon on its caption and its place over the editor's window.
#pragma once

#include <windows.h>

#include <exception>

namespace ombrel::editor {

// Shows a modal dialog of `style` without controls over `owner`, which it
// disables meanwhile; `procedure` gets `parameter` with WM_INITDIALOG.
// Returns when the dialog has ended.
void ShowEmptyDialog(HINSTANCE instance, HWND owner, DWORD style, DLGPROC procedure, LPARAM parameter);

// The dialog procedure of a window class: WM_INITDIALOG brings the object,
// whose Handle(dialog, message, wParam, lParam) then answers every message.
// No exception may unwind through the window system's frames: the command it
// met is dropped and the dialog lives on.
template <typename Window>
INT_PTR CALLBACK DialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) ::SetWindowLongPtrW(dialog, DWLP_USER, lParam);
  auto* window = reinterpret_cast<Window*>(::GetWindowLongPtrW(dialog, DWLP_USER));
  if (window == nullptr) return FALSE;
  try {
    return window->Handle(dialog, message, wParam, lParam);
  } catch (const std::exception&) {
    return FALSE;
  }
}

// The caption's small and large icon: the program's.
void SetProgramIcon(HINSTANCE instance, HWND dialog);

// Gives the dialog `size` (outer, in pixels), centred over `owner` and kept
// on its screen's work area.
void PlaceCentredOver(HWND dialog, HWND owner, SIZE size);

}  // namespace ombrel::editor
