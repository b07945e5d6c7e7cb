// The run record's window: a modal dialog with the controls of
// editor/model/record_layout.h, a report list of a RecordPage's rows and its two
// buttons. It remembers nothing: each opening starts at the table's size.
#pragma once

#include <windows.h>

#include "editor/model/editor.h"
#include "editor/model/record_page.h"

namespace ombrel::editor {

// Shows the window over `owner`, which it disables meanwhile, until the user
// closes it (閉じる, Esc, Enter, the close box).
void ShowRecordWindow(HINSTANCE instance, HWND owner, EditorView& view, RecordPage& page);

}  // namespace ombrel::editor
