#include "editor/model/record_page.h"

#include <tuple>
#include <utility>

#include "common/list/stamp.h"
#include "common/schedule/day_rule.h"
#include "common/schedule/settings.h"
#include "editor/model/typed_text.h"
#include "editor/resource.h"

namespace ombrel::editor {

namespace {

// How a run ended, as its start row says it; a run whose lines stop short
// (cut off, or still running) says so.
int EndTextId(const std::optional<RunEnd>& end) {
  if (!end) return IDS_RECORD_CUT_SHORT;
  switch (*end) {
    case RunEnd::kDone:
      return IDS_RECORD_DONE;
    case RunEnd::kStampNotWritten:
      return IDS_RECORD_STAMP_NOT_WRITTEN;
    case RunEnd::kListUnreadable:
      return IDS_RECORD_LIST_UNREADABLE;
    case RunEnd::kLockHeld:
      return IDS_RECORD_LOCK_HELD;
    case RunEnd::kLockFailed:
      return IDS_RECORD_LOCK_FAILED;
    case RunEnd::kDayClosed:
      return IDS_RECORD_DAY_CLOSED;
  }
  return IDS_RECORD_CUT_SHORT;
}

// Why a day the settings kept closed was closed, each rule as a user names
// it: "日曜日、元日". A word a later version may add is passed over.
std::wstring ClosedDayText(EditorView& view, const RecordedRun& run) {
  std::wstring text;
  std::wstring_view reasons = run.endDetail;
  while (!reasons.empty()) {
    const std::size_t blank = reasons.find(L' ');
    const std::wstring_view word = reasons.substr(0, blank);
    reasons = blank == std::wstring_view::npos ? std::wstring_view() : reasons.substr(blank + 1);
    std::wstring reason;
    if (word == kClosedOnWeekday) {
      reason = WeekdayCharacter(DayOf(run.start)) + view.LoadText(IDS_RECORD_WEEKDAY);
    } else if (word.starts_with(kClosedOnHoliday)) {
      reason = word.substr(kClosedOnHoliday.size());
    } else if (word == kClosedAtYearEnd) {
      reason = view.LoadText(IDS_RECORD_YEAR_END);
    } else if (word == kClosedOnClosedDate) {
      reason = view.LoadText(IDS_RECORD_CLOSED_DATE);
    }
    if (reason.empty()) continue;
    if (!text.empty()) text += view.LoadText(IDS_RECORD_REASON_SEPARATOR);
    text += reason;
  }
  return text;
}

RecordRow StartRow(EditorView& view, const RecordedRun& run) {
  const bool closedDay = run.end == RunEnd::kDayClosed;
  // A closed day's detail is its reasons, which its result shows in words.
  RecordRow row{RecordTimeText(run.start), {}, {}, closedDay ? std::wstring() : run.endDetail, false};
  row.item = view.LoadText(run.starter == RunStarter::kLauncher ? IDS_RECORD_LAUNCHER : IDS_COMMAND8);
  std::wstring ending = view.LoadText(EndTextId(run.end));
  if (closedDay) ending += ClosedDayText(view, run);
  const std::size_t failures = run.Failures();
  if (failures > 0) {
    row.result = view.LoadText(IDS_RECORD_FAILURES_1) + std::to_wstring(failures) +
                 view.LoadText(IDS_RECORD_FAILURES_2);
    // Something else went wrong too: said beside it.
    if (run.end != RunEnd::kDone) row.detail = ending;
  } else {
    row.result = ending;
  }
  // A closed day is the settings at work, no failure.
  row.failed = failures > 0 || (run.end && *run.end != RunEnd::kDone && !closedDay);
  return row;
}

// "2026-12-28" as a user names the day a run caught up: "12/28"; empty for
// anything else (a hand-edited record).
std::wstring MonthAndDay(std::wstring_view isoDay) {
  constexpr std::wstring_view kForm = L"0000-00-00";
  if (isoDay.size() != kForm.size()) return {};
  for (std::size_t i = 0; i < kForm.size(); ++i) {
    const bool digit = isoDay[i] >= L'0' && isoDay[i] <= L'9';
    if (kForm[i] == L'0' ? !digit : isoDay[i] != kForm[i]) return {};
  }
  const auto number = [isoDay](std::size_t at) {
    return std::to_wstring((isoDay[at] - L'0') * 10 + isoDay[at + 1] - L'0');
  };
  return number(5) + L'/' + number(8);
}

RecordRow EntryRow(EditorView& view, const RecordedEntry& entry) {
  RecordRow row{TimeText(entry.time), {}, entry.entry, {}, false};
  switch (entry.event) {
    case RecordEvent::kProgram:
      row.result = view.LoadText(IDS_RECORD_PROGRAM);
      row.detail = entry.detail;
      break;
    case RecordEvent::kMailLink:
      row.result = view.LoadText(IDS_RECORD_MAIL_LINK);
      row.detail = L"Mailto:" + entry.entry;
      break;
    case RecordEvent::kFailed:
      row.result = view.LoadText(IDS_RECORD_FAILED);
      row.detail = entry.detail + L" (" + std::to_wstring(entry.error) + L")";
      row.failed = true;
      break;
    case RecordEvent::kTeamUnreadable:
      row.result = view.LoadText(IDS_RECORD_TEAM_UNREADABLE);
      row.detail = entry.detail + L" (" + std::to_wstring(entry.error) + L")";
      row.failed = true;
      break;
    case RecordEvent::kSkipped:
      row.result = view.LoadText(IDS_RECORD_SKIPPED);
      row.detail = entry.detail == kSkippedAsBlank    ? view.LoadText(IDS_RECORD_BLANK)
                   : entry.detail == kSkippedNotToday ? view.LoadText(IDS_RECORD_NOT_TODAY)
                                                      : entry.detail;
      break;
    default:
      row.result = view.LoadText(IDS_RECORD_SHELL);
      break;
  }
  if (const std::wstring day = MonthAndDay(entry.catchUpDay); !day.empty()) {
    row.result += FillIn(view.LoadText(IDS_RECORD_CATCH_UP), day);
  }
  return row;
}

}  // namespace

std::vector<RecordRow> RecordRows(EditorView& view, const std::vector<RecordedRun>& runs) {
  std::vector<RecordRow> rows;
  for (auto run = runs.rbegin(); run != runs.rend(); ++run) {
    rows.push_back(StartRow(view, *run));
    for (const RecordedEntry& entry : run->entries) rows.push_back(EntryRow(view, entry));
  }
  return rows;
}

RecordPage::RecordPage(EditorView& view, SystemPort& system, std::wstring folder)
    : view_(view), system_(system), folder_(std::move(folder)) {
  RunRecordRead read = ReadRunRecord(system_, folder_);
  if (read.status == ReadStatus::kUnreadable) {
    // Said in the window itself; the editor goes on either way.
    rows_ = {{{}, {}, folder_ + kRunRecordFileName + view_.LoadText(IDS_LIST_UNREADABLE), {}, true}};
    return;
  }
  runs_ = std::move(read.runs);
}

const std::vector<RecordRow>& RecordPage::Rows() {
  if (!rows_) rows_ = RecordRows(view_, runs_);
  return *rows_;
}

bool RecordPage::NewestRunHasUnseenFailure() const {
  if (runs_.empty()) return false;
  const RecordedRun& newest = runs_.back();
  return newest.starter == RunStarter::kLauncher && newest.Failures() > 0 && !newest.shown;
}

void RecordPage::MarkNewestRunShown() {
  // A record that cannot be written cannot remember: the window then opens at
  // each start, which is better than a failure never shown.
  if (!runs_.empty()) std::ignore = MarkRunShown(system_, folder_, runs_.back());
}

bool RecordPage::Clear() {
  if (view_.ShowMessage(MessageKind::kReplaceQuestion, view_.LoadText(IDS_RECORD_CLEAR_QUESTION)) !=
      Answer::kYes) {
    return false;
  }
  if (!ClearRunRecord(system_, folder_)) {
    view_.ShowMessage(MessageKind::kWarning, folder_ + kRunRecordFileName + view_.LoadText(IDS_STAMP_FAILED));
    return false;
  }
  runs_.clear();
  rows_.emplace();
  return true;
}

void Editor::AddRecordStatus(RecordPage& page) {
  // Shown at the start before the first asking has answered: asked here.
  if (!health_) ShowStartHealth(AskStartHealth(logOnStart_, resumeStart_));
  std::wstring status = StartHealthText(view_, *health_);
  const Settings settings = LoadSettings(system_, folder_).parsed.settings;
  if (const auto since = QuietSince(page.runs(), settings, DayOf(system_.Now()))) {
    status += QuietText(view_, *since);
  }
  page.SetStatus(std::move(status));
}

void Editor::ShowRunRecord() {
  RecordPage page(view_, system_, folder_);
  AddRecordStatus(page);
  view_.ShowRunRecord(page);
}

void Editor::ShowUnseenLauncherFailure() {
  RecordPage page(view_, system_, folder_);
  if (!page.NewestRunHasUnseenFailure()) return;
  // Marked first: a second editor started meanwhile does not show it too.
  page.MarkNewestRunShown();
  AddRecordStatus(page);
  view_.ShowRunRecord(page);
}

void Editor::ShowRunRecordAsked() {
  RecordPage page(view_, system_, folder_);
  if (page.NewestRunHasUnseenFailure()) page.MarkNewestRunShown();
  AddRecordStatus(page);
  view_.ShowRunRecord(page);
}

}  // namespace ombrel::editor
