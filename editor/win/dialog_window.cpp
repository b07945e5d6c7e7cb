#include "editor/win/dialog_window.h"

#include <commctrl.h>

#include <vector>

#include "editor/model/layout.h"
#include "editor/model/typed_text.h"

namespace ombrel::editor {

void DialogWindow::Begin(HWND dialog, int titleId) {
  hwnd_ = dialog;
  ::SetWindowTextW(hwnd_, view_.LoadText(titleId).c_str());
  SetProgramIcon(instance_, hwnd_);
}

HWND DialogWindow::AddControl(const wchar_t* windowClass, DWORD style, DWORD exStyle, int id,
                              const std::wstring& caption) const {
  return ::CreateWindowExW(exStyle, windowClass, caption.c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0,
                           hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
}

void DialogWindow::UseDpi(UINT dpi) {
  dpi_ = static_cast<int>(dpi);
  LOGFONTW ui = MessageFont(dpi);
  font_.reset(::CreateFontIndirectW(&ui));
}

SIZE DialogWindow::OuterSize(int clientWidthTwips, int clientHeightTwips) const {
  return OuterSizeForClient({TwipsToPixels(clientWidthTwips, dpi_), TwipsToPixels(clientHeightTwips, dpi_)},
                            style_, 0, false, static_cast<UINT>(dpi_));
}

void DialogWindow::AddColumns(HWND list, int headingsId, std::size_t count) const {
  const std::vector<std::wstring> headings = SplitAtBars(view_.LoadText(headingsId));
  for (std::size_t i = 0; i < headings.size() && i < count; ++i) {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_SUBITEM;
    column.pszText = const_cast<LPWSTR>(headings[i].c_str());
    column.iSubItem = static_cast<int>(i);
    ListView_InsertColumn(list, static_cast<int>(i), &column);
  }
}

void DialogWindow::SetColumnWidths(HWND list, std::span<const int> widthsTwips) const {
  for (std::size_t i = 0; i < widthsTwips.size(); ++i) {
    ListView_SetColumnWidth(list, static_cast<int>(i), TwipsToPixels(widthsTwips[i], dpi_));
  }
}

}  // namespace ombrel::editor
