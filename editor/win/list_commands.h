// The list's own ways to the editor's commands, beside the buttons: Alt+Up
// and Alt+Down move the selected entry, and a context menu offers the
// commands for one entry. Each ends in the same Editor method as the button
// or menu item it stands for.
#pragma once

#include <windows.h>

#include "editor/model/editor.h"
#include "editor/win/list_box.h"

namespace ombrel::editor {

// True when `message` was Alt+Up or Alt+Down on the list, and the selected
// entry was moved by it.
[[nodiscard]] bool HandleMoveKey(Editor& editor, const ListBox& list, const MSG& message);

// The context menu at `position` (WM_CONTEXTMENU's: a point of the screen,
// or -1, -1 from the keyboard), for the entry under the pointer, which a
// right click selects first, or else the selected one. Items the editor
// cannot do now are greyed; the one chosen comes to `owner` as a WM_COMMAND,
// as the menu bar's items do.
void ShowEntryMenu(Editor& editor, const ListBox& list, HINSTANCE instance, HWND owner, LPARAM position);

}  // namespace ombrel::editor
