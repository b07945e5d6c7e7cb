// The dialog of an entry's own days ("開く日"): a modal dialog with the
// controls of editor/model/entry_days_layout.h, over an EntryDaysPage, which
// decides everything it shows and does.
#pragma once

#include <windows.h>

#include "editor/model/editor.h"
#include "editor/model/entry_days_page.h"

namespace ombrel::editor {

// Shows the dialog over `owner`, which it disables meanwhile, until the user
// closes it: OK (Enter) once the page took the days, キャンセル (Esc) or the
// close box at once.
void ShowEntryDaysWindow(HINSTANCE instance, HWND owner, EditorView& view, EntryDaysPage& page);

}  // namespace ombrel::editor
