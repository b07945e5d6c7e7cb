#include "editor/model/settings_page.h"

#include <utility>

#include "common/list/program_folder.h"
#include "common/list/stamp.h"
#include "common/schedule/day_rule.h"
#include "editor/resource.h"

namespace ombrel::editor {

namespace {

bool IsBlankCharacter(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\u3000'; }

// The text with "%1" and "%2" replaced by the two numbers.
std::wstring FillIn(std::wstring text, int first, int second) {
  for (const auto& [mark, value] : {std::pair{L"%1", first}, std::pair{L"%2", second}}) {
    if (const std::size_t at = text.find(mark); at != std::wstring::npos) {
      text.replace(at, 2, std::to_wstring(value));
    }
  }
  return text;
}

const SettingKey& KeyOf(Setting setting) { return kSettingKeys[static_cast<std::size_t>(setting)]; }

}  // namespace

std::optional<int> ParseSecondsText(std::wstring_view text) {
  while (!text.empty() && IsBlankCharacter(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlankCharacter(text.back())) text.remove_suffix(1);
  // Six digits are beyond every range already, and cannot overflow.
  if (text.empty() || text.size() > 6) return std::nullopt;
  int value = 0;
  for (const wchar_t c : text) {
    int digit = 0;
    if (c >= L'0' && c <= L'9') {
      digit = c - L'0';
    } else if (c >= L'\uFF10' && c <= L'\uFF19') {
      digit = c - L'\uFF10';
    } else {
      return std::nullopt;
    }
    value = value * 10 + digit;
  }
  return value;
}

SettingsPage::SettingsPage(EditorView& view, SystemPort& system, std::wstring folder)
    : view_(view), system_(system), folder_(std::move(folder)) {
  SettingsRead read = LoadSettings(system_, folder_);
  status_ = read.status;
  loaded_ = read.parsed.settings;
  const std::chrono::year_month_day today = DayOf(system_.Now());
  // Once it ran today, the launcher opens nothing more today whatever the
  // settings say.
  from_ = StampCheck(system_, folder_)
              ? std::chrono::year_month_day{std::chrono::sys_days{today} + std::chrono::days{1}}
              : today;
}

std::wstring SettingsPage::NextOpeningText(const Settings& choices) {
  const std::optional<std::chrono::year_month_day> next = NextOpeningDay(choices, from_);
  if (!next) return view_.LoadText(IDS_SETTINGS_NO_NEXT_DAY);
  return view_.LoadText(IDS_SETTINGS_NEXT_DAY) + DayText(*next);
}

std::wstring SettingsPage::SecondsText(Setting setting) {
  return FillIn(view_.LoadText(IDS_SETTINGS_SECONDS), KeyOf(setting).low, KeyOf(setting).high);
}

SettingsAccepted SettingsPage::Accept(Settings choices, const std::array<std::wstring, 3>& secondsTexts) {
  for (std::size_t i = 0; i < kSecondsSettings.size(); ++i) {
    const Setting setting = kSecondsSettings[i];
    const std::optional<int> value = ParseSecondsText(secondsTexts[i]);
    // Refused rather than set to the nearest end of the range: the user
    // typed another number, and a pause made shorter or longer unasked would
    // surprise more than a word.
    if (!value || !choices.Set(setting, *value)) {
      view_.ShowMessage(MessageKind::kWarning, FillIn(view_.LoadText(IDS_SETTINGS_OUT_OF_RANGE),
                                                      KeyOf(setting).low, KeyOf(setting).high));
      return {false, setting};
    }
  }
  if (!SaveSettings(system_, folder_, choices)) {
    view_.ShowMessage(MessageKind::kWarning, folder_ + kSettingsFileName + view_.LoadText(IDS_SAVE_FAILED));
    return {};
  }
  loaded_ = choices;
  return {true, std::nullopt};
}

void Editor::ShowSettings() {
  SettingsPage page(view_, system_, folder_);
  if (page.Unreadable()) {
    // Shown, the defaults would pass for the file's settings; a save would
    // be refused anyway, to keep the file's lines.
    Warn(folder_ + kSettingsFileName + view_.LoadText(IDS_LIST_UNREADABLE));
    return;
  }
  view_.ShowSettings(page);
}

}  // namespace ombrel::editor
