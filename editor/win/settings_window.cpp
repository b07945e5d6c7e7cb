#include "editor/win/settings_window.h"

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <iterator>
#include <string>
#include <vector>

#include "common/win/scoped.h"
#include "editor/model/layout.h"
#include "editor/model/settings_layout.h"
#include "editor/model/typed_text.h"
#include "editor/win/controls.h"
#include "editor/win/dialog_window.h"
#include "editor/win/dpi.h"

namespace ombrel::editor {

static_assert(IDC_SETTINGS_OK == IDOK && IDC_SETTINGS_CANCEL == IDCANCEL);

namespace {

bool IsWeekdayBox(int id) { return id >= IDC_SETTINGS_MONDAY && id <= IDC_SETTINGS_SUNDAY; }

class SettingsWindow : public DialogWindow {
 public:
  static constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;

  SettingsWindow(HINSTANCE instance, EditorView& view, SettingsPage& page)
      : DialogWindow(instance, view, kStyle), page_(page) {
    controls_.assign(std::begin(kSettingsControls), std::end(kSettingsControls));
    controls_.insert(controls_.end(), std::begin(kPolicyNotes), std::end(kPolicyNotes));
  }

  // Every message of the dialog.
  INT_PTR Handle(HWND window, UINT message, WPARAM wParam, LPARAM /*lParam*/) {
    switch (message) {
      case WM_INITDIALOG:
        Begin(window, IDS_SETTINGS_TITLE);
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
  void Create(HWND owner) {
    const INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), ICC_UPDOWN_CLASS};
    ::InitCommonControlsEx(&classes);
    const std::vector<std::wstring> weekdays = SplitAtBars(view().LoadText(IDS_SETTINGS_WEEKDAYS));
    std::size_t secondsBox = 0;
    for (const SettingsControlLayout& layout : controls_) {
      std::wstring caption = layout.captionId != 0 ? view().LoadText(layout.captionId) : std::wstring();
      if (layout.kind == SettingsControlKind::kPolicyNote) {
        const PolicyFixedControls& fixed = kPolicyFixedControls[layout.id - IDC_SETTINGS_POLICY_NOTE_FIRST];
        if (page_.FixedByPolicy(fixed.setting)) caption = view().LoadText(IDS_SETTINGS_BY_POLICY);
      } else if (layout.kind == SettingsControlKind::kWeekday) {
        const auto day = static_cast<std::size_t>(layout.id - IDC_SETTINGS_MONDAY);
        if (day < weekdays.size()) caption = weekdays[day];
      } else if (layout.kind == SettingsControlKind::kUnit && secondsBox < kSecondsSettings.size()) {
        caption = page_.SecondsText(kSecondsSettings[secondsBox++]);
      }
      const ControlClass kind = ClassOf(layout.kind);
      AddControl(kind.className, kind.style, kind.exStyle, layout.id, caption);
    }
    ::SendMessageW(hwnd(), DM_SETDEFID, IDOK, 0);
    Show(page_.Loaded());
    // Greyed, a box keeps the policy's value for OK, which leaves its line.
    for (const PolicyFixedControls& fixed : kPolicyFixedControls) {
      if (!page_.FixedByPolicy(fixed.setting)) continue;
      for (int id = fixed.firstId; id <= fixed.lastId; ++id) ::EnableWindow(Item(id), FALSE);
    }
    Arrange(WindowDpi(owner != nullptr ? owner : hwnd()));
    PlaceCentredOver(hwnd(), owner, OuterSize(ClientWidth(), kSettingsClientHeightTwips));
    // The first box that takes the focus: Monday's, unless a policy greys it.
    ::SetFocus(::GetNextDlgTabItem(hwnd(), nullptr, FALSE));
  }

  [[nodiscard]] int ClientWidth() const {
    return page_.AnyFixedByPolicy() ? kSettingsPolicyClientWidthTwips : kSettingsClientWidthTwips;
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
      ::SetDlgItemInt(hwnd(), kSecondsBoxIds[i], static_cast<UINT>(settings[kSecondsSettings[i]]), FALSE);
    }
    for (std::size_t i = 0; i < kDatesSettings.size(); ++i) {
      ::SetWindowTextW(Item(kDatesBoxIds[i]), page_.DatesText(kDatesSettings[i]).c_str());
    }
    shown_ = true;
    ShowNextDay();
  }

