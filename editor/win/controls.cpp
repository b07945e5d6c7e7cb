#include "editor/win/controls.h"

#include <commctrl.h>

namespace ombrel::editor {

namespace {

struct ControlClass {
  const wchar_t* className;
  DWORD style;
  DWORD exStyle;
};

ControlClass ClassOf(ControlKind kind) {
  switch (kind) {
    case ControlKind::kButton:
      return {WC_BUTTONW, BS_PUSHBUTTON | WS_TABSTOP, 0};
    case ControlKind::kEdit:
      return {WC_EDITW, ES_LEFT | ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE};
    case ControlKind::kList:
      // The height is the table's, not rounded to whole lines; a double-click
      // must reach the window.
      return {WC_LISTBOXW, LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE};
    case ControlKind::kFrame:
      // Only the top edge of the frame shows: an etched rule.
      return {WC_STATICW, SS_ETCHEDHORZ, 0};
    case ControlKind::kLabel:
      return {WC_STATICW, SS_LEFT | SS_NOPREFIX, 0};
  }
  return {WC_STATICW, 0, 0};
}

}  // namespace

HWND CreateControl(HWND parent, HINSTANCE instance, const ControlLayout& layout,
                   const std::wstring& caption) {
  const ControlClass kind = ClassOf(layout.kind);
  return ::CreateWindowExW(kind.exStyle, kind.className, caption.c_str(), WS_CHILD | WS_VISIBLE | kind.style,
                           0, 0, 0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(layout.id)),
                           instance, nullptr);
}

std::wstring WindowText(HWND control) {
  std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(control)) + 1, L'\0');
  text.resize(
      static_cast<std::size_t>(::GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
  return text;
}

}  // namespace ombrel::editor
