#include "common/schedule/settings.h"

#include <algorithm>
#include <optional>

#include "common/list/ascii_case.h"
#include "common/list/list_temporary.h"
#include "common/list/program_folder.h"
#include "common/schedule/ini_file.h"

namespace ombrel {

namespace {

constexpr std::string_view kSectionName = "Ombrel";

std::optional<Setting> FindSetting(std::string_view name) {
  for (std::size_t i = 0; i < kSettingKeys.size(); ++i) {
    if (EqualsIgnoringAsciiCase<char>(kSettingKeys[i].name, name)) return static_cast<Setting>(i);
  }
  return std::nullopt;
}

// The value a text spells in a number's form, in its range or not.
std::optional<int> ParseValue(const SettingKey& key, std::string_view text) {
  const bool digitsOnly = std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
  if (text.empty() || !digitsOnly) return std::nullopt;
  int value = 0;
  if (key.kind == SettingKind::kWeekdays) {
    if (text.size() != 7 || text.find_first_not_of("01") != std::string_view::npos) return std::nullopt;
    for (std::size_t day = 0; day < text.size(); ++day) value |= (text[day] == '1' ? 1 : 0) << day;
  } else {
    // Nine digits cannot overflow; more are out of every range anyway, and
    // nothing tells them apart from a wrong form.
    if (text.size() > 9) return std::nullopt;
    for (const char digit : text) value = value * 10 + (digit - '0');
  }
  return value;
}

std::string SettingLine(const Settings& settings, Setting setting) {
  const SettingKey& key = KeyOf(setting);
  std::string line(key.name);
  line += '=';
  if (key.kind == SettingKind::kWeekdays) {
    for (unsigned day = 0; day < 7; ++day) line += settings.OpensOnWeekday(day) ? '1' : '0';
  } else if (HoldsText(setting)) {
    line += settings.Text(setting);
  } else {
    line += std::to_string(settings[setting]);
  }
  return line;
}

// Digits alone, one to `most` of them.
std::optional<unsigned> Digits(std::string_view text, std::size_t most) {
  if (text.empty() || text.size() > most || text.find_first_not_of("0123456789") != std::string_view::npos) {
    return std::nullopt;
  }
  unsigned value = 0;
  for (const char digit : text) value = value * 10 + static_cast<unsigned>(digit - '0');
  return value;
}

// YYYY-MM-DD, the month and the day of one digit or two.
std::optional<std::chrono::year_month_day> ParseDate(std::string_view text) {
  text = TrimBlanks(text);
  const std::size_t first = text.find('-');
  const std::size_t second = first == std::string_view::npos ? first : text.find('-', first + 1);
  if (first != 4 || second == std::string_view::npos) return std::nullopt;
  const std::optional<unsigned> year = Digits(text.substr(0, first), 4);
  const std::optional<unsigned> month = Digits(text.substr(first + 1, second - first - 1), 2);
  const std::optional<unsigned> day = Digits(text.substr(second + 1), 2);
  if (!year || !month || !day) return std::nullopt;
  const std::chrono::year_month_day date{std::chrono::year{static_cast<int>(*year)},
                                         std::chrono::month{*month}, std::chrono::day{*day}};
  return date.ok() ? std::optional(date) : std::nullopt;
}

}  // namespace

std::optional<std::vector<DateRange>> ParseDateList(std::string_view text) {
  std::vector<DateRange> dates;
  if (TrimBlanks(text).empty()) return dates;
  for (;;) {
    const std::size_t comma = text.find(',');
    const std::string_view item = text.substr(0, comma);
    const std::size_t dots = item.find("..");
    const std::optional<std::chrono::year_month_day> first = ParseDate(item.substr(0, dots));
    const std::optional<std::chrono::year_month_day> last =
        dots == std::string_view::npos ? first : ParseDate(item.substr(dots + 2));
    if (!first || !last || *last < *first) return std::nullopt;
    dates.push_back({*first, *last});
    if (comma == std::string_view::npos) return dates;
    text.remove_prefix(comma + 1);
  }
}

bool InDates(const std::vector<DateRange>& dates, std::chrono::year_month_day day) {
  return std::ranges::any_of(
      dates, [day](const DateRange& range) { return range.first <= day && day <= range.last; });
}

Settings::Settings() {
  for (std::size_t i = 0; i < kSettingKeys.size(); ++i) values_[i] = kSettingKeys[i].defaultValue;
}

bool Settings::Set(Setting setting, int value) {
  const SettingKey& key = KeyOf(setting);
  if (HoldsText(setting) || value < key.low || value > key.high) return false;
  values_[static_cast<std::size_t>(setting)] = value;
  return true;
}

bool Settings::SetText(Setting setting, std::string_view text) {
  if (!HoldsText(setting)) return false;
  if (KeyOf(setting).kind == SettingKind::kPath) {
    texts_[static_cast<std::size_t>(setting)] = TrimBlanks(text);
    return true;
  }
  std::optional<std::vector<DateRange>> dates = ParseDateList(text);
  if (!dates) return false;
  texts_[static_cast<std::size_t>(setting)] = TrimBlanks(text);
  dates_[static_cast<std::size_t>(setting)] = std::move(*dates);
  return true;
}

bool Settings::OpensOnWeekday(unsigned weekday) const {
  return weekday < 7 && ((*this)[Setting::kDays] >> weekday & 1) != 0;
}

bool SetFromText(Settings& settings, Setting setting, std::string_view text) {
  if (HoldsText(setting)) return settings.SetText(setting, text);
  const std::optional<int> value = ParseValue(KeyOf(setting), TrimBlanks(text));
  return value && settings.Set(setting, *value);
}

ParsedSettings ParseSettings(std::string_view bytes) {
  ParsedSettings parsed;
  std::array<bool, kSettingKeys.size()> seen{};
  for (const std::string_view line : IniSectionKeyLines(bytes, kSectionName)) {
    const IniKeyValue keyValue = SplitIniKeyLine(line, line.find('='));
    const std::optional<Setting> setting = FindSetting(keyValue.key);
    if (!setting || seen[static_cast<std::size_t>(*setting)]) continue;
    seen[static_cast<std::size_t>(*setting)] = true;
    if (SetFromText(parsed.settings, *setting, keyValue.value)) continue;
    if (HoldsText(*setting)) parsed.badTexts[static_cast<std::size_t>(*setting)] = keyValue.value;
    parsed.bad.push_back(*setting);
  }
  return parsed;
}

std::string MergeSettings(std::string_view bytes, const Settings& settings, const SettingMask& leave) {
  // A key left alone counts as written: its lines stay, and none is added.
  SettingMask written = leave;
  const auto rewrite = [&](std::string_view line) -> std::optional<std::string> {
    const std::optional<Setting> setting = FindSetting(SplitIniKeyLine(line, line.find('=')).key);
    if (!setting || written[static_cast<std::size_t>(*setting)]) return std::string(line);
    written[static_cast<std::size_t>(*setting)] = true;
    return SettingLine(settings, *setting);
  };
  const auto missing = [&] {
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < kSettingKeys.size(); ++i) {
      const auto setting = static_cast<Setting>(i);
      // An empty text is the default, and as a new line it would only be
      // noise in a file an administrator reads.
      const bool atDefault = HoldsText(setting) ? settings.Text(setting).empty()
                                                : settings[setting] == kSettingKeys[i].defaultValue;
      if (written[i] || (atDefault && (HoldsText(setting) || !kSettingKeys[i].lineAtDefault))) continue;
      lines.push_back(SettingLine(settings, setting));
      written[i] = true;
    }
    return lines;
  };
  return EditIniSection(bytes, kSectionName, rewrite, missing);
}