  void CheckBox(int id, bool checked) const {
    ::SendMessageW(Item(id), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
  }
  [[nodiscard]] bool Checked(int id) const {
    return ::SendMessageW(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
  }

  // The day choices as the boxes stand, a date list only once it is one;
  // the numbers as loaded.
  [[nodiscard]] Settings DayChoices() const {
    Settings choices = page_.Loaded();
    int days = 0;
    for (int day = 0; day < 7; ++day) days |= Checked(IDC_SETTINGS_MONDAY + day) ? 1 << day : 0;
    // Each value lies in its range: nothing here can be refused.
    static_cast<void>(choices.Set(Setting::kDays, days));
    static_cast<void>(choices.Set(Setting::kSkipHolidays, Checked(IDC_SETTINGS_HOLIDAYS) ? 1 : 0));
    static_cast<void>(choices.Set(Setting::kSkipYearEnd, Checked(IDC_SETTINGS_YEAR_END) ? 1 : 0));
    for (std::size_t i = 0; i < kDatesSettings.size(); ++i) {
      static_cast<void>(ApplyDatesText(choices, kDatesSettings[i], TextOf(kDatesBoxIds[i])));
    }
    return choices;
  }

  void ShowNextDay() const {
    // Typing into a date box before every control is filled tells nothing.
    if (!shown_) return;
    ::SetWindowTextW(Item(IDC_SETTINGS_NEXT_DAY), page_.NextOpeningText(DayChoices()).c_str());
  }

  [[nodiscard]] std::wstring TextOf(int id) const { return WindowText(Item(id)); }

  // Fonts, sizes and places for a DPI.
  void Arrange(UINT newDpi) {
    UseDpi(newDpi, controls_, false);
    for (const SettingsControlLayout& layout : controls_) {
      ::MoveWindow(Item(layout.id), TwipsToPixels(layout.left, dpi()), TwipsToPixels(layout.top, dpi()),
                   TwipsToPixels(layout.width, dpi()), TwipsToPixels(layout.height, dpi()), TRUE);
    }
    RECT window{};
    ::GetWindowRect(hwnd(), &window);
    const SIZE size = OuterSize(ClientWidth(), kSettingsClientHeightTwips);
    ::SetWindowPos(hwnd(), nullptr, window.left, window.top, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
  }

  void OnCommand(int id, int code) {
    if (id == IDCANCEL) {  // キャンセル, Esc, the close box
      ::EndDialog(hwnd(), IDCANCEL);
    } else if (id == IDOK) {
      Accept();
    } else if ((code == BN_CLICKED &&
                (IsWeekdayBox(id) || id == IDC_SETTINGS_HOLIDAYS || id == IDC_SETTINGS_YEAR_END)) ||
               (code == EN_CHANGE && (id == IDC_SETTINGS_CLOSED || id == IDC_SETTINGS_OPEN))) {
      ShowNextDay();
    }
  }

  void Accept() {
    std::array<std::wstring, kSecondsSettings.size()> texts;
    for (std::size_t i = 0; i < texts.size(); ++i) texts[i] = TextOf(kSecondsBoxIds[i]);
    std::array<std::wstring, kDatesSettings.size()> dates;
    for (std::size_t i = 0; i < dates.size(); ++i) dates[i] = TextOf(kDatesBoxIds[i]);
    const SettingsAccepted accepted = page_.Accept(DayChoices(), texts, dates);
    if (accepted.close) {
      ::EndDialog(hwnd(), IDOK);
      return;
    }
    if (!accepted.wrongBox) return;
    const auto* seconds = std::ranges::find(kSecondsSettings, *accepted.wrongBox);
    const auto* dateList = std::ranges::find(kDatesSettings, *accepted.wrongBox);
    const int id = seconds != kSecondsSettings.end() ? kSecondsBoxIds[seconds - kSecondsSettings.begin()]
                                                     : kDatesBoxIds[dateList - kDatesSettings.begin()];
    // The box to mend, its text selected for typing over.
    const HWND box = Item(id);
    ::SendMessageW(hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(box), TRUE);
    ::SendMessageW(box, EM_SETSEL, 0, -1);
  }

  SettingsPage& page_;
  // The dialog's controls, then the notes beside those a policy can fix.
  std::vector<SettingsControlLayout> controls_;
  bool shown_ = false;
};

}  // namespace

void ShowSettingsWindow(HINSTANCE instance, HWND owner, EditorView& view, SettingsPage& page) {
  SettingsWindow window(instance, view, page);
  ShowDialog(instance, owner, window);
}

}  // namespace ombrel::editor
