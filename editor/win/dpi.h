// The window's DPI and what depends on it. The per-monitor functions came with
// Windows 10 version 1607; they are looked up at run time, so that on an older
// system the program still starts and simply uses the system DPI.
#pragma once

#include <windows.h>

namespace ombrel::editor {

// The DPI the window is drawn at (96 when the system cannot say).
UINT WindowDpi(HWND window);

// The outer size of a window whose client area is `client` pixels, for the
// given styles, menu bar and DPI.
SIZE OuterSizeForClient(SIZE client, DWORD style, DWORD exStyle, bool hasMenu, UINT dpi);

// The system's user-interface font (the one message boxes use), sized for the
// DPI.
LOGFONTW MessageFont(UINT dpi);

}  // namespace ombrel::editor
