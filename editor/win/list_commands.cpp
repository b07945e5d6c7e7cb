#include "editor/win/list_commands.h"

#include "common/win/scoped.h"
#include "editor/resource.h"

namespace ombrel::editor {

bool HandleMoveKey(Editor& editor, const ListBox& list, const MSG& message) {
  // With Alt held down, keys come as system keys.
  if (message.message != WM_SYSKEYDOWN || message.hwnd != list.control()) return false;
  if (message.wParam != VK_UP && message.wParam != VK_DOWN) return false;
  editor.MoveSelectedEntry(message.wParam == VK_UP ? Direction::kUp : Direction::kDown);
  return true;
}

void ShowEntryMenu(Editor& editor, const ListBox& list, HINSTANCE instance, HWND owner, LPARAM position) {
  POINT at{static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
  if (position == -1) {
    at = list.SelectionPoint();
  } else if (const std::ptrdiff_t under = list.ItemAt(at); under >= 0) {
    editor.SelectEntry(under);
  }
  const win::ScopedMenu menu(::LoadMenuW(instance, MAKEINTRESOURCEW(IDR_ENTRY_MENU)));
  const HMENU items = ::GetSubMenu(menu.get(), 0);
  if (items == nullptr) return;
  const auto enable = [items](UINT id, bool can) {
    ::EnableMenuItem(items, id, MF_BYCOMMAND | (can ? MF_ENABLED : MF_GRAYED));
  };
  const bool selected = editor.HasSelection();
  enable(IDM_ENTRY_OPEN, selected);
  enable(IDM_ENTRY_UP, editor.SelectedEntryCanMove(Direction::kUp));
  enable(IDM_ENTRY_DOWN, editor.SelectedEntryCanMove(Direction::kDown));
  enable(IDM_ENTRY_DELETE, selected);
  enable(IDM_ENTRY_COPY, selected);
  enable(IDM_ENTRY_REPLACE, selected);
  enable(IDM_ENTRY_DAYS, editor.SelectedEntryCanHaveDays());
  ::TrackPopupMenu(items, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, owner, nullptr);
}

}  // namespace ombrel::editor
