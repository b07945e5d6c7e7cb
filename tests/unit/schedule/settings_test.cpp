// The settings file: what each form of line reads as, what a save keeps, and
// the file's way through the system port.
#include "common/schedule/settings.h"

#include <gtest/gtest.h>

#include "common/list/list_temporary.h"
#include "fakes.h"

namespace ombrel {
namespace {

const std::wstring kFolder = L"C:\\Tools";
const std::wstring kFile = L"C:\\Tools\\OMBREL.CFG";

// The defaults with some settings changed.
Settings With(std::initializer_list<std::pair<Setting, int>> changes) {
  Settings settings;
  for (const auto& [setting, value] : changes) EXPECT_TRUE(settings.Set(setting, value));
  return settings;
}

struct ReadCase {
  const char* name;
  std::string bytes;
  Settings expected;
};

TEST(ParseSettingsTest, WhatEachFileReadsAs) {
  const ReadCase cases[] = {
      {"empty", "", Settings{}},
      {"every setting",
       "[Ombrel]\r\nDays=1111100\r\nSkipHolidays=1\r\nSkipYearEnd=1\r\nPauseSeconds=300\r\nGapSeconds=60\r\n"
       "NetworkWaitSeconds=120\r\n",
       With({{Setting::kDays, 0b0011111},
             {Setting::kSkipHolidays, 1},
             {Setting::kSkipYearEnd, 1},
             {Setting::kPauseSeconds, 300},
             {Setting::kGapSeconds, 60},
             {Setting::kNetworkWaitSeconds, 120}})},
      {"Days holds Monday first", "[Ombrel]\nDays=1000001\n", With({{Setting::kDays, 0b1000001}})},
      {"no weekday at all", "[Ombrel]\nDays=0000000\n", With({{Setting::kDays, 0}})},
      {"another section", "[Other]\r\nGapSeconds=5\r\n", Settings{}},
      {"before any section", "GapSeconds=5\r\n[Ombrel]\r\n", Settings{}},
      {"section ended by another", "[Ombrel]\r\n[Other]\r\nGapSeconds=5\r\n", Settings{}},
      {"letter case and blanks, lone CR and LF", " [ ombrel ] \n\tgapseconds = 5 \rPAUSESECONDS\t=\t07",
       With({{Setting::kGapSeconds, 5}, {Setting::kPauseSeconds, 7}})},
      {"UTF-8 mark", "\xEF\xBB\xBF[Ombrel]\r\nGapSeconds=2\r\n", With({{Setting::kGapSeconds, 2}})},
      {"first line of a key wins",
       "[Ombrel]\r\nGapSeconds=2\r\n[Ombrel]\r\nGapSeconds=3\r\nPauseSeconds=4\r\n",
       With({{Setting::kGapSeconds, 2}, {Setting::kPauseSeconds, 4}})},
      {"comments", "[Ombrel]\r\n;GapSeconds=5\r\n#PauseSeconds=5\r\n", Settings{}},
      {"the notification off", "[Ombrel]\r\nNotifyFailures=0\r\n", With({{Setting::kNotifyFailures, 0}})},
      {"Japanese text around the settings",
       "; 開く日の設定\r\n[Ombrel]\r\nメモ=月曜は休み\r\nDays=0111111\r\n\x83\x81\x83\x82=\x93\xFA\r\n",
       With({{Setting::kDays, 0b1111110}})},
  };
  for (const ReadCase& c : cases) {
    const ParsedSettings parsed = ParseSettings(c.bytes);
    EXPECT_EQ(parsed.settings, c.expected) << c.name;
    EXPECT_TRUE(parsed.bad.empty()) << c.name;
  }
}

struct BadCase {
  std::string line;
  Setting setting;
};

// Out of range counts as bad as much as a wrong form: each reads as the
// default and is named.
TEST(ParseSettingsTest, BadValuesReadAsDefaults) {
  const BadCase cases[] = {
      {"Days=111111", Setting::kDays},
      {"Days=11111111", Setting::kDays},
      {"Days=1111102", Setting::kDays},
      {"Days=", Setting::kDays},
      {"Days=\xEF\xBC\x91\xEF\xBC\x91\xEF\xBC\x91\xEF\xBC\x91\xEF\xBC\x91\xEF\xBC\x91\xEF\xBC\x91",
       Setting::kDays},
      {"SkipHolidays=2", Setting::kSkipHolidays},
      {"SkipYearEnd=yes", Setting::kSkipYearEnd},
      {"PauseSeconds=301", Setting::kPauseSeconds},
      {"PauseSeconds=-1", Setting::kPauseSeconds},
      {"PauseSeconds=+5", Setting::kPauseSeconds},
      {"GapSeconds=61", Setting::kGapSeconds},
      {"GapSeconds=1.5", Setting::kGapSeconds},
      {"GapSeconds=5 s", Setting::kGapSeconds},
      {"NetworkWaitSeconds=99999999999", Setting::kNetworkWaitSeconds},
      {"NetworkWaitSeconds=\xEF\xBC\x95", Setting::kNetworkWaitSeconds},
      {"ClosedDates=2026-02-30", Setting::kClosedDates},
      {"ClosedDates=2026-08-16..2026-08-13", Setting::kClosedDates},
      {"OpenDates=2026-08-13,", Setting::kOpenDates},
      {"OpenDates=26-08-13", Setting::kOpenDates},
      {"NotifyFailures=2", Setting::kNotifyFailures},
  };
  for (const BadCase& c : cases) {
    const ParsedSettings parsed = ParseSettings("[Ombrel]\r\n" + c.line + "\r\nGapSeconds=9\r\n");
    Settings expected;
    if (c.setting != Setting::kGapSeconds) expected = With({{Setting::kGapSeconds, 9}});
    EXPECT_EQ(parsed.settings, expected) << c.line;
    EXPECT_EQ(parsed.bad, std::vector<Setting>{c.setting}) << c.line;
  }
}

struct MergeCase {
  const char* name;
  std::string before;
  std::string after;
};

// Saved with GapSeconds=2 and Days=1111100, the rest at their defaults.
TEST(MergeSettingsTest, SettingsWrittenEverythingElseKept) {
  const std::string kAll =
      "Days=1111100\r\nSkipHolidays=0\r\nSkipYearEnd=0\r\nPauseSeconds=0\r\nGapSeconds="
      "2\r\nNetworkWaitSeconds=0\r\n";
  const MergeCase cases[] = {
      {"no file", "", "[Ombrel]\r\n" + kAll},
      {"text without a line end and no section", "; note", "; note\r\n\r\n[Ombrel]\r\n" + kAll},
      {"another section only", "[Other]\nA=1\n", "[Other]\nA=1\n\r\n[Ombrel]\r\n" + kAll},
      {"lines rewritten in place, unknown keys and comments kept, the rest before the blank lines",
       "[Ombrel]\n; 間隔\ngapseconds = 30\nMemo=x\r\n\r\n\n[Other]\nGapSeconds=7\n",
       "[Ombrel]\n; 間隔\nGapSeconds=2\nMemo=x\r\nDays=1111100\r\nSkipHolidays=0\r\nSkipYearEnd=0\r\n"
       "PauseSeconds=0\r\nNetworkWaitSeconds=0\r\n\r\n\n[Other]\nGapSeconds=7\n"},
      {"mark, code page 932 text and a later duplicate kept",
       "\xEF\xBB\xBF[Ombrel]\r\n\x83\x81\x83\x82=1\r\nDays=0000000\r\nDays=1111111\r\n",
       "\xEF\xBB\xBF[Ombrel]\r\n\x83\x81\x83\x82=1\r\nDays=1111100\r\nDays=1111111\r\nSkipHolidays=0\r\n"
       "SkipYearEnd=0\r\nPauseSeconds=0\r\nGapSeconds=2\r\nNetworkWaitSeconds=0\r\n"},
      {"a last key line without a line end", "[Ombrel]\r\nGapSeconds=5",
       "[Ombrel]\r\nGapSeconds=2\r\nDays=1111100\r\nSkipHolidays=0\r\nSkipYearEnd=0\r\nPauseSeconds=0\r\n"
       "NetworkWaitSeconds=0\r\n"},
  };
  const Settings saved = With({{Setting::kGapSeconds, 2}, {Setting::kDays, 0b0011111}});
  for (const MergeCase& c : cases) {
    const std::string merged = MergeSettings(c.before, saved);
    EXPECT_EQ(merged, c.after) << c.name;
    const ParsedSettings reread = ParseSettings(merged);
    EXPECT_EQ(reread.settings, saved) << c.name;
    EXPECT_TRUE(reread.bad.empty()) << c.name;
  }
}

// A path is kept as written, in the file's own bytes, blanks around it
// dropped; the settings the dialog does not show get no line at their
// default, and one as soon as they differ.
TEST(MergeSettingsTest, TheTeamFolderAndTheNotificationOnlyWhenSet) {
  const ParsedSettings parsed =
      ParseSettings("[Ombrel]\r\nTeamFolder = \\\\srv\\\x8B\xA4\x97\x4C\\Ombrel \r\n");
  EXPECT_EQ(parsed.settings.Text(Setting::kTeamFolder), "\\\\srv\\\x8B\xA4\x97\x4C\\Ombrel");
  EXPECT_TRUE(parsed.bad.empty());

  Settings saved;
  EXPECT_EQ(MergeSettings("", saved).find("NotifyFailures"), std::string::npos);
  EXPECT_EQ(MergeSettings("", saved).find("TeamFolder"), std::string::npos);
  ASSERT_TRUE(saved.Set(Setting::kNotifyFailures, 0));
  ASSERT_TRUE(saved.SetText(Setting::kTeamFolder, "T:\\Ombrel"));
  const std::string merged = MergeSettings("", saved);
  EXPECT_NE(merged.find("\r\nTeamFolder=T:\\Ombrel\r\nNotifyFailures=0\r\n"), std::string::npos) << merged;
  EXPECT_EQ(ParseSettings(merged).settings, saved);
}

TEST(SettingsFileTest, LoadGivesDefaultsForAMissingOrUnreadableFile) {
  testing::FakeSystem system;
  SettingsRead read = LoadSettings(system, kFolder);
  EXPECT_EQ(read.status, ReadStatus::kMissing);
  EXPECT_EQ(read.parsed.settings, Settings{});

  system.files[kFile] = "[Ombrel]\r\nGapSeconds=3\r\n";
  read = LoadSettings(system, kFolder);
  EXPECT_EQ(read.status, ReadStatus::kRead);
  EXPECT_EQ(read.parsed.settings, With({{Setting::kGapSeconds, 3}}));

  system.unreadable.insert(kFile);
  read = LoadSettings(system, kFolder);
  EXPECT_EQ(read.status, ReadStatus::kUnreadable);
  EXPECT_EQ(read.parsed.settings, Settings{});
}

TEST(SettingsFileTest, SaveReplacesTheFileInOneStepAndRoundTrips) {
  testing::FakeSystem system;
  system.files[kFile] = "; 管理者が配布\r\n[Ombrel]\r\nPauseSeconds=30\r\n";
  Settings settings = With({{Setting::kSkipHolidays, 1}, {Setting::kNetworkWaitSeconds, 300}});
  ASSERT_TRUE(settings.SetText(Setting::kClosedDates, " 2026-08-13..2026-08-14,2026-10-1 "));
  ASSERT_TRUE(SaveSettings(system, kFolder, settings));
  EXPECT_TRUE(system.files[kFile].ends_with("ClosedDates=2026-08-13..2026-08-14,2026-10-1\r\n"));
  EXPECT_EQ(system.log.back(), "replace C:\\Tools\\OMBREL.CFG");
  EXPECT_TRUE(system.files[kFile].starts_with("; 管理者が配布\r\n[Ombrel]\r\nPauseSeconds=0\r\n"));
  EXPECT_EQ(LoadSettings(system, kFolder).parsed.settings, settings);
}

TEST(SettingsFileTest, ASaveCutBetweenItsStepsIsReadFromItsWholeTemporaryAndPutInPlace) {
  testing::FakeSystem system;
  const std::string saved = "; 管理者が配布\r\n[Ombrel]\r\nGapSeconds=7\r\n";
  system.files[TemporaryPath(kFile, saved, 0)] = saved;
  EXPECT_EQ(LoadSettings(system, kFolder).parsed.settings, With({{Setting::kGapSeconds, 7}}));
  ASSERT_TRUE(SaveSettings(system, kFolder, With({{Setting::kGapSeconds, 8}})));
  // In place, its other lines kept; no temporary left.
  EXPECT_EQ(system.files.size(), 1U);
  EXPECT_TRUE(system.files[kFile].starts_with("; 管理者が配布\r\n[Ombrel]\r\nGapSeconds=8\r\n"));
}

TEST(SettingsFileTest, SaveRefusesAFileItCannotReadOrWrite) {
  testing::FakeSystem system;
  system.files[kFile] = "[Ombrel]\r\nUnknown=kept\r\n";
  system.unreadable.insert(kFile);
  EXPECT_FALSE(SaveSettings(system, kFolder, Settings{}));
  EXPECT_EQ(system.log.back(), "read C:\\Tools\\OMBREL.CFG");
  system.unreadable.clear();
  system.unwritable.insert(kFile);
  EXPECT_FALSE(SaveSettings(system, kFolder, Settings{}));
  EXPECT_EQ(system.files[kFile], "[Ombrel]\r\nUnknown=kept\r\n");
}

}  // namespace
}  // namespace ombrel
