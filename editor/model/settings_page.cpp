#include "editor/model/settings_page.h"

#include <algorithm>
#include <utility>

#include "common/list/program_folder.h"
#include "common/list/stamp.h"
#include "common/list/utf8.h"
#include "common/schedule/day_rule.h"
#include "editor/model/typed_text.h"
#include "editor/resource.h"

namespace ombrel::editor {

std::chrono::year_month_day FirstDayToCome(SystemPort& system, const std::wstring& folder) {
  const std::chrono::year_month_day today = DayOf(system.Now());
  return StampCheck(system, folder) ? DaysAfter(today, 1) : today;
}

bool ApplyDatesText(Settings& choices, Setting setting, std::wstring_view text) {
  const std::optional<std::string> ascii = TypedAscii(text);
  return ascii && choices.SetText(setting, *ascii);
}

SettingsPage::SettingsPage(EditorView& view, SystemPort& system, PolicyPort& policy, std::wstring folder)
    : view_(view), system_(system), folder_(std::move(folder)) {
  SettingsRead read = LoadSettings(system_, folder_);
  status_ = read.status;
  const PolicySettings fixed = ApplyPolicy(policy, read.parsed.settings);
  loaded_ = fixed.settings;
  badTexts_ = read.parsed.badTexts;
  for (std::size_t i = 0; i < kSettingKeys.size(); ++i) {
    fixed_[i] = fixed.fixedBy[i].has_value();
    // The file's bad text is not what holds: the policy's value is.
    if (fixed_[i]) badTexts_[i].clear();
  }
  from_ = FirstDayToCome(system_, folder_);
}

bool SettingsPage::AnyFixedByPolicy() const { return std::ranges::find(fixed_, true) != fixed_.end(); }

std::wstring SettingsPage::DatesText(Setting setting) const {
  const std::string& bad = badTexts_[static_cast<std::size_t>(setting)];
  const std::string_view text = bad.empty() ? loaded_.Text(setting) : bad;
  // ASCII when read; bytes beyond it only in a bad line, shown as they read.
  return FromUtf8(text);
}

std::wstring SettingsPage::NextOpeningText(const Settings& choices) {
  const std::optional<std::chrono::year_month_day> next = NextOpeningDay(choices, from_);
  if (!next) return view_.LoadText(IDS_SETTINGS_NO_NEXT_DAY);
  return view_.LoadText(IDS_SETTINGS_NEXT_DAY) + DayText(*next);
}

std::wstring SettingsPage::SecondsText(Setting setting) {
  return FillIn(view_.LoadText(IDS_SETTINGS_SECONDS), KeyOf(setting).low, KeyOf(setting).high);
}

SettingsAccepted SettingsPage::Accept(Settings choices, const std::array<std::wstring, 3>& secondsTexts,
                                      const std::array<std::wstring, 2>& datesTexts) {
  for (std::size_t i = 0; i < kSecondsSettings.size(); ++i) {
    const Setting setting = kSecondsSettings[i];
    if (FixedByPolicy(setting)) continue;
    const std::optional<int> value = ParseNumberText(secondsTexts[i]);
    // Refused rather than set to the nearest end of the range: the user
    // typed another number, and a pause made shorter or longer unasked would
    // surprise more than a word.
    if (!value || !choices.Set(setting, *value)) {
      view_.ShowMessage(MessageKind::kWarning, FillIn(view_.LoadText(IDS_SETTINGS_OUT_OF_RANGE),
                                                      KeyOf(setting).low, KeyOf(setting).high));
      return {false, setting};
    }
  }
  for (std::size_t i = 0; i < kDatesSettings.size(); ++i) {
    if (FixedByPolicy(kDatesSettings[i]) || ApplyDatesText(choices, kDatesSettings[i], datesTexts[i]))
      continue;
    view_.ShowMessage(MessageKind::kWarning, view_.LoadText(IDS_SETTINGS_BAD_DATES));
    return {false, kDatesSettings[i]};
  }
  if (!SaveSettings(system_, folder_, choices, fixed_)) {
    view_.ShowMessage(MessageKind::kWarning, folder_ + kSettingsFileName + view_.LoadText(IDS_SAVE_FAILED));
    return {};
  }
  loaded_ = choices;
  badTexts_ = {};
  return {true, std::nullopt};
}

void Editor::ShowSettings() {
  SettingsPage page(view_, system_, policy_, folder_);
  if (page.Unreadable()) {
    // Shown, the defaults would pass for the file's settings; a save would
    // be refused anyway, to keep the file's lines.
    Warn(folder_ + kSettingsFileName + view_.LoadText(IDS_LIST_UNREADABLE));
    return;
  }
  view_.ShowSettings(page);
}

}  // namespace ombrel::editor
