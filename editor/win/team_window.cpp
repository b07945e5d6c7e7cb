#include "editor/win/team_window.h"

#include <commctrl.h>

#include <string>
#include <vector>

#include "editor/model/team_layout.h"
#include "editor/resource.h"
#include "editor/win/dialog_window.h"
#include "editor/win/dpi.h"

namespace ombrel::editor {

namespace {

class TeamWindow : public DialogWindow {
 public:
  static constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_CLIPCHILDREN;

  TeamWindow(HINSTANCE instance, EditorView& view, TeamPage& page)
      : DialogWindow(instance, view, kStyle), page_(page) {}

  INT_PTR Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
      case WM_INITDIALOG:
        Begin(window, IDS_TEAM_TITLE);
        Create(::GetWindow(window, GW_OWNER));
        return FALSE;  // the focus is set: the list
      case WM_SIZE:
        Arrange();
        return TRUE;
      case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDC_TEAM_CLOSE) ::EndDialog(hwnd(), 0);
        return TRUE;
      default:
        return HandleSizing(message, wParam, lParam, kTeamMinClientWidthTwips, kTeamMinClientHeightTwips,
                            [this](UINT dpi) { SetDpi(dpi); })
                   ? TRUE
                   : FALSE;
    }
  }

 private:
  void Create(HWND owner) {
    for (const TeamControlLayout& layout : kTeamControls) {
      switch (layout.kind) {
        case TeamControlKind::kText:
          AddControl(WC_STATICW, SS_LEFT | SS_NOPREFIX, 0, layout.id, page_.State());
          break;
        case TeamControlKind::kList:
          AddControl(WC_LISTVIEWW,
                     WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER,
                     WS_EX_CLIENTEDGE, layout.id, {});
          break;
        case TeamControlKind::kDefaultButton:
          AddControl(WC_BUTTONW, WS_TABSTOP | BS_DEFPUSHBUTTON, 0, layout.id,
                     view().LoadText(layout.captionId));
          break;
      }
    }
    ::SendMessageW(hwnd(), DM_SETDEFID, IDC_TEAM_CLOSE, 0);
    const HWND list = Item(IDC_TEAM_LIST);
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_LABELTIP);
    AddColumns(list, IDS_TEAM_COLUMNS, std::size(kTeamColumnTwips));
    SetDpi(WindowDpi(owner != nullptr ? owner : hwnd()));
    PlaceCentredOver(hwnd(), owner, OuterSize(kTeamClientWidthTwips, kTeamClientHeightTwips));
    const std::vector<TeamRow>& rows = page_.Rows();
    for (std::size_t i = 0; i < rows.size(); ++i) {
      LVITEMW item{};
      item.mask = LVIF_TEXT;
      item.iItem = static_cast<int>(i);
      item.pszText = const_cast<LPWSTR>(rows[i].entry.c_str());
      const int at = ListView_InsertItem(list, &item);
      ListView_SetItemText(list, at, 1, const_cast<LPWSTR>(rows[i].days.c_str()));
      ListView_SetItemText(list, at, 2, const_cast<LPWSTR>(rows[i].today.c_str()));
    }
    ::SetFocus(list);
  }

  void SetDpi(UINT newDpi) {
    UseDpi(newDpi, kTeamControls, true);
    SetColumnWidths(Item(IDC_TEAM_LIST), kTeamColumnTwips);
  }

  void Arrange() const {
    RECT client{};
    ::GetClientRect(hwnd(), &client);
    for (const TeamControlLayout& layout : kTeamControls) {
      const PixelRect at = PlaceByEdges(layout, client.right, client.bottom, dpi());
      ::MoveWindow(Item(layout.id), at.left, at.top, at.right - at.left, at.bottom - at.top, TRUE);
    }
  }

  TeamPage& page_;
};

}  // namespace

void ShowTeamWindow(HINSTANCE instance, HWND owner, EditorView& view, TeamPage& page) {
  TeamWindow window(instance, view, page);
  ShowDialog(instance, owner, window);
}

}  // namespace ombrel::editor
