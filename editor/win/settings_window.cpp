#include "editor/win/settings_window.h"

#include <commctrl.h>

#include <array>
#include <string>
#include <vector>

#include "common/win/scoped.h"
#include "editor/model/layout.h"
#include "editor/model/settings_layout.h"
#include "editor/win/controls.h"
#include "editor/win/dialog_frame.h"
#include "editor/win/dpi.h"

namespace ombrel::editor {

static_assert(IDC_SETTINGS_OK == IDOK && IDC_SETTINGS_CANCEL == IDCANCEL);

namespace {

constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;

struct ControlClass {
  const wchar_t* className;
  DWORD style;
  DWORD exStyle;
};

ControlClass ClassOf(SettingsControlKind kind) {
  switch (kind) {
    case SettingsControlKind::kLabel:
      return {WC_STATICW, SS_LEFT, 0};
    case SettingsControlKind::kWeekday:
    case SettingsControlKind::kCheck:
      return {WC_BUTTONW, BS_AUTOCHECKBOX | WS_TABSTOP, 0};
    case SettingsControlKind::kSeconds:
      return {WC_EDITW, ES_RIGHT | ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE};
    case SettingsControlKind::kUpDown:
      // Its arrows and the arrow keys in its box write the number into it.
      return {UPDOWN_CLASSW, UDS_SETBUDDYINT | UDS_ARROWKEYS | UDS_NOTHOUSANDS, 0};
    case SettingsControlKind::kUnit:
    case SettingsControlKind::kNextDay:
      return {WC_STATICW, SS_LEFT | SS_NOPREFIX, 0};
    case SettingsControlKind::kDefaultButton:
      return {WC_BUTTONW, BS_DEFPUSHBUTTON | WS_TABSTOP, 0};
    case SettingsControlKind::kButton:
      return {WC_BUTTONW, BS_PUSHBUTTON | WS_TABSTOP, 0};
  }
  return {WC_STATICW, 0, 0};
}

bool IsWeekdayBox(int id) { return id >= IDC_SETTINGS_MONDAY && id <= IDC_SETTINGS_SUNDAY; }

class SettingsWindow {
 public:
  SettingsWindow(HINSTANCE instance, EditorView& view, SettingsPage& page)
      : instance_(instance), view_(view), page_(page) {}

  // Every message of the dialog.
  INT_PTR Handle(HWND window, UINT message, WPARAM wParam, LPARAM /*lParam*/) {
    switch (message) {
      case WM_INITDIALOG:
        hwnd_ = window;
        Create(::GetWindow(window, GW_OWNER));
        // The focus is set: the first weekday box.
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
  [[nodiscard]] HWND Item(int id) const { return ::GetDlgItem(hwnd_, id); }

  void Create(HWND owner) {
    const INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), ICC_UPDOWN_CLASS};
    ::InitCommonControlsEx(&classes);
    ::SetWindowTextW(hwnd_, view_.LoadText(IDS_SETTINGS_TITLE).c_str());
    SetProgramIcon(instance_, hwnd_);
    const std::vector<std::wstring> weekdays = SplitAtBars(view_.LoadText(IDS_SETTINGS_WEEKDAYS));
    std::size_t secondsBox = 0;
    for (const SettingsControlLayout& layout : kSettingsControls) {
      std::wstring caption = layout.captionId != 0 ? view_.LoadText(layout.captionId) : std::wstring();
      if (layout.kind == SettingsControlKind::kWeekday) {
        const auto day = static_cast<std::size_t>(layout.id - IDC_SETTINGS_MONDAY);
        if (day < weekdays.size()) caption = weekdays[day];
      } else if (layout.kind == SettingsControlKind::kUnit && secondsBox < kSecondsSettings.size()) {
        caption = page_.SecondsText(kSecondsSettings[secondsBox++]);
      }
      const ControlClass kind = ClassOf(layout.kind);
      ::CreateWindowExW(kind.exStyle, kind.className, caption.c_str(), WS_CHILD | WS_VISIBLE | kind.style, 0,
                        0, 0, 0, hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(layout.id)), instance_,
                        nullptr);
    }
    ::SendMessageW(hwnd_, DM_SETDEFID, IDOK, 0);
    Show(page_.Loaded());
    Arrange(WindowDpi(owner != nullptr ? owner : hwnd_));
    PlaceCentredOver(hwnd_, owner, OuterSize());
    ::SetFocus(Item(IDC_SETTINGS_MONDAY));
  }

