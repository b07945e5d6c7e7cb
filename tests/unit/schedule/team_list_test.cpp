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

struct Opened {
  std::wstring entry;
  Kind kind;
  bool team;
  bool operator==(const Opened&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Opened& opened) {
  return out << testing::FakeSystem::Narrow(opened.entry) << '/' << static_cast<int>(opened.kind)
             << (opened.team ? "/team" : "/own");
}

struct MergeCase {
  const char* name;
  std::vector<std::wstring> team;
  std::string teamDays;  // [EntryDays] lines of the team's OMBREL.CFG
  std::vector<std::wstring> own;
  std::string ownDays;
  TeamPart part;
  std::vector<Opened> expected;
  std::optional<Day> lastRun = std::nullopt;
  bool teamRead = true;
};

TEST(TeamListTest, MergeTakesTheTeamsEntriesFirstEachByItsOwnListsDays) {
  const TeamPart kWith = TeamPart::kWithOwnList;
  const TeamPart kOwed = TeamPart::kOwedTeamEntries;
  const MergeCase cases[] = {
      {"team first, then the person's",
       {L"A", L"B"},
       "",
       {L"C", L"D"},
       "",
       kWith,
       {{L"A", Kind::kToday, true},
        {L"B", Kind::kToday, true},
        {L"C", Kind::kToday, false},
        {L"D", Kind::kToday, false}}},
      {"an entry in both opens once, at the team's place",
       {L"A", L"B"},
       "",
       {L"B", L"C", L"B"},
       "",
       kWith,
       {{L"A", Kind::kToday, true}, {L"B", Kind::kToday, true}, {L"C", Kind::kToday, false}}},
      {"the person's own repeats stay",
       {L"A"},
       "",
       {L"C", L"C"},
       "",
       kWith,
       {{L"A", Kind::kToday, true}, {L"C", Kind::kToday, false}, {L"C", Kind::kToday, false}}},
      {"each list's days for its own entries",
       {L"A"},
       "A=mon\n",
       {L"C"},
       "C=tue\nA=tue\n",
       kWith,
       {{L"A", Kind::kNotDue, true}, {L"C", Kind::kToday, false}}},
      {"an entry in both: the person's days open it today",
       {L"B"},
       "B=mon\n",
       {L"B"},
       "",
       kWith,
       {{L"B", Kind::kToday, true}}},
      {"an entry in both: the team's days open it today",
       {L"B"},
       "",
       {L"B"},
       "B=mon\n",
       kWith,
       {{L"B", Kind::kToday, true}}},
      {"a team entry's missed Monday",
       {L"A"},
       "A=mon\n",
       {},
       "",
       kWith,
       {{L"A", Kind::kCatchUp, true}},
       D(2026, 4, 3)},
      {"an unreadable team list adds nothing",
       {L"A"},
       "",
       {L"C"},
       "",
       kWith,
       {{L"C", Kind::kToday, false}},
       std::nullopt,
       false},
      {"owed: the team's alone, but what the person's days opened",
       {L"A", L"B", L"E"},
       "",
       {L"B", L"C", L"E"},
       "E=mon\n",
       kOwed,
       {{L"A", Kind::kToday, true}, {L"E", Kind::kToday, true}}},
  };
  for (const MergeCase& c : cases) {
    SCOPED_TRACE(c.name);
    testing::FakeSystem system;
    TeamList team;
    team.status = c.teamRead ? TeamList::Status::kRead : TeamList::Status::kUnreadable;
    team.entries = c.team;
    team.days = ReadEntryDays(system, "[EntryDays]\n" + c.teamDays);
    const EntryDaysTable ownDays = ReadEntryDays(system, "[EntryDays]\n" + c.ownDays);
    DueDays dueDays(Settings{}, c.lastRun, kToday);

    std::vector<Opened> opened;
    for (const DueEntry& entry : MergeTeamList(dueDays, team, c.own, ownDays, c.part))
      opened.push_back({entry.entry, entry.due.kind, entry.team});
    EXPECT_EQ(opened, c.expected);
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
