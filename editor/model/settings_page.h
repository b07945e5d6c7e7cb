// What the settings dialog ("開く日と間隔") shows and decides, apart from
// drawing it: the settings as read, the next day the list opens for the boxes
// as they stand, the number boxes' texts and OK. editor/settings_window.*
// draws it.
#pragma once

#include <array>
#include <chrono>
#include <optional>
#include <string>
#include <string_view>

#include "common/schedule/policy.h"
#include "common/schedule/settings.h"
#include "editor/model/editor.h"

namespace ombrel::editor {

// The number boxes, top to bottom.
inline constexpr std::array<Setting, 3> kSecondsSettings = {Setting::kPauseSeconds, Setting::kGapSeconds,
                                                            Setting::kNetworkWaitSeconds};
// The date list boxes, top to bottom.
inline constexpr std::array<Setting, 2> kDatesSettings = {Setting::kClosedDates, Setting::kOpenDates};

// The first day the launcher will judge: today, or tomorrow once the list
// ran today, since it then opens nothing more today whatever the settings
// say.
[[nodiscard]] std::chrono::year_month_day FirstDayToCome(SystemPort& system, const std::wstring& folder);

// A date list box's text into `choices`, digits and signs of either width;
// false, `choices` unchanged, when it is no date list.
[[nodiscard]] bool ApplyDatesText(Settings& choices, Setting setting, std::wstring_view text);

// What OK came to.
struct SettingsAccepted {
  bool close = false;  // saved: the dialog closes
  // The box whose text is no value of its range or no date list (the user
  // was told); the dialog stays, with that box focused.
  std::optional<Setting> wrongBox;
};

class SettingsPage {
 public:
  // Reads the settings file of `folder` and the policy over it, and what the
  // next opening day counts from: today, or tomorrow when the list ran today
  // already.
  SettingsPage(EditorView& view, SystemPort& system, PolicyPort& policy, std::wstring folder);

  // The file exists but could not be read: what the dialog would show is not
  // what the file holds.
  [[nodiscard]] bool Unreadable() const { return status_ == ReadStatus::kUnreadable; }
  // The settings as they hold: the file's, a bad or missing value at its
  // default, and a policy's value where one is set.
  [[nodiscard]] const Settings& Loaded() const { return loaded_; }
  // The setting's box shows the policy's value, greyed, with
  // IDS_SETTINGS_BY_POLICY beside it, and OK leaves its line in the file.
  [[nodiscard]] bool FixedByPolicy(Setting setting) const {
    return fixed_[static_cast<std::size_t>(setting)];
  }
  [[nodiscard]] bool AnyFixedByPolicy() const;
  // A date list box's text as it opens: the file's, a bad one too, so that
  // a long list is mended rather than lost to one slip.
  [[nodiscard]] std::wstring DatesText(Setting setting) const;

  // "次に開く日: 2026-12-08 (火)" under `choices`, or the text that says no
  // day opens.
  [[nodiscard]] std::wstring NextOpeningText(const Settings& choices);
  // A number box's unit and range: "秒 (0～300)".
  [[nodiscard]] std::wstring SecondsText(Setting setting);

  // OK with the day choices made, the number boxes' texts, in the order of
  // kSecondsSettings, and the date list boxes', in the order of
  // kDatesSettings: every number must lie in its range and every list be
  // one, then the settings are saved, keeping every other line of the file
  // and the lines of those a policy fixes, whose boxes are not looked at.
  // A failed save warns with the file's path and keeps the dialog open.
  [[nodiscard]] SettingsAccepted Accept(Settings choices, const std::array<std::wstring, 3>& secondsTexts,
                                        const std::array<std::wstring, 2>& datesTexts);

 private:
  EditorView& view_;
  SystemPort& system_;
  std::wstring folder_;
  ReadStatus status_ = ReadStatus::kMissing;
  Settings loaded_;
  SettingMask fixed_{};
  std::array<std::string, kSettingKeys.size()> badTexts_{};
  std::chrono::year_month_day from_;
};

}  // namespace ombrel::editor
