#include "editor/win/entry_days_window.h"

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "common/list/utf8.h"
#include "editor/model/entry_days_layout.h"
#include "editor/model/layout.h"
#include "editor/model/typed_text.h"
#include "editor/win/controls.h"
#include "editor/win/dialog_window.h"
#include "editor/win/dpi.h"

namespace ombrel::editor {

static_assert(IDC_DAYS_OK == IDOK && IDC_DAYS_CANCEL == IDCANCEL);
static_assert(std::size(kDaysWayIds) == static_cast<std::size_t>(DaysWay::kAsWritten) + 1);

namespace {

// A drop-down list's height in the table is its field's; dropped, it shows
// its choices below.
constexpr int kChoiceDroppedRows = 4;

bool InRange(int id, int first, int last) { return id >= first && id <= last; }

// `&` shows as itself in a caption that holds text of the file.
std::wstring AsCaption(std::wstring_view text) {
  std::wstring caption;
  for (const wchar_t c : text) caption += c == L'&' ? std::wstring(L"&&") : std::wstring(1, c);
  return caption;
}

class EntryDaysWindow : public DialogWindow {
 public:
  static constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;

  EntryDaysWindow(HINSTANCE instance, EditorView& view, EntryDaysPage& page)
      : DialogWindow(instance, view, kStyle), page_(page), way_(page.Loaded().way) {}

  // Every message of the dialog.
  INT_PTR Handle(HWND window, UINT message, WPARAM wParam, LPARAM /*lParam*/) {
    switch (message) {
      case WM_INITDIALOG:
        Begin(window, IDS_DAYS_TITLE);
        Create(::GetWindow(window, GW_OWNER));
        // The focus is set: the way the days are said now.
        return FALSE;
      case WM_DPICHANGED:
        Arrange(HIWORD(wParam));
        return TRUE;
      case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam));
        return TRUE;
      default:
        return FALSE;
    }
  }

