// The settings file OMBREL.CFG: which days the list opens on and how its
// entries are paced. An INI file, so that an administrator can write one by
// hand and hand it out:
//
//   [Ombrel]
//   Days=1111100
//   SkipHolidays=1
//   ClosedDates=2026-08-13..2026-08-14, 2026-10-01
//
// A setting holds a number or a text (the company's calendar, a list of
// days); one table names every key and its kind. Every setting has a default
// that keeps the launcher as it always was, and a file that is missing,
// unreadable or wrong in any part never stops anything: whatever cannot be
// read as a value in its range counts as the default.
#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/port/system_port.h"

namespace ombrel {

enum class Setting : std::size_t {
  kDays,                // the weekdays on which the list opens, Monday first
  kSkipHolidays,        // 1: not on Japan's national holidays
  kSkipYearEnd,         // 1: not from December 29 to January 3
  kPauseSeconds,        // after the start, before the first entry
  kGapSeconds,          // between two entries
  kNetworkWaitSeconds,  // longest wait for an entry's network path to answer
  kClosedDates,         // the company's days off (創立記念日, 夏季休業)
  kOpenDates,           // the company's working days the other rules close (土曜出勤)
  kTeamFolder,          // the folder of the team's list, as a rule on a share
  kNotifyFailures,      // 1: a run that went wrong says so in a notification
};

// How a setting's value is written.
enum class SettingKind {
  kNumber,    // decimal digits, within the key's range
  kWeekdays,  // seven digits 0 or 1, Monday to Sunday; the value holds Monday in its lowest bit
  kDates,     // days (2026-08-13) and ranges (2026-08-13..2026-08-16) separated by commas
  kPath,      // a folder's path, in the file's bytes as written
};

struct SettingKey {
  std::string_view name;  // as in the file; read without regard to letter case
  SettingKind kind;
  // A number's default and range. A value outside it is as bad as one that
  // is no number at all, and reads as the default: a pause of 3000 s is a
  // slip, not a wish for the longest pause there is. A text's default is
  // empty.
  int defaultValue;
  int low;
  int high;
  // A file without the key's line gets one when the dialog saves: true for
  // the settings the dialog shows, so that an administrator finds every one
  // to change; false for those it leaves to an administrator, whose default
  // is then only noise. Any value but the default is always written.
  bool lineAtDefault = true;
};

inline constexpr int kEveryWeekday = 0b1111111;

// Every setting, in the order of `Setting` and of a new file's lines.
inline constexpr std::array<SettingKey, 10> kSettingKeys = {{
    {"Days", SettingKind::kWeekdays, kEveryWeekday, 0, kEveryWeekday},
    {"SkipHolidays", SettingKind::kNumber, 0, 0, 1},
    {"SkipYearEnd", SettingKind::kNumber, 0, 0, 1},
    {"PauseSeconds", SettingKind::kNumber, 0, 0, 300},
    {"GapSeconds", SettingKind::kNumber, 0, 0, 60},
    {"NetworkWaitSeconds", SettingKind::kNumber, 0, 0, 300},
    {"ClosedDates", SettingKind::kDates, 0, 0, 0},
    {"OpenDates", SettingKind::kDates, 0, 0, 0},
    {"TeamFolder", SettingKind::kPath, 0, 0, 0, false},
    {"NotifyFailures", SettingKind::kNumber, 1, 0, 1, false},
}};

[[nodiscard]] constexpr const SettingKey& KeyOf(Setting setting) {
  return kSettingKeys[static_cast<std::size_t>(setting)];
}
// A setting whose value is a text rather than a number.
[[nodiscard]] constexpr bool HoldsText(Setting setting) {
  return KeyOf(setting).kind == SettingKind::kDates || KeyOf(setting).kind == SettingKind::kPath;
}

// The days from `first` to `last`, both included; one day is a range of one.
struct DateRange {
  std::chrono::year_month_day first;
  std::chrono::year_month_day last;
  bool operator==(const DateRange&) const = default;
};

// A date list as written: items separated by commas, blanks around them
// ignored, each a day YYYY-MM-DD (month and day of one digit or two) or two
// such days joined by "..", the first not after the second. Nothing for
// anything else, an empty item included; an empty or blank text is no day
// at all.
[[nodiscard]] std::optional<std::vector<DateRange>> ParseDateList(std::string_view text);

// The day lies in one of the ranges.
[[nodiscard]] bool InDates(const std::vector<DateRange>& dates, std::chrono::year_month_day day);

class Settings {
 public:
  // Every setting at its default.
  Settings();

