// The geometry of the dialog of an entry's own days ("開く日"), in twips from
// the top-left corner of its client area, on the grid of the settings
// dialog, whose kinds of control it shares: a row for each way of saying the
// days, its radio button first, then the months and the next days. The
// window code creates the controls from this one table, in this order, which
// is also the order Tab visits them.
#pragma once

#include "editor/model/settings_layout.h"

namespace ombrel::editor {

inline constexpr int kDaysClientWidthTwips = 8040;
inline constexpr int kDaysClientHeightTwips = 5172;

// The radio buttons' width, and where the controls after them begin.
inline constexpr int kDaysRadioWidthTwips = 1800;
inline constexpr int kDaysAfterRadioTwips = 2040;

constexpr SettingsControlLayout DaysWeekdayBox(int index) {
  return {IDC_DAYS_MONDAY + index,
          SettingsControlKind::kWeekday,
          0,
          kDaysAfterRadioTwips + index * 840,
          840,
          780,
          252};
}

// Month `index` (0 for January), six a row.
constexpr SettingsControlLayout DaysMonthBox(int index) {
  return {IDC_DAYS_JANUARY + index,
          SettingsControlKind::kMonth,
          0,
          360 + index % 6 * 1200,
          3480 + index / 6 * 360,
          1080,
          252};
}

inline constexpr SettingsControlLayout kDaysControls[] = {
    {IDC_DAYS_ENTRY, SettingsControlKind::kUnit, 0, 120, 120, 7800, 252},
    {IDC_DAYS_EVERY_DAY, SettingsControlKind::kRadio, IDS_DAYS_EVERY_DAY, 120, 480, 7800, 252},
    {IDC_DAYS_WEEKDAYS, SettingsControlKind::kRadio, IDS_DAYS_WEEKDAYS, 120, 840, kDaysRadioWidthTwips, 252},
    DaysWeekdayBox(0),
    DaysWeekdayBox(1),
    DaysWeekdayBox(2),
    DaysWeekdayBox(3),
    DaysWeekdayBox(4),
    DaysWeekdayBox(5),
    DaysWeekdayBox(6),
    {IDC_DAYS_MONTH_DAY, SettingsControlKind::kRadio, IDS_DAYS_MONTH_DAY, 120, 1200, kDaysRadioWidthTwips,
     252},
    {IDC_DAYS_MONTH_DAY_BOX, SettingsControlKind::kSeconds, 0, kDaysAfterRadioTwips, 1200, 600, 264},
    {IDC_DAYS_MONTH_DAY_SPIN, SettingsControlKind::kUpDown, 0, 2640, 1200, 240, 264},
    {IDC_DAYS_BEFORE_LABEL, SettingsControlKind::kLabel, IDS_DAYS_BEFORE_LABEL, 3000, 1200, 2040, 252},
    {IDC_DAYS_BEFORE, SettingsControlKind::kChoice, 0, 5160, 1200, 1800, 264},
    {IDC_DAYS_WORK_DAY, SettingsControlKind::kRadio, IDS_DAYS_WORK_DAY, 120, 1560, kDaysRadioWidthTwips, 252},
    {IDC_DAYS_WORK_DAY_BOX, SettingsControlKind::kSeconds, 0, kDaysAfterRadioTwips, 1560, 600, 264},
    {IDC_DAYS_WORK_DAY_SPIN, SettingsControlKind::kUpDown, 0, 2640, 1560, 240, 264},
    {IDC_DAYS_WORK_DAY_UNIT, SettingsControlKind::kUnit, IDS_DAYS_WORK_DAY_UNIT, 3000, 1560, 1200, 252},
    {IDC_DAYS_FROM_END, SettingsControlKind::kRadio, IDS_DAYS_FROM_END, 120, 1920, kDaysRadioWidthTwips, 252},
    {IDC_DAYS_FROM_END_BOX, SettingsControlKind::kSeconds, 0, kDaysAfterRadioTwips, 1920, 600, 264},
    {IDC_DAYS_FROM_END_SPIN, SettingsControlKind::kUpDown, 0, 2640, 1920, 240, 264},
    {IDC_DAYS_FROM_END_UNIT, SettingsControlKind::kUnit, IDS_DAYS_FROM_END_UNIT, 3000, 1920, 1200, 252},
    {IDC_DAYS_WEEK_START, SettingsControlKind::kRadio, IDS_DAYS_WEEK_START, 120, 2280, 7800, 252},
    {IDC_DAYS_AS_WRITTEN, SettingsControlKind::kRadio, IDS_DAYS_AS_WRITTEN, 120, 2640, 7800, 252},
    {IDC_DAYS_MONTHS, SettingsControlKind::kCheck, IDS_DAYS_MONTHS, 120, 3120, 7800, 252},
    DaysMonthBox(0),
    DaysMonthBox(1),
    DaysMonthBox(2),
    DaysMonthBox(3),
    DaysMonthBox(4),
    DaysMonthBox(5),
    DaysMonthBox(6),
    DaysMonthBox(7),
    DaysMonthBox(8),
    DaysMonthBox(9),
    DaysMonthBox(10),
    DaysMonthBox(11),
    {IDC_DAYS_NEXT, SettingsControlKind::kNextDay, 0, 120, 4320, 7800, 252},
    {IDC_DAYS_OK, SettingsControlKind::kDefaultButton, IDS_SETTINGS_OK, 5640, 4800, 1080, 252},
    {IDC_DAYS_CANCEL, SettingsControlKind::kButton, IDS_SETTINGS_CANCEL, 6840, 4800, 1080, 252},
};

// The radio buttons, in the order of DaysWay (entry_days_page.h).
inline constexpr int kDaysWayIds[] = {IDC_DAYS_EVERY_DAY, IDC_DAYS_WEEKDAYS, IDC_DAYS_MONTH_DAY,
                                      IDC_DAYS_WORK_DAY,  IDC_DAYS_FROM_END, IDC_DAYS_WEEK_START,
                                      IDC_DAYS_AS_WRITTEN};
// The number boxes, in the order of DaysNumber.
inline constexpr int kDaysNumberBoxIds[] = {IDC_DAYS_MONTH_DAY_BOX, IDC_DAYS_WORK_DAY_BOX,
                                            IDC_DAYS_FROM_END_BOX};

}  // namespace ombrel::editor
