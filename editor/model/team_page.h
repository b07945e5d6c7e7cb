// What the team's list window shows, apart from drawing it: the team folder
// the settings name and whether it can be read, then a row for each entry of
// the team's list with its days and whether it opens today. Read-only: the
// team's list is edited with the OmbrelSet that lies in the team folder.
// editor/win/team_window.* draws it.
#pragma once

#include <string>
#include <vector>

#include "common/port/system_port.h"
#include "common/schedule/pacing.h"
#include "editor/model/editor.h"

namespace ombrel::editor {

// One row of the window's list, its three columns.
struct TeamRow {
  std::wstring entry;  // 項目
  std::wstring days;   // 開く日: the short form the main list shows, or every day
  std::wstring today;  // 今日: whether it opens today
  bool operator==(const TeamRow&) const = default;
};

class TeamPage {
 public:
  // Reads the settings of `folder` (the program folder) for the team folder
  // and the days the list opens, then the team folder.
  TeamPage(EditorView& view, SystemPort& system, NetworkProbe& network, const std::wstring& folder);

  // The line above the list: the folder and whether it can be read, with
  // Windows' reason when not; or that no team folder is set.
  [[nodiscard]] const std::wstring& State() const { return state_; }
  [[nodiscard]] const std::vector<TeamRow>& Rows() const { return rows_; }

 private:
  std::wstring state_;
  std::vector<TeamRow> rows_;
};

}  // namespace ombrel::editor