  // A number's value; 0 for a text setting.
  [[nodiscard]] int operator[](Setting setting) const { return values_[static_cast<std::size_t>(setting)]; }
  // False, and the setting unchanged, for a value outside its range or a
  // text setting.
  [[nodiscard]] bool Set(Setting setting, int value);

  // A text setting's value as it is written, blanks around it dropped.
  [[nodiscard]] std::string_view Text(Setting setting) const {
    return texts_[static_cast<std::size_t>(setting)];
  }
  // False, and the setting unchanged, for a text that is no value of it or
  // a number setting.
  [[nodiscard]] bool SetText(Setting setting, std::string_view text);
  // A date list's days, as its text gives them.
  [[nodiscard]] const std::vector<DateRange>& Dates(Setting setting) const {
    return dates_[static_cast<std::size_t>(setting)];
  }

  // `weekday`: 0 for Monday to 6 for Sunday.
  [[nodiscard]] bool OpensOnWeekday(unsigned weekday) const;

  bool operator==(const Settings&) const = default;

 private:
  std::array<int, kSettingKeys.size()> values_{};
  std::array<std::string, kSettingKeys.size()> texts_{};
  std::array<std::vector<DateRange>, kSettingKeys.size()> dates_{};
};

// Sets `setting` from its value as the file writes it (digits, the seven
// weekday digits, a date list, a path), blanks around it dropped; false, and
// the setting unchanged, for a text that is no value of it.
[[nodiscard]] bool SetFromText(Settings& settings, Setting setting, std::string_view text);

struct ParsedSettings {
  Settings settings;
  // The settings whose line held a value that is no value of theirs (wrong
  // form, out of range, empty) and so read as the default, in file order.
  std::vector<Setting> bad;
  // What a text setting's bad line held, blanks around it dropped, so that a
  // dialog can show a long list of days to mend rather than lose it to one
  // slip; empty for the others.
  std::array<std::string, kSettingKeys.size()> badTexts{};
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
// without a line gets one after the section's last line that is not blank
// (but an empty text, which is its default, gets none), and a file without
// the section gets it at its end. Every other line, the
// mark, the comments, unknown keys and other sections, is kept byte for byte,
// line ends included; new lines end with CR LF.
// The settings of `leave` are left as the file has them: their lines kept as
// they are, none added.
using SettingMask = std::array<bool, kSettingKeys.size()>;
[[nodiscard]] std::string MergeSettings(std::string_view bytes, const Settings& settings,
                                        const SettingMask& leave = {});

struct SettingsRead {
  // kMissing and kUnreadable still give the defaults: neither is a failure,
  // but a caller may want to say why the defaults hold.
  ReadStatus status = ReadStatus::kMissing;
  ParsedSettings parsed;
  // The file as read, for its other sections (the entries' own days).
  std::string bytes;
};

// The bytes of the program folder's settings file, or when it is missing the
// whole temporary of a save that a power cut stopped between its two steps
// on FAT or exFAT (read as a missing list is recovered). Every reader and
// writer of the file goes through it, so that no save writes over settings
// that only lie in such a temporary.
[[nodiscard]] FileRead ReadSettingsFile(SystemPort& system, const std::wstring& folder);
// Puts `bytes` in place of the settings file in one step, as the list is
// replaced, and then removes the temporaries left by saves cut short or read
// in its place. False when nothing was saved.
[[nodiscard]] bool ReplaceSettingsFile(SystemPort& system, const std::wstring& folder,
                                       std::string_view bytes);

// The settings file of the program folder.
[[nodiscard]] SettingsRead LoadSettings(SystemPort& system, const std::wstring& folder);

// Writes the settings into the program folder's file, replacing it in one
// step as the list is replaced. The file is read again first, so that lines
// someone added since the load are kept; a file that exists but cannot be read
// is not written over, as that would lose them. False when nothing was saved.
[[nodiscard]] bool SaveSettings(SystemPort& system, const std::wstring& folder, const Settings& settings,
                                const SettingMask& leave = {});

}  // namespace ombrel
