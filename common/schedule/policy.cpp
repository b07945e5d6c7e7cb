#include "common/schedule/policy.h"

#include <algorithm>
#include <climits>

#include "common/list/utf8.h"

namespace ombrel {

namespace {

constexpr std::array<PolicyHive, 2> kHivesStrongestFirst = {PolicyHive::kMachine, PolicyHive::kUser};

// What one hive says of one key.
struct HiveAnswer {
  bool found = false;  // some value of the key is there
  // Where a value that is no value of the key was found; the key's own
  // settings changed only when none was.
  std::optional<std::string_view> badName;
};

// `value` applied to `setting` in `into`, the file's rules for a text;
// false for a value of another type or one that is no value of the key.
bool SetFromValue(Settings& into, Setting setting, const PolicyValue& value) {
  if (value.type == PolicyValue::Type::kText) return SetFromText(into, setting, ToUtf8(value.text));
  const bool number = value.type == PolicyValue::Type::kNumber && KeyOf(setting).kind == SettingKind::kNumber;
  return number && value.number <= INT_MAX && into.Set(setting, static_cast<int>(value.number));
}

// The seven boxes of Days: all seven there, each 0 or 1.
HiveAnswer ReadWeekdayBoxes(PolicyPort& port, PolicyHive hive, Settings& into) {
  std::array<PolicyValue, kWeekdayPolicyNames.size()> boxes;
  for (std::size_t day = 0; day < boxes.size(); ++day) boxes[day] = port.Read(hive, kWeekdayPolicyNames[day]);
  if (std::ranges::all_of(boxes,
                          [](const PolicyValue& box) { return box.type == PolicyValue::Type::kNone; })) {
    return {};
  }
  int days = 0;
  for (std::size_t day = 0; day < boxes.size(); ++day) {
    if (boxes[day].type != PolicyValue::Type::kNumber || boxes[day].number > 1) {
      return {true, kWeekdayPolicyNames[day]};
    }
    days |= static_cast<int>(boxes[day].number) << day;
  }
  static_cast<void>(into.Set(Setting::kDays, days));
  return {true, std::nullopt};
}

HiveAnswer ReadKey(PolicyPort& port, PolicyHive hive, Setting setting, Settings& into) {
  const std::string_view name = KeyOf(setting).name;
  const PolicyValue value = port.Read(hive, name);
  if (value.type == PolicyValue::Type::kNone) {
    return setting == Setting::kDays ? ReadWeekdayBoxes(port, hive, into) : HiveAnswer{};
  }
  if (SetFromValue(into, setting, value)) return {true, std::nullopt};
  return {true, name};
}

}  // namespace

std::wstring_view HiveName(PolicyHive hive) { return hive == PolicyHive::kMachine ? L"HKLM" : L"HKCU"; }

PolicySettings ApplyPolicy(PolicyPort& port, const Settings& fromFile) {
  PolicySettings result{fromFile, {}, {}};
  for (const PolicyHive hive : kHivesStrongestFirst) {
    for (std::size_t i = 0; i < kSettingKeys.size(); ++i) {
      const auto setting = static_cast<Setting>(i);
      // Read into a copy: a bad value leaves nothing behind, and a key the
      // stronger hive set keeps its value, though the weaker one's bad value
      // is still named.
      Settings candidate = result.settings;
      const HiveAnswer answer = ReadKey(port, hive, setting, candidate);
      if (answer.badName) {
        result.ignored.push_back({hive, *answer.badName});
      } else if (answer.found && !result.Fixes(setting)) {
        result.settings = std::move(candidate);
        result.fixedBy[i] = hive;
      }
    }
  }
  return result;
}

}  // namespace ombrel
