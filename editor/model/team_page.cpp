#include "editor/model/team_page.h"

#include "common/list/program_folder.h"
#include "common/schedule/day_rule.h"
#include "common/schedule/entry_days.h"
#include "common/schedule/settings.h"
#include "common/schedule/team_list.h"
#include "editor/model/entry_days_page.h"
#include "editor/resource.h"

namespace ombrel::editor {

TeamPage::TeamPage(EditorView& view, SystemPort& system, NetworkProbe& network, const std::wstring& folder) {
  const Settings settings = LoadSettings(system, folder).parsed.settings;
  const TeamList team = ReadTeamList(system, network, TeamFolderOf(system, settings));
  switch (team.status) {
    case TeamList::Status::kNotSet:
      state_ = view.LoadText(IDS_TEAM_NOT_SET);
      return;
    case TeamList::Status::kRead:
      state_ = view.LoadText(IDS_TEAM_FOLDER) + team.folder + view.LoadText(IDS_TEAM_READ);
      break;
    case TeamList::Status::kUnreadable:
      state_ = view.LoadText(IDS_TEAM_FOLDER) + team.folder + view.LoadText(IDS_TEAM_UNREADABLE) +
               team.reason + L" (" + std::to_wstring(team.error) + L")";
      return;
  }
  // Today as the launcher judges it: the person's calendar, the team's days.
  const std::chrono::year_month_day today = DayOf(system.Now());
  const bool listOpens = JudgeDay(settings, today).Opens();
  DueDays dueDays(settings, std::nullopt, today);
  for (const std::wstring& entry : team.entries) {
    const EntryDaysLine* line = team.days.Find(entry);
    const bool opens = listOpens && dueDays.Judge(team.days.DaysOf(entry)).kind == EntryDue::Kind::kToday;
    rows_.push_back({entry, line != nullptr ? DaysLabel(view, line->text) : view.LoadText(IDS_TEAM_EVERY_DAY),
                     view.LoadText(opens ? IDS_TEAM_OPENS_TODAY : IDS_TEAM_NOT_TODAY)});
  }
}

void Editor::ShowTeamList() {
  TeamPage page(view_, system_, network_, folder_);
  view_.ShowTeamList(page);
}

}  // namespace ombrel::editor
