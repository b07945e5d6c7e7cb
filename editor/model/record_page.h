// What the run record's window shows and does, apart from drawing it: the
// rows, newest run first with each run's entries under its start, and the
// clearing. editor/record_window.* draws it.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/record/run_record.h"
#include "editor/model/editor.h"

namespace ombrel::editor {

// One row of the window's list: its four columns, and whether it is marked
// as a failure (with an icon and a "×" in its result, never by colour
// alone).
struct RecordRow {
  std::wstring time;    // 日時
  std::wstring result;  // 結果
  std::wstring item;    // 項目
  std::wstring detail;  // 詳細
  bool failed = false;
  bool operator==(const RecordRow&) const = default;
};

// The rows for `runs` (oldest first, as read): the newest run first, each
// run's start row followed by a row for each of its entries in list order.
[[nodiscard]] std::vector<RecordRow> RecordRows(EditorView& view, const std::vector<RecordedRun>& runs);

class RecordPage {
 public:
  // Reads the record of `folder`. One that cannot be read gives a single row
  // that says so.
  RecordPage(EditorView& view, SystemPort& system, std::wstring folder);

  // Made when first asked for: the editor reads the record at every start,
  // but shows it seldom.
  [[nodiscard]] const std::vector<RecordRow>& Rows();
  // The row shown selected when the window opens: the newest run's start;
  // -1 when there is none.
  [[nodiscard]] std::ptrdiff_t FirstSelected() const { return runs_.empty() ? -1 : 0; }

  // The newest run is Ombrel's, one of its entries could not be opened, and
  // no editor has shown it yet.
  [[nodiscard]] bool NewestRunHasUnseenFailure() const;
  // Records that the newest run was shown, so that it is not shown again.
  void MarkNewestRunShown();

  // The runs as read, oldest first.
  [[nodiscard]] const std::vector<RecordedRun>& runs() const { return runs_; }
  // The line above the runs: how Windows would start Ombrel, and since when
  // it has been quiet.
  [[nodiscard]] const std::wstring& Status() const { return status_; }
  void SetStatus(std::wstring status) { status_ = std::move(status); }

  // "記録を消去": asks first (No the default); on Yes empties the record and
  // the rows. False when nothing changed: the user said No, or the record
  // could not be written (the user was warned).
  bool Clear();

 private:
  EditorView& view_;
  SystemPort& system_;
  std::wstring folder_;
  std::vector<RecordedRun> runs_;
  std::optional<std::vector<RecordRow>> rows_;
  std::wstring status_;
};

}  // namespace ombrel::editor
