// The settings file OMBREL.CFG: which days the list opens on and how its
// entries are paced. An INI file, so that an administrator can write one by
// hand and hand it out:
//
//   [Ombrel]
//   Days=1111100
//   SkipHolidays=1
//
// Every setting has a default that keeps the launcher as it always was, and a
// file that is missing, unreadable or wrong in any part never stops anything:
// whatever cannot be read as a value in its range counts as the default.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "common/port/system_port.h"

namespace ombrel {

enum class Setting : std::size_t {
  kDays,               // the weekdays on which the list opens, Monday first
  kSkipHolidays,       // 1: not on Japan's national holidays
  kSkipYearEnd,        // 1: not from December 29 to January 3
  kPauseSeconds,       // after the start, before the first entry
  kGapSeconds,         // between two entries
  kNetworkWaitSeconds  // longest wait for an entry's network path to answer
};

struct SettingKey {
  std::string_view name;  // as in the file; read without regard to letter case
  int defaultValue;
  // The range. A value outside it is as bad as one that is no number at all,
  // and reads as the default: a pause of 3000 s is a slip, not a wish for the
  // longest pause there is.
  int low;
  int high;
  // Written as seven digits 0 or 1, Monday to Sunday, where the value holds
  // Monday in its lowest bit; every other setting is a decimal number.
  bool weekdays;
};

inline constexpr int kEveryWeekday = 0b1111111;

// Every setting, in the order of `Setting` and of a new file's lines.
inline constexpr std::array<SettingKey, 6> kSettingKeys = {{
    {"Days", kEveryWeekday, 0, kEveryWeekday, true},
    {"SkipHolidays", 0, 0, 1, false},
    {"SkipYearEnd", 0, 0, 1, false},
    {"PauseSeconds", 0, 0, 300, false},
    {"GapSeconds", 0, 0, 60, false},
    {"NetworkWaitSeconds", 0, 0, 300, false},
}};

class Settings {
 public:
  // Every setting at its default.
  Settings();

  [[nodiscard]] int operator[](Setting setting) const { return values_[static_cast<std::size_t>(setting)]; }
  // False, and the setting unchanged, for a value outside its range.
  [[nodiscard]] bool Set(Setting setting, int value);

  // `weekday`: 0 for Monday to 6 for Sunday.
  [[nodiscard]] bool OpensOnWeekday(unsigned weekday) const;

  bool operator==(const Settings&) const = default;

 private:
  std::array<int, kSettingKeys.size()> values_{};
};

struct ParsedSettings {
  Settings settings;
  // The settings whose line held a value that is no value of theirs (wrong
  // form, out of range, empty) and so read as the default, in file order.
  std::vector<Setting> bad;
};

// The settings in a file's bytes. Only the `[Ombrel]` section counts; its
// `key=value` lines are read with blanks around key and value ignored, keys
// and section name without regard to letter case, and the first line of a key
// wins, as Windows' own profile functions read them. Lines starting with `;`
// or `#` are comments. A UTF-8 mark in front is skipped. The reader looks
// only at ASCII bytes, so text in any form around the settings does not
// disturb it.
[[nodiscard]] ParsedSettings ParseSettings(std::string_view bytes);

// The file's bytes with the settings written into them: each setting's first
// line in the `[Ombrel]` section is rewritten as `Key=value`, a setting
// without a line gets one after the section's last line that is not blank,
// and a file without the section gets it at its end. Every other line, the
// mark, the comments, unknown keys and other sections, is kept byte for byte,
// line ends included; new lines end with CR LF.
[[nodiscard]] std::string MergeSettings(std::string_view bytes, const Settings& settings);

struct SettingsRead {
  // kMissing and kUnreadable still give the defaults: neither is a failure,
  // but a caller may want to say why the defaults hold.
  ReadStatus status = ReadStatus::kMissing;
  ParsedSettings parsed;
};

// The settings file of the program folder.
[[nodiscard]] SettingsRead LoadSettings(SystemPort& system, const std::wstring& folder);

// Writes the settings into the program folder's file, replacing it in one
// step as the list is replaced. The file is read again first, so that lines
// someone added since the load are kept; a file that exists but cannot be read
// is not written over, as that would lose them. False when nothing was saved.
[[nodiscard]] bool SaveSettings(SystemPort& system, const std::wstring& folder, const Settings& settings);

}  // namespace ombrel
