// The team's list window: a modal dialog with the controls of
// editor/model/team_layout.h, the team folder's state above a report list of
// a TeamPage's rows, and 閉じる. Read-only; it remembers nothing.
#pragma once

#include <windows.h>

#include "editor/model/editor.h"
#include "editor/model/team_page.h"

namespace ombrel::editor {

// Shows the window over `owner`, which it disables meanwhile, until the user
// closes it (閉じる, Esc, Enter, the close box).
void ShowTeamWindow(HINSTANCE instance, HWND owner, EditorView& view, TeamPage& page);

}  // namespace ombrel::editor
