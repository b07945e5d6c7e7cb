// The geometry of the team's list window, in twips, as the run record's
// window has it: each edge at a fixed distance from the near or the far edge
// of the client area, so the list grows with the window. The window code
// creates the controls from this one table, in this order, which is also
// the order Tab visits them.
#pragma once

#include "editor/model/dialog_layout.h"
#include "editor/resource.h"

namespace ombrel::editor {

enum class TeamControlKind { kText, kList, kDefaultButton };

struct TeamControlLayout {
  int id;
  TeamControlKind kind;
  int captionId;  // 0: no caption
  EdgeTwips left;
  EdgeTwips top;
  EdgeTwips right;
  EdgeTwips bottom;
};

inline constexpr int kTeamClientWidthTwips = 9360;
inline constexpr int kTeamClientHeightTwips = 5040;
inline constexpr int kTeamMinClientWidthTwips = 5760;
inline constexpr int kTeamMinClientHeightTwips = 2880;

inline constexpr TeamControlLayout kTeamControls[] = {
    // Two lines: a long share's path, or the words for no team folder.
    {IDC_TEAM_STATE,
     TeamControlKind::kText,
     0,
     {From::kNear, 120},
     {From::kNear, 120},
     {From::kFar, 120},
     {From::kNear, 660}},
    {IDC_TEAM_LIST,
     TeamControlKind::kList,
     0,
     {From::kNear, 120},
     {From::kNear, 780},
     {From::kFar, 120},
     {From::kFar, 600}},
    {IDC_TEAM_CLOSE,
     TeamControlKind::kDefaultButton,
     IDS_TEAM_CLOSE,
     {From::kFar, 1320},
     {From::kFar, 480},
     {From::kFar, 120},
     {From::kFar, 120}},
};

// The list's columns, 項目, 開く日 and 今日, as they open.
inline constexpr int kTeamColumnTwips[] = {4800, 2640, 1200};

}  // namespace ombrel::editor
