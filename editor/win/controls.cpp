#include "editor/win/controls.h"

#include <commctrl.h>

namespace ombrel::editor {

namespace {

ControlClass ClassOf(ControlKind kind) {
  switch (kind) {
    case ControlKind::kButton:
      return {WC_BUTTONW, BS_PUSHBUTTON | WS_TABSTOP, 0};
    case ControlKind::kEdit:
      return {WC_EDITW, ES_LEFT | ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE};
    case ControlKind::kList:
      // The height is the table's, not rounded to whole lines; a double-click
      // must reach the window. Drawn by the window, which shows an entry's
      // own days beside it; the list box keeps the entries' texts.
      return {
          WC_LISTBOXW,
          LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | WS_VSCROLL | WS_TABSTOP,
          WS_EX_CLIENTEDGE};
    case ControlKind::kFrame:
      // Only the top edge of the frame shows: an etched rule.
      return {WC_STATICW, SS_ETCHEDHORZ, 0};
    case ControlKind::kLabel:
      return {WC_STATICW, SS_LEFT | SS_NOPREFIX, 0};
  }
  return {WC_STATICW, 0, 0};
}

}  // namespace

ControlClass ClassOf(SettingsControlKind kind) {
  switch (kind) {
    case SettingsControlKind::kLabel:
      return {WC_STATICW, SS_LEFT, 0};
    case SettingsControlKind::kWeekday:
    case SettingsControlKind::kCheck:
    case SettingsControlKind::kMonth:
      return {WC_BUTTONW, BS_AUTOCHECKBOX | WS_TABSTOP, 0};
    case SettingsControlKind::kRadio:
      // Checked by the dialog: its row of ways is not one group of the
      // dialog manager, since boxes stand between them.
      return {WC_BUTTONW, BS_RADIOBUTTON | WS_TABSTOP, 0};
    case SettingsControlKind::kSeconds:
      return {WC_EDITW, ES_RIGHT | ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE};
    case SettingsControlKind::kDates:
      return {WC_EDITW, ES_LEFT | ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE};
    case SettingsControlKind::kUpDown:
      // Its arrows and the arrow keys in its box write the number into it.
      return {UPDOWN_CLASSW, UDS_SETBUDDYINT | UDS_ARROWKEYS | UDS_NOTHOUSANDS, 0};
    case SettingsControlKind::kChoice:
      return {WC_COMBOBOXW, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0};
    case SettingsControlKind::kUnit:
    case SettingsControlKind::kNextDay:
    case SettingsControlKind::kPolicyNote:
      return {WC_STATICW, SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS, 0};
    case SettingsControlKind::kDefaultButton:
      return {WC_BUTTONW, BS_DEFPUSHBUTTON | WS_TABSTOP, 0};
    case SettingsControlKind::kButton:
      return {WC_BUTTONW, BS_PUSHBUTTON | WS_TABSTOP, 0};
  }
  return {WC_STATICW, 0, 0};
}

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