 private:
  void Create(HWND owner) {
    const INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), ICC_UPDOWN_CLASS};
    ::InitCommonControlsEx(&classes);
    const std::vector<std::wstring> weekdays = SplitAtBars(view().LoadText(IDS_SETTINGS_WEEKDAYS));
    const std::vector<std::wstring> months = SplitAtBars(view().LoadText(IDS_DAYS_MONTH_BOXES));
    for (const SettingsControlLayout& layout : kDaysControls) {
      std::wstring caption = layout.captionId != 0 ? view().LoadText(layout.captionId) : std::wstring();
      if (layout.kind == SettingsControlKind::kWeekday) {
        caption = weekdays.at(static_cast<std::size_t>(layout.id - IDC_DAYS_MONDAY) % weekdays.size());
      } else if (layout.kind == SettingsControlKind::kMonth) {
        caption = months.at(static_cast<std::size_t>(layout.id - IDC_DAYS_JANUARY) % months.size());
      } else if (layout.id == IDC_DAYS_ENTRY) {
        caption = view().LoadText(IDS_DAYS_ENTRY) + page_.Entry();
      } else if (layout.id == IDC_DAYS_AS_WRITTEN) {
        caption += AsCaption(FromUtf8(page_.AsWritten()));
      }
      const ControlClass kind = ClassOf(layout.kind);
      AddControl(kind.className, kind.style, kind.exStyle, layout.id, caption);
    }
    for (const std::wstring& choice : SplitAtBars(view().LoadText(IDS_DAYS_BEFORE_CHOICES))) {
      ::SendMessageW(Item(IDC_DAYS_BEFORE), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(choice.c_str()));
    }
    ::SendMessageW(hwnd(), DM_SETDEFID, IDOK, 0);
    Show(page_.Loaded());
    Arrange(WindowDpi(owner != nullptr ? owner : hwnd()));
    PlaceCentredOver(hwnd(), owner, OuterSize(kDaysClientWidthTwips, kDaysClientHeightTwips));
    ::SetFocus(Item(kDaysWayIds[static_cast<std::size_t>(way_)]));
  }

  // The choices into the controls.
  void Show(const DaysChoices& choices) {
    for (int day = 0; day < 7; ++day) CheckBox(IDC_DAYS_MONDAY + day, (choices.weekdays >> day & 1U) != 0);
    for (int month = 0; month < 12; ++month)
      CheckBox(IDC_DAYS_JANUARY + month, (choices.months >> month & 1U) != 0);
    CheckBox(IDC_DAYS_MONTHS, choices.someMonths);
    ::SendMessageW(Item(IDC_DAYS_BEFORE), CB_SETCURSEL, choices.before ? 1 : 0, 0);
    for (std::size_t i = 0; i < kDaysNumberRanges.size(); ++i) {
      const HWND arrows = Item(kDaysNumberBoxIds[i] + 1);
      ::SendMessageW(arrows, UDM_SETBUDDY, reinterpret_cast<WPARAM>(Item(kDaysNumberBoxIds[i])), 0);
      ::SendMessageW(arrows, UDM_SETRANGE32, static_cast<WPARAM>(kDaysNumberRanges[i].first),
                     static_cast<LPARAM>(kDaysNumberRanges[i].second));
      ::SendMessageW(arrows, UDM_SETPOS32, 0, static_cast<LPARAM>(choices.numbers[i]));
      ::SetDlgItemInt(hwnd(), kDaysNumberBoxIds[i], static_cast<UINT>(choices.numbers[i]), FALSE);
    }
    // Only the file's own days can be kept as written.
    ::EnableWindow(Item(IDC_DAYS_AS_WRITTEN), page_.AsWritten().empty() ? FALSE : TRUE);
    shown_ = true;
    Follow();
  }

  void CheckBox(int id, bool checked) const {
    ::SendMessageW(Item(id), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
  }
  [[nodiscard]] bool Checked(int id) const {
    return ::SendMessageW(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
  }
  void Enable(int first, int last, bool enabled) const {
    for (int id = first; id <= last; ++id) ::EnableWindow(Item(id), enabled ? TRUE : FALSE);
  }

  [[nodiscard]] DaysChoices Choices() const {
    DaysChoices choices;
    choices.way = way_;
    for (int day = 0; day < 7; ++day) choices.weekdays |= Checked(IDC_DAYS_MONDAY + day) ? 1U << day : 0U;
    for (int month = 0; month < 12; ++month) {
      choices.months |= Checked(IDC_DAYS_JANUARY + month) ? 1U << month : 0U;
    }
    choices.someMonths = Checked(IDC_DAYS_MONTHS);
    choices.before = ::SendMessageW(Item(IDC_DAYS_BEFORE), CB_GETCURSEL, 0, 0) == 1;
    return choices;
  }

  [[nodiscard]] std::array<std::wstring, 3> NumberTexts() const {
    std::array<std::wstring, 3> texts;
    for (std::size_t i = 0; i < texts.size(); ++i) texts[i] = WindowText(Item(kDaysNumberBoxIds[i]));
    return texts;
  }

  // The radio buttons, the controls of the way chosen alone enabled, and
  // the next days, as the choices stand.
  void Follow() const {
    if (!shown_) return;
    for (std::size_t i = 0; i < std::size(kDaysWayIds); ++i) {
      CheckBox(kDaysWayIds[i], static_cast<std::size_t>(way_) == i);
    }
    Enable(IDC_DAYS_MONDAY, IDC_DAYS_SUNDAY, way_ == DaysWay::kWeekdays);
    Enable(IDC_DAYS_MONTH_DAY_BOX, IDC_DAYS_BEFORE, way_ == DaysWay::kMonthDay);
    Enable(IDC_DAYS_WORK_DAY_BOX, IDC_DAYS_WORK_DAY_UNIT, way_ == DaysWay::kWorkDay);
    Enable(IDC_DAYS_FROM_END_BOX, IDC_DAYS_FROM_END_UNIT, way_ == DaysWay::kFromEnd);
    // Days kept as written carry their own months.
    Enable(IDC_DAYS_MONTHS, IDC_DAYS_MONTHS, way_ != DaysWay::kAsWritten);
    Enable(IDC_DAYS_JANUARY, IDC_DAYS_DECEMBER, way_ != DaysWay::kAsWritten && Checked(IDC_DAYS_MONTHS));
    ::SetWindowTextW(Item(IDC_DAYS_NEXT), page_.NextDaysText(Choices(), NumberTexts()).c_str());
  }

  // Fonts, sizes and places for a DPI.
  void Arrange(UINT newDpi) {
    UseDpi(newDpi, kDaysControls, false);
    for (const SettingsControlLayout& layout : kDaysControls) {
      const int rows = layout.kind == SettingsControlKind::kChoice ? kChoiceDroppedRows + 1 : 1;
      ::MoveWindow(Item(layout.id), TwipsToPixels(layout.left, dpi()), TwipsToPixels(layout.top, dpi()),
                   TwipsToPixels(layout.width, dpi()), TwipsToPixels(layout.height * rows, dpi()), TRUE);
    }
    RECT window{};
    ::GetWindowRect(hwnd(), &window);
    const SIZE size = OuterSize(kDaysClientWidthTwips, kDaysClientHeightTwips);
    ::SetWindowPos(hwnd(), nullptr, window.left, window.top, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
  }

  void OnCommand(int id, int code) {
    if (id == IDCANCEL) {  // キャンセル, Esc, the close box
      ::EndDialog(hwnd(), IDCANCEL);
    } else if (id == IDOK) {
      Accept();
    } else if (const auto* way = std::ranges::find(kDaysWayIds, id);
               way != std::end(kDaysWayIds) && code == BN_CLICKED) {
      way_ = static_cast<DaysWay>(way - std::begin(kDaysWayIds));
      Follow();
    } else if ((code == BN_CLICKED && (InRange(id, IDC_DAYS_MONDAY, IDC_DAYS_SUNDAY) ||
                                       InRange(id, IDC_DAYS_MONTHS, IDC_DAYS_DECEMBER))) ||
               (code == EN_CHANGE &&
                std::ranges::find(kDaysNumberBoxIds, id) != std::end(kDaysNumberBoxIds)) ||
               (code == CBN_SELCHANGE && id == IDC_DAYS_BEFORE)) {
      Follow();
    }
  }

  void Accept() {
    const DaysAccepted accepted = page_.Accept(Choices(), NumberTexts());
    if (accepted.close) {
      ::EndDialog(hwnd(), IDOK);
      return;
    }
    int id = IDC_DAYS_JANUARY;
    if (accepted.wrong == DaysAccepted::Wrong::kWeekdays) id = IDC_DAYS_MONDAY;
    if (accepted.wrong == DaysAccepted::Wrong::kNumber)
      id = kDaysNumberBoxIds[static_cast<std::size_t>(accepted.box)];
    // The control to mend, a number's text selected for typing over.
    const HWND box = Item(id);
    ::SendMessageW(hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(box), TRUE);
    if (accepted.wrong == DaysAccepted::Wrong::kNumber) ::SendMessageW(box, EM_SETSEL, 0, -1);
  }

  EntryDaysPage& page_;
  DaysWay way_;
  bool shown_ = false;
};

}  // namespace

void ShowEntryDaysWindow(HINSTANCE instance, HWND owner, EditorView& view, EntryDaysPage& page) {
  EntryDaysWindow window(instance, view, page);
  ShowDialog(instance, owner, window);
}

}  // namespace ombrel::editor