FileRead ReadSettingsFile(SystemPort& system, const std::wstring& folder) {
  const std::wstring path = folder + kSettingsFileName;
  FileRead file = system.ReadAll(path);
  if (file.status != ReadStatus::kMissing) return file;
  if (std::optional<CompleteTemporary> temporary = FindCompleteTemporary(system, path)) {
    return {ReadStatus::kRead, std::move(temporary->bytes), {}};
  }
  return file;
}

bool ReplaceSettingsFile(SystemPort& system, const std::wstring& folder, std::string_view bytes) {
  const std::wstring path = folder + kSettingsFileName;
  if (!system.ReplaceAll(path, bytes)) return false;
  // Left by saves cut short, or read in place of the file: not needed now.
  RemoveTemporaries(system, path);
  return true;
}

SettingsRead LoadSettings(SystemPort& system, const std::wstring& folder) {
  FileRead file = ReadSettingsFile(system, folder);
  SettingsRead read;
  read.status = file.status;
  if (file.status == ReadStatus::kRead) read.parsed = ParseSettings(file.bytes);
  read.bytes = std::move(file.bytes);
  return read;
}

bool SaveSettings(SystemPort& system, const std::wstring& folder, const Settings& settings,
                  const SettingMask& leave) {
  const FileRead file = ReadSettingsFile(system, folder);
  if (file.status == ReadStatus::kUnreadable) return false;
  return ReplaceSettingsFile(system, folder, MergeSettings(file.bytes, settings, leave));
}

}  // namespace ombrel
