#include "common/schedule/settings.h"

#include <algorithm>
#include <optional>

#include "common/list/ascii_case.h"
#include "common/list/blank.h"
#include "common/list/entry_list.h"
#include "common/list/list_temporary.h"
#include "common/list/program_folder.h"

namespace ombrel {

namespace {

constexpr std::string_view kSectionName = "Ombrel";
constexpr std::string_view kNewLineEnd = "\r\n";

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

struct Line {
  std::string_view text;  // without its line end
  std::string_view end;   // CR LF, CR, LF, or nothing on a last line without one
};

std::vector<Line> SplitLines(std::string_view bytes) {
  std::vector<Line> lines;
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    const std::size_t end = std::min(bytes.find_first_of("\r\n", pos), bytes.size());
    std::size_t next = end;
    if (next < bytes.size()) next += bytes.compare(next, 2, "\r\n") == 0 ? 2 : 1;
    lines.push_back({bytes.substr(pos, end - pos), bytes.substr(end, next - end)});
    pos = next;
  }
  return lines;
}

// What one line is, as far as the settings go.
struct LineMeaning {
  enum class Kind { kOther, kSection, kKeyValue } kind = Kind::kOther;
  std::string_view name;  // the section's or the key's
  std::string_view value;
};

LineMeaning Classify(std::string_view line) {
  const std::string_view text = Trim(line);
  if (text.size() >= 2 && text.front() == '[' && text.back() == ']') {
    return {LineMeaning::Kind::kSection, Trim(text.substr(1, text.size() - 2)), {}};
  }
  const std::size_t equals = text.find('=');
  if (text.empty() || text.front() == ';' || text.front() == '#' || equals == std::string_view::npos) {
    return {};
  }
  return {LineMeaning::Kind::kKeyValue, Trim(text.substr(0, equals)), Trim(text.substr(equals + 1))};
}

std::optional<Setting> FindSetting(std::string_view name) {
  for (std::size_t i = 0; i < kSettingKeys.size(); ++i) {
    if (EqualsIgnoringAsciiCase<char>(kSettingKeys[i].name, name)) return static_cast<Setting>(i);
  }
  return std::nullopt;
}

// The value a text spells in the setting's form, in its range or not.
std::optional<int> ParseValue(const SettingKey& key, std::string_view text) {
  const bool digitsOnly = std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
  if (text.empty() || !digitsOnly) return std::nullopt;
  int value = 0;
  if (key.weekdays) {
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
  const SettingKey& key = kSettingKeys[static_cast<std::size_t>(setting)];
  const int value = settings[setting];
  std::string line(key.name);
  line += '=';
  if (key.weekdays) {
    for (unsigned day = 0; day < 7; ++day) line += settings.OpensOnWeekday(day) ? '1' : '0';
  } else {
    line += std::to_string(value);
  }
  return line;
}

bool EndsWithLineEnd(std::string_view text) {
  return text.empty() || text.back() == '\n' || text.back() == '\r';
}

}  // namespace

Settings::Settings() {
  for (std::size_t i = 0; i < kSettingKeys.size(); ++i) values_[i] = kSettingKeys[i].defaultValue;
}

bool Settings::Set(Setting setting, int value) {
  const SettingKey& key = kSettingKeys[static_cast<std::size_t>(setting)];
  if (value < key.low || value > key.high) return false;
  values_[static_cast<std::size_t>(setting)] = value;
  return true;
}

bool Settings::OpensOnWeekday(unsigned weekday) const {
  return weekday < 7 && ((*this)[Setting::kDays] >> weekday & 1) != 0;
}

ParsedSettings ParseSettings(std::string_view bytes) {
  if (bytes.starts_with(kUtf8Mark)) bytes.remove_prefix(kUtf8Mark.size());
  ParsedSettings parsed;
  std::array<bool, kSettingKeys.size()> seen{};
  bool inSection = false;
  for (const Line& line : SplitLines(bytes)) {
    const LineMeaning meaning = Classify(line.text);
    if (meaning.kind == LineMeaning::Kind::kSection)
      inSection = EqualsIgnoringAsciiCase<char>(meaning.name, kSectionName);
    if (!inSection || meaning.kind != LineMeaning::Kind::kKeyValue) continue;
    const std::optional<Setting> setting = FindSetting(meaning.name);
    if (!setting || seen[static_cast<std::size_t>(*setting)]) continue;
    seen[static_cast<std::size_t>(*setting)] = true;
    const std::optional<int> value =
        ParseValue(kSettingKeys[static_cast<std::size_t>(*setting)], meaning.value);
    if (!value || !parsed.settings.Set(*setting, *value)) parsed.bad.push_back(*setting);
  }
  return parsed;
}

std::string MergeSettings(std::string_view bytes, const Settings& settings) {
  const bool marked = bytes.starts_with(kUtf8Mark);
  if (marked) bytes.remove_prefix(kUtf8Mark.size());
  std::string out;
  std::array<bool, kSettingKeys.size()> written{};
  const auto writeMissing = [&] {
    for (std::size_t i = 0; i < kSettingKeys.size(); ++i) {
      if (written[i]) continue;
      if (!EndsWithLineEnd(out)) out += kNewLineEnd;
      out += SettingLine(settings, static_cast<Setting>(i));
      out += kNewLineEnd;
      written[i] = true;
    }
  };

  bool inSection = false;
  bool sectionFound = false;
  bool inFirstSection = false;
  // Blank lines at the end of the first section, held back so that missing
  // settings go in before them, next to the others.
  std::string heldBlanks;
  for (const Line& line : SplitLines(bytes)) {
    const LineMeaning meaning = Classify(line.text);
    std::string text(line.text);
    if (meaning.kind == LineMeaning::Kind::kSection) {
      if (inFirstSection) writeMissing();
      inSection = EqualsIgnoringAsciiCase<char>(meaning.name, kSectionName);
      inFirstSection = inSection && !sectionFound;
      sectionFound = sectionFound || inSection;
    } else if (inSection && meaning.kind == LineMeaning::Kind::kKeyValue) {
      const std::optional<Setting> setting = FindSetting(meaning.name);
      if (setting && !written[static_cast<std::size_t>(*setting)]) {
        text = SettingLine(settings, *setting);
        written[static_cast<std::size_t>(*setting)] = true;
      }
    }
    text += line.end;
    if (inFirstSection && meaning.kind != LineMeaning::Kind::kSection && Trim(line.text).empty()) {
      heldBlanks += text;
      continue;
    }
    out += heldBlanks;
    heldBlanks.clear();
    out += text;
  }
  if (!sectionFound) {
    // After a blank line, apart from what the file held.
    if (!out.empty()) out += EndsWithLineEnd(out) ? kNewLineEnd : "\r\n\r\n";
    out += '[';
    out += kSectionName;
    out += ']';
    out += kNewLineEnd;
  }
  writeMissing();
  out += heldBlanks;
  return marked ? std::string(kUtf8Mark) + out : out;
}

namespace {

// The file, or when it is missing the whole temporary of a save that a power
// cut stopped between its two steps on FAT or exFAT: that save's content, as
// the list is recovered.
FileRead ReadSettingsFile(SystemPort& system, const std::wstring& path) {
  FileRead file = system.ReadAll(path);
  if (file.status != ReadStatus::kMissing) return file;
  if (std::optional<CompleteTemporary> temporary = FindCompleteTemporary(system, path)) {
    return {ReadStatus::kRead, std::move(temporary->bytes), {}};
  }
  return file;
}

}  // namespace

SettingsRead LoadSettings(SystemPort& system, const std::wstring& folder) {
  FileRead file = ReadSettingsFile(system, folder + kSettingsFileName);
  SettingsRead read;
  read.status = file.status;
  if (file.status == ReadStatus::kRead) read.parsed = ParseSettings(file.bytes);
  return read;
}

bool SaveSettings(SystemPort& system, const std::wstring& folder, const Settings& settings) {
  const std::wstring path = folder + kSettingsFileName;
  const FileRead file = ReadSettingsFile(system, path);
  if (file.status == ReadStatus::kUnreadable) return false;
  if (!system.ReplaceAll(path, MergeSettings(file.bytes, settings))) return false;
  // Left by saves cut short, or read in place of the file: not needed now.
  RemoveTemporaries(system, path);
  return true;
}

}  // namespace ombrel
