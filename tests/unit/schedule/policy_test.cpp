// The policy over the settings file: which value holds for each key, and
// which values are passed over.
#include "common/schedule/policy.h"

#include <gtest/gtest.h>

#include "fakes.h"

namespace ombrel {
namespace {

using Type = PolicyValue::Type;
constexpr PolicyHive kMachine = PolicyHive::kMachine;
constexpr PolicyHive kUser = PolicyHive::kUser;

PolicyValue Number(std::uint32_t number) { return {Type::kNumber, {}, number}; }
PolicyValue Text(std::wstring text) { return {Type::kText, std::move(text), 0}; }

// A setting's value in the file's form, to compare one key alone.
std::string ValueOf(const Settings& settings, Setting setting) {
  return HoldsText(setting) ? std::string(settings.Text(setting)) : std::to_string(settings[setting]);
}
std::string ValueOfText(Setting setting, std::string_view text) {
  Settings settings;
  EXPECT_TRUE(SetFromText(settings, setting, text)) << text;
  return ValueOf(settings, setting);
}

// Per key: a file value, a user's and a machine's, each differing from the
// one it wins over (as the file would write it), and a bad value.
struct KeyCase {
  Setting setting;
  std::string file;
  PolicyValue user;
  std::string userAsText;
  PolicyValue machine;
  std::string machineAsText;
  PolicyValue bad;
};

TEST(PolicyTest, MachineOverUserOverFileOverDefaultForEveryKeyAndABadValuePassedOver) {
  const KeyCase cases[] = {
      {Setting::kDays, "1111110", Text(L"1111100"), "1111100", Text(L"0000011"), "0000011", Text(L"111110")},
      {Setting::kSkipHolidays, "1", Number(0), "0", Number(1), "1", Number(2)},
      {Setting::kSkipYearEnd, "1", Number(0), "0", Number(1), "1", Text(L"yes")},
      {Setting::kPauseSeconds, "10", Number(20), "20", Number(30), "30", Number(301)},
      // Digits as a text count as the number.
      {Setting::kGapSeconds, "10", Number(20), "20", Text(L"30"), "30", Number(61)},
      {Setting::kNetworkWaitSeconds, "10", Number(20), "20", Number(300), "300", Number(0x80000000U)},
      {Setting::kClosedDates, "2026-08-13", Text(L"2026-08-14"), "2026-08-14",
       Text(L"2026-08-15..2026-08-16"), "2026-08-15..2026-08-16", Text(L"2026-13-01")},
      // An empty text is a value: the policy fixes that there is none.
      {Setting::kOpenDates, "2026-08-13", Text(L"2026-08-14"), "2026-08-14", Text(L""), "", Number(1)},
      {Setting::kTeamFolder, "\\\\a\\x", Text(L"\\\\b\\y"), "\\\\b\\y", Text(L"\\\\srv\\共有"),
       "\\\\srv\\\xE5\x85\xB1\xE6\x9C\x89", Number(1)},
      {Setting::kNotifyFailures, "0", Number(1), "1", Number(0), "0", PolicyValue{Type::kOther, {}, 0}},
  };
  static_assert(std::size(cases) == kSettingKeys.size());
  for (const KeyCase& c : cases) {
    const std::string name(KeyOf(c.setting).name);
    SCOPED_TRACE(name);
    Settings file;
    ASSERT_TRUE(SetFromText(file, c.setting, c.file));
    const std::string fileValue = ValueOf(file, c.setting);
    const std::string userValue = ValueOfText(c.setting, c.userAsText);
    const std::string machineValue = ValueOfText(c.setting, c.machineAsText);
    ASSERT_NE(machineValue, userValue);
    ASSERT_NE(userValue, fileValue);
    ASSERT_NE(fileValue, ValueOf(Settings{}, c.setting));
    struct Scenario {
      const char* what;
      bool fromFile;
      std::optional<PolicyValue> user;
      std::optional<PolicyValue> machine;
      std::string expected;
      std::optional<PolicyHive> fixedBy;
      std::vector<IgnoredPolicy> ignored;
    };
    const Scenario scenarios[] = {
        {"machine over user", true, c.user, c.machine, machineValue, kMachine, {}},
        {"user over file", true, c.user, std::nullopt, userValue, kUser, {}},
        {"file over default", true, std::nullopt, std::nullopt, fileValue, std::nullopt, {}},
        {"default", false, std::nullopt, std::nullopt, ValueOf(Settings{}, c.setting), std::nullopt, {}},
        {"bad machine under user",
         true,
         c.user,
         c.bad,
         userValue,
         kUser,
         {{kMachine, KeyOf(c.setting).name}}},
        {"bad user under machine",
         true,
         c.bad,
         c.machine,
         machineValue,
         kMachine,
         {{kUser, KeyOf(c.setting).name}}},
        {"bad both",
         true,
         c.bad,
         c.bad,
         fileValue,
         std::nullopt,
         {{kMachine, KeyOf(c.setting).name}, {kUser, KeyOf(c.setting).name}}},
    };
    for (const Scenario& s : scenarios) {
      SCOPED_TRACE(s.what);
      testing::FakePolicy policy;
      if (s.user) policy.values[{kUser, name}] = *s.user;
      if (s.machine) policy.values[{kMachine, name}] = *s.machine;
      const PolicySettings applied = ApplyPolicy(policy, s.fromFile ? file : Settings{});
      EXPECT_EQ(ValueOf(applied.settings, c.setting), s.expected);
      EXPECT_EQ(applied.fixedBy[static_cast<std::size_t>(c.setting)], s.fixedBy);
      EXPECT_EQ(applied.ignored, s.ignored);
      // No other key is touched.
      for (std::size_t i = 0; i < kSettingKeys.size(); ++i) {
        if (static_cast<Setting>(i) != c.setting) {
          EXPECT_FALSE(applied.fixedBy[i].has_value()) << i;
        }
      }
    }
  }
}

// Days as the template's seven boxes: all seven, each 0 or 1; the text of
// the same hive wins over them.
struct BoxesCase {
  const char* name;
  std::map<std::pair<PolicyHive, std::string>, PolicyValue> values;
  int days;  // the file's are 0b1111111
  std::optional<PolicyHive> fixedBy;
  std::vector<IgnoredPolicy> ignored;
};

std::map<std::pair<PolicyHive, std::string>, PolicyValue> Boxes(PolicyHive hive, std::array<int, 7> boxes) {
  std::map<std::pair<PolicyHive, std::string>, PolicyValue> values;
  for (std::size_t day = 0; day < boxes.size(); ++day) {
    if (boxes[day] >= 0)
      values[{hive, std::string(kWeekdayPolicyNames[day])}] = Number(static_cast<std::uint32_t>(boxes[day]));
  }
  return values;
}

std::map<std::pair<PolicyHive, std::string>, PolicyValue> With(
    std::map<std::pair<PolicyHive, std::string>, PolicyValue> values, PolicyHive hive,
    const std::string& name, PolicyValue value) {
  values[{hive, name}] = std::move(value);
  return values;
}

TEST(PolicyTest, DaysAsSevenBoxes) {
  const BoxesCase cases[] = {
      {"weekdays", Boxes(kMachine, {1, 1, 1, 1, 1, 0, 0}), 0b0011111, kMachine, {}},
      {"none", Boxes(kUser, {0, 0, 0, 0, 0, 0, 0}), 0, kUser, {}},
      {"sunday missing",
       Boxes(kMachine, {1, 1, 1, 1, 1, 0, -1}),
       0b1111111,
       std::nullopt,
       {{kMachine, "DaysSunday"}}},
      {"a two", Boxes(kMachine, {1, 2, 1, 1, 1, 0, 0}), 0b1111111, std::nullopt, {{kMachine, "DaysTuesday"}}},
      {"a text",
       With(Boxes(kUser, {1, 1, 1, 1, 1, 1, 1}), kUser, "DaysFriday", Text(L"1")),
       0b1111111,
       std::nullopt,
       {{kUser, "DaysFriday"}}},
      {"the text wins in its hive",
       With(Boxes(kUser, {1, 2, 1, 1, 1, 0, 0}), kUser, "Days", Text(L"1000000")),
       0b0000001,
       kUser,
       {}},
      {"the machine's boxes over the user's text",
       With(Boxes(kMachine, {0, 0, 0, 0, 0, 1, 1}), kUser, "Days", Text(L"1000000")),
       0b1100000,
       kMachine,
       {}},
  };
  for (const BoxesCase& c : cases) {
    SCOPED_TRACE(c.name);
    testing::FakePolicy policy;
    policy.values = c.values;
    const PolicySettings applied = ApplyPolicy(policy, Settings{});
    EXPECT_EQ(applied.settings[Setting::kDays], c.days);
    EXPECT_EQ(applied.fixedBy[static_cast<std::size_t>(Setting::kDays)], c.fixedBy);
    EXPECT_EQ(applied.ignored, c.ignored);
  }
}

}  // namespace
}  // namespace ombrel
