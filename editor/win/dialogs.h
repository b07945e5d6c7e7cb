// The modal boxes the editor shows: message boxes of its kinds and the
// open-file dialog; and the texts of its string table.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "editor/model/editor.h"

namespace ombrel::editor {

// A text of the program's string table, by its IDS_ id; empty when it has
// none.
[[nodiscard]] std::wstring LoadProgramText(HINSTANCE instance, int id);

// A message box of the given kind, each with its fixed icon and buttons.
Answer ShowMessageBox(HWND owner, MessageKind kind, const std::wstring& text, const std::wstring& caption);

// The open-file dialog with the platform's defaults; the chosen full path, or
// nothing when cancelled or failed. `filter` is pairs of label and pattern
// separated by "|".
[[nodiscard]] std::optional<std::wstring> ShowOpenFileDialog(HWND owner, const std::wstring& title,
                                                             const std::wstring& filter);

}  // namespace ombrel::editor
