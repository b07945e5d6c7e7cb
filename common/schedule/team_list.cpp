#include "common/schedule/team_list.h"

#include <algorithm>
#include <cstdio>
#include <unordered_set>

#include "common/list/entry_list.h"
#include "common/list/program_folder.h"
#include "common/list/stamp.h"
#include "common/port/system_port.h"
#include "common/schedule/pacing.h"

namespace ombrel {

namespace {

TeamList Unreadable(SystemPort& system, TeamList team, std::uint32_t error) {
  team.status = TeamList::Status::kUnreadable;
  team.entries.clear();
  team.days = {};
  team.error = error;
  team.reason = system.ErrorText(error);
  return team;
}

// The rank of a due: today's first, then the latest missed day.
bool SoonerDue(const EntryDue& a, const EntryDue& b) {
  if (a.kind != b.kind) return a.kind == EntryDue::Kind::kToday || b.kind == EntryDue::Kind::kNotDue;
  return a.kind == EntryDue::Kind::kCatchUp && b.day < a.day;
}

std::string StampDayText(std::chrono::year_month_day day) {
  char text[16] = {};
  std::snprintf(text, sizeof text, "%02u-%02u-%04d", static_cast<unsigned>(day.month()),
                static_cast<unsigned>(day.day()), static_cast<int>(day.year()));
  return text;
}

}  // namespace

std::wstring TeamFolderOf(SystemPort& system, const Settings& settings) {
  std::wstring folder = DecodeIniText(system, settings.Text(Setting::kTeamFolder));
  while (!folder.empty() && (folder.back() == L'\\' || folder.back() == L'/')) folder.pop_back();
  return folder;
}

TeamList ReadTeamList(SystemPort& system, NetworkProbe& network, const std::wstring& teamFolder) {
  TeamList team;
  team.folder = teamFolder;
  if (teamFolder.empty()) return team;
  EntryListRead list = ReadEntryList(system, teamFolder + kEntryListFileName);
  if (list.status == ReadStatus::kUnreadable) return Unreadable(system, std::move(team), list.file.error);
  const FileRead settings = ReadSettingsFile(system, teamFolder);
  // Days that cannot be read would open the team's weekly entries daily.
  if (settings.status == ReadStatus::kUnreadable) return Unreadable(system, std::move(team), settings.error);
  if (list.status == ReadStatus::kMissing && settings.status == ReadStatus::kMissing &&
      network.AskPath(FolderAsPath(teamFolder)) != PathReply::kAnswered) {
    return Unreadable(system, std::move(team), list.file.error);
  }
  team.status = TeamList::Status::kRead;
  team.entries = std::move(list.entries);
  team.days = ReadEntryDays(system, settings.bytes);
  return team;
}

std::vector<DueEntry> MergeTeamList(DueDays& dueDays, const TeamList& team,
                                    const std::vector<std::wstring>& own, const EntryDaysTable& ownDays,
                                    TeamPart part) {
  const bool withTeam = team.status == TeamList::Status::kRead;
  std::unordered_set<std::wstring> teamTexts;
  if (withTeam) teamTexts.insert(team.entries.begin(), team.entries.end());
  // The person's days of each text the team's list holds too.
  std::vector<std::pair<std::wstring, EntryDue>> shared;
  for (const std::wstring& entry : own) {
    if (teamTexts.count(entry) != 0 &&
        std::ranges::find(shared, entry, &decltype(shared)::value_type::first) == shared.end()) {
      shared.emplace_back(entry, dueDays.Judge(ownDays.DaysOf(entry)));
    }
  }
  std::vector<DueEntry> run;
  for (const std::wstring& entry : team.entries) {
    if (!withTeam) break;
    EntryDue due = dueDays.Judge(team.days.DaysOf(entry));
    const auto mine = std::ranges::find(shared, entry, &decltype(shared)::value_type::first);
    if (mine != shared.end()) {
      // Opened by the first run already, as the person's.
      if (part == TeamPart::kOwedTeamEntries && mine->second.kind != EntryDue::Kind::kNotDue) continue;
      if (part == TeamPart::kWithOwnList && SoonerDue(mine->second, due)) due = mine->second;
    }
    run.push_back({entry, due, true});
  }
  if (part == TeamPart::kOwedTeamEntries) return run;
  for (const std::wstring& entry : own) {
    if (teamTexts.count(entry) == 0) run.push_back({entry, dueDays.Judge(ownDays.DaysOf(entry)), false});
  }
  return run;
}

bool TeamRunOwed(SystemPort& system, const std::wstring& folder) {
  return system.IsOrdinaryFile(folder + kTeamOwedFileName);
}

std::optional<TeamOwed> ReadTeamOwed(SystemPort& system, const std::wstring& folder) {
  const FileRead file = system.ReadStart(folder + kTeamOwedFileName, kStampBytesRead);
  if (file.status != ReadStatus::kRead) return std::nullopt;
  ItemReader reader(file.bytes);
  if (reader.AtEnd()) return std::nullopt;
  const std::optional<std::chrono::year_month_day> day = DayOfDateText(reader.NextView());
  if (!day) return std::nullopt;
  const std::string_view before = reader.AtEnd() ? std::string_view() : reader.NextView();
  return TeamOwed{*day, DayOfDateText(before)};
}

bool OweTeamRun(SystemPort& system, const std::wstring& folder, const TeamOwed& owed) {
  std::string bytes = StampDayText(owed.day) + ',';
  if (owed.lastRun) bytes += StampDayText(*owed.lastRun);
  return system.WriteAll(folder + kTeamOwedFileName, bytes + "\r\n");
}

void SettleTeamRun(SystemPort& system, const std::wstring& folder) {
  if (TeamRunOwed(system, folder)) static_cast<void>(system.RemoveFile(folder + kTeamOwedFileName));
}

}  // namespace ombrel
