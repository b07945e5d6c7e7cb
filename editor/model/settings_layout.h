// The geometry of the settings dialog ("開く日と間隔"), and the kinds of
// control the dialog of an entry's days shares with it, in twips from the
// top-left corner of its client area, on the editor window's grid: a margin
// of 120, rows 360 apart, controls 252 high (an edit box 264, as Text1). The
// window code creates the controls from this one table, in this order, which
// is also the order Tab visits them; a label comes right before the box its
// access key leads to.
#pragma once

#include <iterator>

#include "common/schedule/settings.h"
#include "editor/resource.h"

namespace ombrel::editor {

enum class SettingsControlKind {
  kLabel,          // text with an access key for the control after it
  kWeekday,        // a check box; its caption is its piece of IDS_SETTINGS_WEEKDAYS
  kCheck,          // a check box
  kSeconds,        // a number box
  kUpDown,         // the arrows of the number box before it
  kUnit,           // the unit and range after a number box
  kNextDay,        // the next opening day, updated as the boxes change
  kDefaultButton,  // OK: Enter
  kButton,         // キャンセル: Esc
  kDates,          // a date list box
  kRadio,          // a radio button; the code checks one of its row and clears the others
  kChoice,         // a drop-down list of fixed choices
  kMonth,          // a month's check box; its caption is its piece of a text of months
  kPolicyNote,     // beside a setting a policy fixes: IDS_SETTINGS_BY_POLICY, or nothing
};

struct SettingsControlLayout {
  int id;
  SettingsControlKind kind;
  int captionId;  // 0: none, or a caption the code gives
  int left;
  int top;
  int width;
  int height;
};

inline constexpr int kSettingsClientWidthTwips = 6840;
inline constexpr int kSettingsClientHeightTwips = 4452;

// The seven weekday boxes, Monday first, a column each.
inline constexpr int kWeekdayLeftTwips = 120;
inline constexpr int kWeekdayPitchTwips = 960;
inline constexpr int kWeekdayWidthTwips = 840;

// Weekday `index` (0 for Monday) in its column; its caption comes from the code.
constexpr SettingsControlLayout WeekdayBox(int index) {
  return {IDC_SETTINGS_MONDAY + index,
          SettingsControlKind::kWeekday,
          0,
          kWeekdayLeftTwips + index * kWeekdayPitchTwips,
          480,
          kWeekdayWidthTwips,
          252};
}

inline constexpr SettingsControlLayout kSettingsControls[] = {
    {IDC_SETTINGS_DAYS, SettingsControlKind::kLabel, IDS_SETTINGS_DAYS, 120, 120, 6600, 252},
    WeekdayBox(0),
    WeekdayBox(1),
    WeekdayBox(2),
    WeekdayBox(3),
    WeekdayBox(4),
    WeekdayBox(5),
    WeekdayBox(6),
    {IDC_SETTINGS_HOLIDAYS, SettingsControlKind::kCheck, IDS_SETTINGS_HOLIDAYS, 120, 840, 6600, 252},
    {IDC_SETTINGS_YEAR_END, SettingsControlKind::kCheck, IDS_SETTINGS_YEAR_END, 120, 1200, 6600, 252},
    {IDC_SETTINGS_PAUSE_LABEL, SettingsControlKind::kLabel, IDS_SETTINGS_PAUSE, 120, 1680, 3000, 252},
    {IDC_SETTINGS_PAUSE, SettingsControlKind::kSeconds, 0, 3240, 1680, 720, 264},
    {IDC_SETTINGS_PAUSE_SPIN, SettingsControlKind::kUpDown, 0, 3960, 1680, 240, 264},
    {IDC_SETTINGS_PAUSE_UNIT, SettingsControlKind::kUnit, 0, 4320, 1680, 2400, 252},
    {IDC_SETTINGS_GAP_LABEL, SettingsControlKind::kLabel, IDS_SETTINGS_GAP, 120, 2040, 3000, 252},
    {IDC_SETTINGS_GAP, SettingsControlKind::kSeconds, 0, 3240, 2040, 720, 264},
    {IDC_SETTINGS_GAP_SPIN, SettingsControlKind::kUpDown, 0, 3960, 2040, 240, 264},
    {IDC_SETTINGS_GAP_UNIT, SettingsControlKind::kUnit, 0, 4320, 2040, 2400, 252},
    {IDC_SETTINGS_NETWORK_LABEL, SettingsControlKind::kLabel, IDS_SETTINGS_NETWORK, 120, 2400, 3000, 252},
    {IDC_SETTINGS_NETWORK, SettingsControlKind::kSeconds, 0, 3240, 2400, 720, 264},
    {IDC_SETTINGS_NETWORK_SPIN, SettingsControlKind::kUpDown, 0, 3960, 2400, 240, 264},
    {IDC_SETTINGS_NETWORK_UNIT, SettingsControlKind::kUnit, 0, 4320, 2400, 2400, 252},
    {IDC_SETTINGS_CLOSED_LABEL, SettingsControlKind::kLabel, IDS_SETTINGS_CLOSED_DATES, 120, 2880, 1560, 252},
    {IDC_SETTINGS_CLOSED, SettingsControlKind::kDates, 0, 1800, 2880, 4920, 264},
    {IDC_SETTINGS_OPEN_LABEL, SettingsControlKind::kLabel, IDS_SETTINGS_OPEN_DATES, 120, 3240, 1560, 252},
    {IDC_SETTINGS_OPEN, SettingsControlKind::kDates, 0, 1800, 3240, 4920, 264},
    {IDC_SETTINGS_NEXT_DAY, SettingsControlKind::kNextDay, 0, 120, 3600, 6600, 252},
    {IDC_SETTINGS_OK, SettingsControlKind::kDefaultButton, IDS_SETTINGS_OK, 4440, 4080, 1080, 252},
    {IDC_SETTINGS_CANCEL, SettingsControlKind::kButton, IDS_SETTINGS_CANCEL, 5640, 4080, 1080, 252},
};

// The controls of each setting a policy can fix, greyed when it does, and
// their rows, where its note stands in a column of its own.
struct PolicyFixedControls {
  Setting setting;
  int firstId;  // the controls from firstId to lastId
  int lastId;
  int top;
};
inline constexpr PolicyFixedControls kPolicyFixedControls[] = {
    {Setting::kDays, IDC_SETTINGS_MONDAY, IDC_SETTINGS_SUNDAY, 480},
    {Setting::kSkipHolidays, IDC_SETTINGS_HOLIDAYS, IDC_SETTINGS_HOLIDAYS, 840},
    {Setting::kSkipYearEnd, IDC_SETTINGS_YEAR_END, IDC_SETTINGS_YEAR_END, 1200},
    {Setting::kPauseSeconds, IDC_SETTINGS_PAUSE, IDC_SETTINGS_PAUSE_SPIN, 1680},
    {Setting::kGapSeconds, IDC_SETTINGS_GAP, IDC_SETTINGS_GAP_SPIN, 2040},
    {Setting::kNetworkWaitSeconds, IDC_SETTINGS_NETWORK, IDC_SETTINGS_NETWORK_SPIN, 2400},
    {Setting::kClosedDates, IDC_SETTINGS_CLOSED, IDC_SETTINGS_CLOSED, 2880},
    {Setting::kOpenDates, IDC_SETTINGS_OPEN, IDC_SETTINGS_OPEN, 3240},
};

// The notes' column, right of the dialog's own controls: the dialog is as
// wide as kSettingsPolicyClientWidthTwips only when a policy fixes a
// setting, so that nobody else sees an empty column.
inline constexpr int kPolicyNoteLeftTwips = 6840;
inline constexpr int kPolicyNoteWidthTwips = 2640;
inline constexpr int kSettingsPolicyClientWidthTwips = kPolicyNoteLeftTwips + kPolicyNoteWidthTwips + 120;

constexpr SettingsControlLayout PolicyNote(int index) {
  return {IDC_SETTINGS_POLICY_NOTE_FIRST + index,
          SettingsControlKind::kPolicyNote,
          0,
          kPolicyNoteLeftTwips,
          kPolicyFixedControls[index].top,
          kPolicyNoteWidthTwips,
          252};
}
inline constexpr SettingsControlLayout kPolicyNotes[] = {PolicyNote(0), PolicyNote(1), PolicyNote(2),
                                                         PolicyNote(3), PolicyNote(4), PolicyNote(5),
                                                         PolicyNote(6), PolicyNote(7)};
static_assert(std::size(kPolicyNotes) == std::size(kPolicyFixedControls));

// The number boxes, in the order of kSecondsSettings (settings_page.h).
inline constexpr int kSecondsBoxIds[] = {IDC_SETTINGS_PAUSE, IDC_SETTINGS_GAP, IDC_SETTINGS_NETWORK};
// The date list boxes, in the order of kDatesSettings.
inline constexpr int kDatesBoxIds[] = {IDC_SETTINGS_CLOSED, IDC_SETTINGS_OPEN};

}  // namespace ombrel::editor
