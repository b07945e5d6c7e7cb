// The geometry of the run record's window, in twips. The window can be sized,
// so each edge of a control lies at a fixed distance from the near (left or
// top) or the far (right or bottom) edge of the client area: the list grows
// with the window, the buttons keep their size in its bottom-right corner.
// The window code creates the controls from this one table, in this order,
// which is also the order Tab visits them.
#pragma once

#include "editor/model/dialog_layout.h"
#include "editor/resource.h"

namespace ombrel::editor {

enum class RecordControlKind { kStatus, kList, kButton, kDefaultButton };

struct RecordControlLayout {
  int id;
  RecordControlKind kind;
  int captionId;  // 0: no caption
  EdgeTwips left;
  EdgeTwips top;
  EdgeTwips right;
  EdgeTwips bottom;
};

// The client area as the window opens, and the least it can be sized to.
inline constexpr int kRecordClientWidthTwips = 11520;
inline constexpr int kRecordClientHeightTwips = 6480;
inline constexpr int kRecordMinClientWidthTwips = 5760;
inline constexpr int kRecordMinClientHeightTwips = 2880;

inline constexpr RecordControlLayout kRecordControls[] = {
    // How Windows would start Ombrel, and a quiet stretch, above the runs.
    {IDC_RECORD_STATUS,
     RecordControlKind::kStatus,
     0,
     {From::kNear, 120},
     {From::kNear, 120},
     {From::kFar, 120},
     {From::kNear, 400}},
    {IDC_RECORD_LIST,
     RecordControlKind::kList,
     0,
     {From::kNear, 120},
     {From::kNear, 480},
     {From::kFar, 120},
     {From::kFar, 600}},
    {IDC_RECORD_CLEAR,
     RecordControlKind::kButton,
     IDS_RECORD_CLEAR,
     {From::kFar, 2760},
     {From::kFar, 480},
     {From::kFar, 1440},
     {From::kFar, 120}},
    {IDC_RECORD_CLOSE,
     RecordControlKind::kDefaultButton,
     IDS_RECORD_CLOSE,
     {From::kFar, 1320},
     {From::kFar, 480},
     {From::kFar, 120},
     {From::kFar, 120}},
};

// The list's columns, 日時, 結果, 項目 and 詳細, as they open.
inline constexpr int kRecordColumnTwips[] = {2520, 2760, 3600, 3600};

// A control's rectangle in a client area of `width` x `height` pixels.
inline PixelRect PlaceRecordControl(const RecordControlLayout& control, int width, int height, int dpi) {
  return PlaceByEdges(control, width, height, dpi);
}

}  // namespace ombrel::editor
