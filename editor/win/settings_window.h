// The settings dialog ("開く日と間隔"): a modal dialog with the controls of
// editor/model/settings_layout.h, over a SettingsPage, which decides everything it
// shows and does.
#pragma once

#include <windows.h>

#include "editor/model/editor.h"
#include "editor/model/settings_page.h"

namespace ombrel::editor {

// Shows the dialog over `owner`, which it disables meanwhile, until the user
// closes it: OK (Enter) once the settings are saved, キャンセル (Esc) or the
// close box at once.
void ShowSettingsWindow(HINSTANCE instance, HWND owner, EditorView& view, SettingsPage& page);

}  // namespace ombrel::editor
