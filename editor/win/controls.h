// The window's controls as the layout table describes them: the class and
// styles each kind of control is made with.
#pragma once

#include <windows.h>

#include <string>

#include "editor/model/layout.h"

namespace ombrel::editor {

// One control of the layout table, visible, not yet placed: the window gives
// it its place and font for its DPI. Null when the system refused it.
[[nodiscard]] HWND CreateControl(HWND parent, HINSTANCE instance, const ControlLayout& layout,
                                 const std::wstring& caption);

// What a control shows, whole, however long.
[[nodiscard]] std::wstring WindowText(HWND control);

}  // namespace ombrel::editor
