// The policy over the settings file: which value holds for each key, and
// which values are passed over.
#include "common/schedule/policy.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <tuple>

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

// What each hive holds in a scenario, and whose value holds then.
enum Holds { kNothing, kGood, kBad };
struct Scenario {
  const char* what;
  bool fromFile;
  Holds user;
  Holds machine;
  char winner;  // 'm'achine, 'u'ser, 'f'ile, 'd'efault
};
constexpr Scenario kScenarios[] = {
    {"machine over user", true, kGood, kGood, 'm'},
    {"user over file", true, kGood, kNothing, 'u'},
    {"file over default", true, kNothing, kNothing, 'f'},
    {"default", false, kNothing, kNothing, 'd'},
    {"bad machine under user", true, kGood, kBad, 'u'},
    {"bad user under machine", true, kBad, kGood, 'm'},
    {"bad both", true, kBad, kBad, 'f'},
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
    const std::string_view name = KeyOf(c.setting).name;
    SCOPED_TRACE(name);
    Settings file;
    ASSERT_TRUE(SetFromText(file, c.setting, c.file));
    const std::map<char, std::string> values = {{'m', ValueOfText(c.setting, c.machineAsText)},
                                                {'u', ValueOfText(c.setting, c.userAsText)},
                                                {'f', ValueOf(file, c.setting)},
                                                {'d', ValueOf(Settings{}, c.setting)}};
    // Each value differs from the one it wins over.
    ASSERT_TRUE(values.at('m') != values.at('u') && values.at('u') != values.at('f') &&
                values.at('f') != values.at('d'));
    for (const Scenario& s : kScenarios) {
      SCOPED_TRACE(s.what);
      testing::FakePolicy policy;
      std::vector<IgnoredPolicy> ignored;
      for (const auto& [hive, holds, good] :
           {std::tuple{kMachine, s.machine, c.machine}, {kUser, s.user, c.user}}) {
        if (holds != kNothing) policy.values[{hive, std::string(name)}] = holds == kGood ? good : c.bad;
        if (holds == kBad) ignored.push_back({hive, name});
      }
      const PolicySettings applied = ApplyPolicy(policy, s.fromFile ? file : Settings{});
      EXPECT_EQ(ValueOf(applied.settings, c.setting), values.at(s.winner));
      const std::optional<PolicyHive> fixedBy = s.winner == 'm'   ? std::optional(kMachine)
                                                : s.winner == 'u' ? std::optional(kUser)
                                                                  : std::nullopt;
      EXPECT_EQ(applied.fixedBy[static_cast<std::size_t>(c.setting)], fixedBy);
      // No other key is touched.
      EXPECT_EQ(std::ranges::count(applied.fixedBy, std::optional<PolicyHive>()),
                static_cast<std::ptrdiff_t>(kSettingKeys.size() - (fixedBy ? 1 : 0)));
      EXPECT_EQ(applied.ignored, ignored);
    }
  }
}

// Days as the template's seven boxes, Monday first ('-' none, 't' a text):
// all seven, each 0 or 1; the user's Days text wins over the user's boxes.
struct BoxesCase {
  const char* name;
  std::string machine;
  std::string user;
  std::wstring userDays;
  int days;  // the file's are every day
  std::optional<PolicyHive> fixedBy;
  std::vector<IgnoredPolicy> ignored;
};

TEST(PolicyTest, DaysAsSevenBoxes) {
  const BoxesCase cases[] = {
      {"weekdays", "1111100", "", L"", 0b0011111, kMachine, {}},
      {"none", "", "0000000", L"", 0, kUser, {}},
      {"sunday missing", "111110-", "", L"", 0b1111111, std::nullopt, {{kMachine, "DaysSunday"}}},
      {"a two", "1211100", "", L"", 0b1111111, std::nullopt, {{kMachine, "DaysTuesday"}}},
      {"a text", "", "1111t11", L"", 0b1111111, std::nullopt, {{kUser, "DaysFriday"}}},
      {"the text wins in its hive", "", "1211100", L"1000000", 0b0000001, kUser, {}},
      {"the machine's boxes over the user's text", "0000011", "", L"1000000", 0b1100000, kMachine, {}},
  };
  for (const BoxesCase& c : cases) {
    SCOPED_TRACE(c.name);
    testing::FakePolicy policy;
    for (const auto& [hive, boxes] : {std::pair{kMachine, c.machine}, {kUser, c.user}}) {
      for (std::size_t day = 0; day < boxes.size(); ++day) {
        const std::string box(kWeekdayPolicyNames[day]);
        if (boxes[day] == 't') policy.SetText(hive, box, L"1");
        if (boxes[day] >= '0' && boxes[day] <= '9') policy.SetNumber(hive, box, boxes[day] - '0');
      }
    }
    if (!c.userDays.empty()) policy.SetText(kUser, "Days", c.userDays);
    const PolicySettings applied = ApplyPolicy(policy, Settings{});
    EXPECT_EQ(applied.settings[Setting::kDays], c.days);
    EXPECT_EQ(applied.fixedBy[static_cast<std::size_t>(Setting::kDays)], c.fixedBy);
    EXPECT_EQ(applied.ignored, c.ignored);
  }
}

}  // namespace
}  // namespace ombrel
