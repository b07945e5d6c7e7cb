// The team's list: which entries a run opens from the team's list and the
// person's, by whose days; how the team folder is read; the owed day's file.
#include "common/schedule/team_list.h"

#include <gtest/gtest.h>

#include "fakes.h"

namespace ombrel {
namespace {

using Day = std::chrono::year_month_day;
using Kind = EntryDue::Kind;

Day D(int year, unsigned month, unsigned day) {
  return Day{std::chrono::year{year}, std::chrono::month{month}, std::chrono::day{day}};
}

// The fake clock's day, a Tuesday.
const Day kToday = D(2026, 4, 7);

// Entries named by one letter, separated by blanks.
std::vector<std::wstring> Names(std::wstring_view text) {
  std::vector<std::wstring> names;
  for (const wchar_t c : text) {
    if (c != L' ') names.emplace_back(1, c);
  }
  return names;
}

// A run's entries as the table writes them: "t" or "o" (the team's or the
// person's), the entry, then "!" when not due or "~" for a missed day.
std::wstring Written(const std::vector<DueEntry>& entries) {
  std::wstring text;
  for (const DueEntry& entry : entries) {
    if (!text.empty()) text += L' ';
    text += (entry.team ? L"t" : L"o") + entry.entry;
    if (entry.due.kind != EntryDue::Kind::kToday) text += entry.due.kind == Kind::kNotDue ? L"!" : L"~";
  }
  return text;
}

struct MergeCase {
  const char* name;
  const wchar_t* team;
  std::string teamDays;  // [EntryDays] lines of the team's OMBREL.CFG
  const wchar_t* own;
  std::string ownDays;
  TeamPart part;
  const wchar_t* expected;
  std::optional<Day> lastRun = std::nullopt;
  bool teamRead = true;
};

TEST(TeamListTest, MergeTakesTheTeamsEntriesFirstEachByItsOwnListsDays) {
  const TeamPart kWith = TeamPart::kWithOwnList;
  const MergeCase cases[] = {
      {"team first, then the person's", L"A B", "", L"C D", "", kWith, L"tA tB oC oD"},
      {"an entry in both opens once, at the team's place", L"A B", "", L"B C B", "", kWith, L"tA tB oC"},
      {"the person's own repeats stay", L"A", "", L"C C", "", kWith, L"tA oC oC"},
      {"each list's days for its own entries", L"A", "A=mon\n", L"C", "C=tue\nA=tue\n", kWith, L"tA! oC"},
      {"in both, the person's days open it today", L"B", "B=mon\n", L"B", "", kWith, L"tB"},
      {"in both, the team's days open it today", L"B", "", L"B", "B=mon\n", kWith, L"tB"},
      {"a team entry's missed Monday", L"A", "A=mon\n", L"", "", kWith, L"tA~", D(2026, 4, 3)},
      {"an unreadable team list adds nothing", L"A", "", L"C", "", kWith, L"oC", std::nullopt, false},
      {"owed: the team's alone, but what the person's days opened", L"A B E", "", L"B C E", "E=mon\n",
       TeamPart::kOwedTeamEntries, L"tA tE"},
  };
  for (const MergeCase& c : cases) {
    SCOPED_TRACE(c.name);
    testing::FakeSystem system;
    TeamList team;
    team.status = c.teamRead ? TeamList::Status::kRead : TeamList::Status::kUnreadable;
    team.entries = Names(c.team);
    team.days = ReadEntryDays(system, "[EntryDays]\n" + c.teamDays);
    const EntryDaysTable ownDays = ReadEntryDays(system, "[EntryDays]\n" + c.ownDays);
    DueDays dueDays(Settings{}, c.lastRun, kToday);
    EXPECT_EQ(Written(MergeTeamList(dueDays, team, Names(c.own), ownDays, c.part)), c.expected);
  }
}

struct ReadCase {
  const char* name;
  std::optional<std::string> list;  // nothing: no OMBREL.DAT
  std::optional<std::string> settings;
  std::wstring unreadable;  // a file of the folder that cannot be read
  bool folderAnswers;
  TeamList::Status status;
  std::vector<std::wstring> entries;
  std::uint32_t error = 0;
};

TEST(TeamListTest, AFolderThatDoesNotAnswerOrAFileThatCannotBeReadIsUnreadable) {
  const std::wstring kTeam = L"\\\\srv\\share\\Ombrel";
  const ReadCase cases[] = {
      {"list and days",
       "A\r\nB\r\n",
       "[EntryDays]\r\nA=mon\r\n",
       L"",
       true,
       TeamList::Status::kRead,
       {L"A", L"B"}},
      {"an empty folder is an empty list",
       std::nullopt,
       std::nullopt,
       L"",
       true,
       TeamList::Status::kRead,
       {}},
      {"a folder that does not answer",
       std::nullopt,
       std::nullopt,
       L"",
       false,
       TeamList::Status::kUnreadable,
       {},
       2},
      {"a list that cannot be read",
       "A\r\n",
       std::nullopt,
       L"\\OMBREL.DAT",
       true,
       TeamList::Status::kUnreadable,
       {},
       5},
      {"days that cannot be read", "A\r\n", "", L"\\OMBREL.CFG", true, TeamList::Status::kUnreadable, {}, 5},
  };
  for (const ReadCase& c : cases) {
    SCOPED_TRACE(c.name);
    testing::FakeSystem system;
    testing::FakeNetwork network;
    if (c.list) system.files[kTeam + L"\\OMBREL.DAT"] = *c.list;
    if (c.settings) system.files[kTeam + L"\\OMBREL.CFG"] = *c.settings;
    if (!c.unreadable.empty()) system.unreadable.insert(kTeam + c.unreadable);
    if (!c.folderAnswers) network.answersFrom[kTeam] = std::chrono::milliseconds::max();

    const TeamList team = ReadTeamList(system, network, kTeam);
    EXPECT_EQ(team.status, c.status);
    EXPECT_EQ(team.entries, c.entries);
    EXPECT_EQ(team.error, c.error);
    EXPECT_EQ(team.reason, c.error == 0 ? L"" : L"text of " + std::to_wstring(c.error));
    EXPECT_EQ(team.days.DaysOf(L"A") != nullptr, !c.entries.empty());
  }
}

TEST(TeamListTest, TheFolderSettingIsDecodedAsAnEntryTextWithoutItsLastSeparator) {
  const std::pair<std::string, std::wstring> cases[] = {
      {"\\\\srv\\share\\Ombrel\\", L"\\\\srv\\share\\Ombrel"},
      {"T:\\", L"T:"},
      {"\\\\srv\\\xE5\x85\xB1\xE6\x9C\x89", L"\\\\srv\\\u5171\u6709"},  // UTF-8
      {"\\\\srv\\\xE9", L"\\\\srv\\\u00E9"},                            // the code page
      {"", L""},
  };
  for (const auto& [bytes, folder] : cases) {
    testing::FakeSystem system;
    Settings settings;
    ASSERT_TRUE(settings.SetText(Setting::kTeamFolder, bytes));
    EXPECT_EQ(TeamFolderOf(system, settings), folder);
  }
}

TEST(TeamListTest, TheOwedDayReadsBackAsWrittenAndADamagedFileOwesNothing) {
  const std::wstring kFolder = L"C:\\Tools";
  const std::wstring kFile = L"C:\\Tools\\OMBREL.TEAM";
  testing::FakeSystem system;
  EXPECT_FALSE(TeamRunOwed(system, kFolder));
  for (const TeamOwed& owed : {TeamOwed{kToday, D(2026, 4, 3)}, TeamOwed{kToday, std::nullopt}}) {
    ASSERT_TRUE(OweTeamRun(system, kFolder, owed));
    EXPECT_TRUE(TeamRunOwed(system, kFolder));
    EXPECT_EQ(ReadTeamOwed(system, kFolder), owed);
  }
  EXPECT_EQ(system.files[kFile], "04-07-2026,\r\n");
  for (const char* damaged : {"", "\r\n", "13-07-2026,\r\n", "x"}) {
    system.files[kFile] = damaged;
    EXPECT_EQ(ReadTeamOwed(system, kFolder), std::nullopt) << damaged;
  }
  SettleTeamRun(system, kFolder);
  EXPECT_FALSE(TeamRunOwed(system, kFolder));
}

}  // namespace
}  // namespace ombrel
