#include "editor/win/dialog_frame.h"

#include <algorithm>
#include <utility>

#include "editor/resource.h"

namespace ombrel::editor {

namespace {

// The template of a dialog with no controls of its own.
struct alignas(4) EmptyDialog {
  DLGTEMPLATE header;
  WORD menu;
  WORD windowClass;
  WORD title;
};

}  // namespace

void ShowEmptyDialog(HINSTANCE instance, HWND owner, DWORD style, DLGPROC procedure, LPARAM parameter) {
  EmptyDialog dialog{};
  dialog.header.style = style;
  ::DialogBoxIndirectParamW(instance, &dialog.header, owner, procedure, parameter);
}

void SetProgramIcon(HINSTANCE instance, HWND dialog) {
  for (const auto& [which, metric] : {std::pair{ICON_SMALL, SM_CXSMICON}, std::pair{ICON_BIG, SM_CXICON}}) {
    const int size = ::GetSystemMetrics(metric);
    ::SendMessageW(dialog, WM_SETICON, which,
                   reinterpret_cast<LPARAM>(::LoadImageW(instance, MAKEINTRESOURCEW(IDI_OMBREL), IMAGE_ICON,
                                                         size, size, LR_SHARED)));
  }
}

void PlaceCentredOver(HWND dialog, HWND owner, SIZE size) {
  RECT over{};
  ::GetWindowRect(owner != nullptr ? owner : dialog, &over);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  ::GetMonitorInfoW(::MonitorFromRect(&over, MONITOR_DEFAULTTONEAREST), &monitor);
  const RECT& work = monitor.rcWork;
  const int left =
      std::max<int>(work.left, std::min<int>(work.right - size.cx, (over.left + over.right - size.cx) / 2));
  const int top =
      std::max<int>(work.top, std::min<int>(work.bottom - size.cy, (over.top + over.bottom - size.cy) / 2));
  ::SetWindowPos(dialog, nullptr, left, top, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace ombrel::editor
