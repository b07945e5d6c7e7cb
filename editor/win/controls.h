// The window's controls as the layout table describes them: the class and
// styles each kind of control is made with.
#pragma once

#include <windows.h>

#include <string>

#include "editor/model/layout.h"
#include "editor/model/settings_layout.h"

namespace ombrel::editor {

struct ControlClass {
  const wchar_t* className;
  DWORD style;
  DWORD exStyle;
};

// How a control of a dialog's table (the settings dialog's, an entry's
// days') is made.
[[nodiscard]] ControlClass ClassOf(SettingsControlKind kind);

// One control of the layout table, visible, not yet placed: the window gives
// it its place and font for its DPI. Null when the system refused it.
[[nodiscard]] HWND CreateControl(HWND parent, HINSTANCE instance, const ControlLayout& layout,
                                 const std::wstring& caption);

// What a control shows, whole, however long.
[[nodiscard]] std::wstring WindowText(HWND control);

}  // namespace ombrel::editor