  // The settings into the controls.
  void Show(const Settings& settings) {
    for (int day = 0; day < 7; ++day) {
      CheckBox(IDC_SETTINGS_MONDAY + day, settings.OpensOnWeekday(static_cast<unsigned>(day)));
    }
    CheckBox(IDC_SETTINGS_HOLIDAYS, settings[Setting::kSkipHolidays] != 0);
    CheckBox(IDC_SETTINGS_YEAR_END, settings[Setting::kSkipYearEnd] != 0);
    for (std::size_t i = 0; i < kSecondsSettings.size(); ++i) {
      const SettingKey& key = kSettingKeys[static_cast<std::size_t>(kSecondsSettings[i])];
      const HWND arrows = Item(kSecondsBoxIds[i] + 1);
      ::SendMessageW(arrows, UDM_SETBUDDY, reinterpret_cast<WPARAM>(Item(kSecondsBoxIds[i])), 0);
      ::SendMessageW(arrows, UDM_SETRANGE32, static_cast<WPARAM>(key.low), static_cast<LPARAM>(key.high));
      ::SendMessageW(arrows, UDM_SETPOS32, 0, static_cast<LPARAM>(settings[kSecondsSettings[i]]));
      ::SetDlgItemInt(hwnd_, kSecondsBoxIds[i], static_cast<UINT>(settings[kSecondsSettings[i]]), FALSE);
    }
    ShowNextDay();
  }

  void CheckBox(int id, bool checked) const {
    ::SendMessageW(Item(id), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
  }
  [[nodiscard]] bool Checked(int id) const {
    return ::SendMessageW(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
  }

  // The day choices as the boxes stand; the numbers as loaded.
  [[nodiscard]] Settings DayChoices() const {
    Settings choices = page_.Loaded();
    int days = 0;
    for (int day = 0; day < 7; ++day) days |= Checked(IDC_SETTINGS_MONDAY + day) ? 1 << day : 0;
    // Each value lies in its range: nothing here can be refused.
    static_cast<void>(choices.Set(Setting::kDays, days));
    static_cast<void>(choices.Set(Setting::kSkipHolidays, Checked(IDC_SETTINGS_HOLIDAYS) ? 1 : 0));
    static_cast<void>(choices.Set(Setting::kSkipYearEnd, Checked(IDC_SETTINGS_YEAR_END) ? 1 : 0));
    return choices;
  }

  void ShowNextDay() const {
    ::SetWindowTextW(Item(IDC_SETTINGS_NEXT_DAY), page_.NextOpeningText(DayChoices()).c_str());
  }

  [[nodiscard]] std::wstring TextOf(int id) const { return WindowText(Item(id)); }

  [[nodiscard]] SIZE OuterSize() const {
    return OuterSizeForClient(
        {TwipsToPixels(kSettingsClientWidthTwips, dpi_), TwipsToPixels(kSettingsClientHeightTwips, dpi_)},
        kStyle, 0, false, static_cast<UINT>(dpi_));
  }

  // Fonts, sizes and places for a DPI.
  void Arrange(UINT dpi) {
    dpi_ = static_cast<int>(dpi);
    LOGFONTW ui = MessageFont(dpi);
    font_.reset(::CreateFontIndirectW(&ui));
    for (const SettingsControlLayout& layout : kSettingsControls) {
      const HWND control = Item(layout.id);
      ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
      ::MoveWindow(control, TwipsToPixels(layout.left, dpi_), TwipsToPixels(layout.top, dpi_),
                   TwipsToPixels(layout.width, dpi_), TwipsToPixels(layout.height, dpi_), TRUE);
    }
    RECT window{};
    ::GetWindowRect(hwnd_, &window);
    const SIZE size = OuterSize();
    ::SetWindowPos(hwnd_, nullptr, window.left, window.top, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
  }

  void OnCommand(int id, int code) {
    if (id == IDCANCEL) {  // キャンセル, Esc, the close box
      ::EndDialog(hwnd_, IDCANCEL);
    } else if (id == IDOK) {
      Accept();
    } else if (code == BN_CLICKED &&
               (IsWeekdayBox(id) || id == IDC_SETTINGS_HOLIDAYS || id == IDC_SETTINGS_YEAR_END)) {
      ShowNextDay();
    }
  }

  void Accept() {
    std::array<std::wstring, kSecondsSettings.size()> texts;
    for (std::size_t i = 0; i < texts.size(); ++i) texts[i] = TextOf(kSecondsBoxIds[i]);
    const SettingsAccepted accepted = page_.Accept(DayChoices(), texts);
    if (accepted.close) {
      ::EndDialog(hwnd_, IDOK);
      return;
    }
    for (std::size_t i = 0; accepted.wrongBox && i < kSecondsSettings.size(); ++i) {
      if (kSecondsSettings[i] != *accepted.wrongBox) continue;
      // The box to mend, its text selected for typing over.
      const HWND box = Item(kSecondsBoxIds[i]);
      ::SendMessageW(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(box), TRUE);
      ::SendMessageW(box, EM_SETSEL, 0, -1);
    }
  }

  HINSTANCE instance_;
  EditorView& view_;
  SettingsPage& page_;
  HWND hwnd_ = nullptr;
  int dpi_ = USER_DEFAULT_SCREEN_DPI;
  win::ScopedFont font_;
};

}  // namespace

void ShowSettingsWindow(HINSTANCE instance, HWND owner, EditorView& view, SettingsPage& page) {
  SettingsWindow window(instance, view, page);
  ShowEmptyDialog(instance, owner, kStyle, &DialogProcedure<SettingsWindow>,
                  reinterpret_cast<LPARAM>(&window));
}

}  // namespace ombrel::editor
