#include "editor/win/record_window.h"

#include <commctrl.h>

#include <string>
#include <vector>

#include "common/win/scoped.h"
#include "editor/model/record_layout.h"
#include "editor/resource.h"
#include "editor/win/dialog_window.h"
#include "editor/win/dpi.h"

namespace ombrel::editor {

namespace {

// The list's image for a failure: Windows' own error sign.
constexpr int kFailureImage = 0;

class RecordWindow : public DialogWindow {
 public:
  static constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_CLIPCHILDREN;

  RecordWindow(HINSTANCE instance, EditorView& view, RecordPage& page)
      : DialogWindow(instance, view, kStyle), page_(page) {}

  // Every message of the dialog.
  INT_PTR Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
      case WM_INITDIALOG:
        Begin(window, IDS_RECORD_TITLE);
        Create(::GetWindow(window, GW_OWNER));
        // The focus is set: the list, on the selected row.
        return FALSE;
      case WM_SIZE:
        Arrange();
        return TRUE;
      case WM_COMMAND:
        OnCommand(LOWORD(wParam));
        return TRUE;
      default:
        return HandleSizing(message, wParam, lParam, kRecordMinClientWidthTwips, kRecordMinClientHeightTwips,
                            [this](UINT dpi) { SetDpi(dpi); })
                   ? TRUE
                   : FALSE;
    }
  }

 private:
  void Create(HWND owner) {
    for (const RecordControlLayout& layout : kRecordControls) {
      if (layout.kind == RecordControlKind::kStatus) {
        AddControl(WC_STATICW, SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS, 0, layout.id, page_.Status());
        continue;
      }
      const bool list = layout.kind == RecordControlKind::kList;
      const DWORD style =
          list ? LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER
               : (layout.kind == RecordControlKind::kDefaultButton ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
      const std::wstring caption = layout.captionId != 0 ? view().LoadText(layout.captionId) : std::wstring();
      AddControl(list ? WC_LISTVIEWW : WC_BUTTONW, WS_TABSTOP | style, list ? WS_EX_CLIENTEDGE : 0, layout.id,
                 caption);
    }
    ::SendMessageW(hwnd(), DM_SETDEFID, IDC_RECORD_CLOSE, 0);
    const HWND list = Item(IDC_RECORD_LIST);
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_LABELTIP);
    // The list destroys its image list with itself.
    const HIMAGELIST images = ::ImageList_Create(
        ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON), ILC_COLOR32 | ILC_MASK, 1, 0);
    ::ImageList_AddIcon(images, ::LoadIconW(nullptr, IDI_ERROR));
    ListView_SetImageList(list, images, LVSIL_SMALL);
    AddColumns(list, IDS_RECORD_COLUMNS, std::size(kRecordColumnTwips));

    SetDpi(WindowDpi(owner != nullptr ? owner : hwnd()));
    // The table's size, centred over the editor's window.
    PlaceCentredOver(hwnd(), owner, OuterSize(kRecordClientWidthTwips, kRecordClientHeightTwips));
    Fill();
    ::SetFocus(list);
  }

  // Fonts and column widths for a DPI.
  void SetDpi(UINT newDpi) {
    UseDpi(newDpi, kRecordControls, true);
    SetColumnWidths(Item(IDC_RECORD_LIST), kRecordColumnTwips);
  }

  void Arrange() const {
    RECT client{};
    ::GetClientRect(hwnd(), &client);
    for (const RecordControlLayout& layout : kRecordControls) {
      const PixelRect at = PlaceRecordControl(layout, client.right, client.bottom, dpi());
      ::MoveWindow(Item(layout.id), at.left, at.top, at.right - at.left, at.bottom - at.top, TRUE);
    }
  }

  // The page's rows, and its first selection.
  void Fill() {
    const HWND list = Item(IDC_RECORD_LIST);
    ::SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    ListView_DeleteAllItems(list);
    const std::vector<RecordRow>& rows = page_.Rows();
    for (std::size_t i = 0; i < rows.size(); ++i) {
      const RecordRow& row = rows[i];
      LVITEMW item{};
      item.mask = LVIF_TEXT | LVIF_IMAGE;
      item.iItem = static_cast<int>(i);
      item.pszText = const_cast<LPWSTR>(row.time.c_str());
      item.iImage = row.failed ? kFailureImage : I_IMAGENONE;
      const int at = ListView_InsertItem(list, &item);
      int column = 1;
      for (const std::wstring* text : {&row.result, &row.item, &row.detail}) {
        ListView_SetItemText(list, at, column++, const_cast<LPWSTR>(text->c_str()));
      }
    }
    if (const auto selected = static_cast<int>(page_.FirstSelected()); selected >= 0) {
      const UINT state = LVIS_SELECTED | LVIS_FOCUSED;
      ListView_SetItemState(list, selected, state, state);
      ListView_EnsureVisible(list, selected, FALSE);
    }
    ::SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  }

  void OnCommand(int id) {
    switch (id) {
      case IDCANCEL:  // Esc, the close box
      case IDC_RECORD_CLOSE:
        ::EndDialog(hwnd(), 0);
        break;
      case IDC_RECORD_CLEAR:
        if (page_.Clear()) Fill();
        break;
      default:
        break;
    }
  }

  RecordPage& page_;
};

}  // namespace

void ShowRecordWindow(HINSTANCE instance, HWND owner, EditorView& view, RecordPage& page) {
  RecordWindow window(instance, view, page);
  ShowDialog(instance, owner, window);
}

}  // namespace ombrel::editor
