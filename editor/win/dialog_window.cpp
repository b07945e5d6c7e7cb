#include "editor/win/dialog_window.h"

#include "editor/model/layout.h"

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

}  // namespace ombrel::editor
