#include "editor/win/dpi.h"

#include "common/win/scoped.h"

namespace ombrel::editor {

namespace {

constexpr UINT kDefaultDpi = USER_DEFAULT_SCREEN_DPI;

struct DpiFunctions {
  UINT(WINAPI* getDpiForWindow)(HWND) = nullptr;
  BOOL(WINAPI* adjustWindowRectExForDpi)(RECT*, DWORD, BOOL, DWORD, UINT) = nullptr;
  BOOL(WINAPI* systemParametersInfoForDpi)(UINT, UINT, void*, UINT, UINT) = nullptr;
};

const DpiFunctions& Functions() {
  static const DpiFunctions functions = [] {
    DpiFunctions found;
    // user32 is loaded by every window program, so its handle needs no freeing.
    const HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
    found.getDpiForWindow = win::GetProc<decltype(found.getDpiForWindow)>(user32, "GetDpiForWindow");
    found.adjustWindowRectExForDpi =
        win::GetProc<decltype(found.adjustWindowRectExForDpi)>(user32, "AdjustWindowRectExForDpi");
    found.systemParametersInfoForDpi =
        win::GetProc<decltype(found.systemParametersInfoForDpi)>(user32, "SystemParametersInfoForDpi");
    return found;
  }();
  return functions;
}

UINT SystemDpi() {
  const win::ScopedWindowDC screen(nullptr);
  return screen ? static_cast<UINT>(::GetDeviceCaps(screen.get(), LOGPIXELSY)) : kDefaultDpi;
}

}  // namespace

UINT WindowDpi(HWND window) {
  if (const auto getDpiForWindow = Functions().getDpiForWindow) {
    if (const UINT dpi = getDpiForWindow(window); dpi != 0) return dpi;
  }
  return SystemDpi();
}

SIZE OuterSizeForClient(SIZE client, DWORD style, DWORD exStyle, bool hasMenu, UINT dpi) {
  RECT rect{0, 0, client.cx, client.cy};
  const auto adjustForDpi = Functions().adjustWindowRectExForDpi;
  if (adjustForDpi == nullptr || !adjustForDpi(&rect, style, hasMenu, exStyle, dpi)) {
    ::AdjustWindowRectEx(&rect, style, hasMenu, exStyle);
  }
  return {rect.right - rect.left, rect.bottom - rect.top};
}

LOGFONTW MessageFont(UINT dpi) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  const auto forDpi = Functions().systemParametersInfoForDpi;
  if (forDpi != nullptr && forDpi(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0, dpi)) {
    return metrics.lfMessageFont;
  }
  if (!::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0)) {
    // Nothing to ask: the stock GUI font is what a dialog would get.
    LOGFONTW font{};
    ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
    return font;
  }
  // Sized for the system DPI; scale it to the window's.
  metrics.lfMessageFont.lfHeight =
      ::MulDiv(metrics.lfMessageFont.lfHeight, static_cast<int>(dpi), static_cast<int>(SystemDpi()));
  return metrics.lfMessageFont;
}

}  // namespace ombrel::editor
