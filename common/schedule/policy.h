// The settings an administrator sets by Group Policy (or Intune, or `reg
// add`): values under Software\Policies\Ombrel in the machine's hive and the
// user's, named as the [Ombrel] keys of OMBREL.CFG. For every key the
// machine's value wins over the user's, and either over the file's, which
// wins over the default. A value that is no value of its key (of the wrong
// type, out of range, of the wrong form) is passed over, as a bad line of the
// file is, and named so that a run's record can say so.
//
// Days, besides its seven digits as a text, may be given as the seven check
// boxes an administrative template offers: DWORD values DaysMonday ...
// DaysSunday, 0 or 1. Within one hive the text wins; the boxes count only when
// all seven are there and each is 0 or 1, and are otherwise passed over and
// named (the first one missing or wrong).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/schedule/settings.h"

namespace ombrel {

// Where a policy value lies, the stronger first.
enum class PolicyHive {
  kMachine,  // HKEY_LOCAL_MACHINE
  kUser,     // HKEY_CURRENT_USER
};

// The key under each hive.
inline constexpr wchar_t kPolicyKeyPath[] = L"Software\\Policies\\Ombrel";

// The seven values of Days as boxes, Monday first.
inline constexpr std::array<std::string_view, 7> kWeekdayPolicyNames = {
    "DaysMonday", "DaysTuesday", "DaysWednesday", "DaysThursday", "DaysFriday", "DaysSaturday", "DaysSunday"};

// One value as the registry holds it.
struct PolicyValue {
  enum class Type {
    kNone,    // no such value, or no key
    kText,    // REG_SZ
    kNumber,  // REG_DWORD
    kOther,   // any other type, or one that could not be read
  };
  Type type = Type::kNone;
  std::wstring text;
  std::uint32_t number = 0;
};

// Reads the policy values; Windows' registry in the programs, a table in the
// tests.
class PolicyPort {
 public:
  PolicyPort() = default;
  PolicyPort(const PolicyPort&) = delete;
  PolicyPort& operator=(const PolicyPort&) = delete;
  virtual ~PolicyPort() = default;

  // The value `name` (ASCII) under kPolicyKeyPath of `hive`.
  [[nodiscard]] virtual PolicyValue Read(PolicyHive hive, std::string_view name) = 0;
};

// The short name of a hive, as the record writes it: HKLM, HKCU.
[[nodiscard]] std::wstring_view HiveName(PolicyHive hive);

// A value passed over, and where.
struct IgnoredPolicy {
  PolicyHive hive;
  std::string_view name;
  bool operator==(const IgnoredPolicy&) const = default;
};

struct PolicySettings {
  // The settings as they hold: the file's, each key a policy sets replaced.
  Settings settings;
  // For each key, the hive whose value set it; nothing for the file's.
  std::array<std::optional<PolicyHive>, kSettingKeys.size()> fixedBy{};
  // The bad values, machine first, each hive in the order of kSettingKeys.
  std::vector<IgnoredPolicy> ignored;

  [[nodiscard]] bool Fixes(Setting setting) const {
    return fixedBy[static_cast<std::size_t>(setting)].has_value();
  }
};

// The settings `fromFile` with every policy value in `port` applied.
[[nodiscard]] PolicySettings ApplyPolicy(PolicyPort& port, const Settings& fromFile);

}  // namespace ombrel
