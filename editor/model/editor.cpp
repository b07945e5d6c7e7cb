#include "editor/model/editor.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "common/list/entry_list.h"
#include "common/list/program_folder.h"
#include "common/list/stamp.h"
#include "common/record/run_record.h"
#include "common/schedule/day_rule.h"
#include "common/schedule/entry_days.h"
#include "common/schedule/settings.h"
#include "editor/resource.h"
#include "version.h"

namespace ombrel::editor {

namespace {

// Line breaks inside message texts are single carriage returns.
constexpr wchar_t kBreak[] = L"\r";

// What the editor hands the shell as its working folder, so that a document
// never opens in the folder a file dialog happened to leave current.
constexpr wchar_t kShellWorkingFolder[] = L"c:\\";

}  // namespace

Editor::Editor(EditorView& view, SystemPort& system, OpenPort& open, LogOnStart& logOnStart,
               ResumeStart& resumeStart, std::wstring programFolder, Clock& clock, NetworkProbe& network,
               PolicyPort& policy)
    : view_(view),
      system_(system),
      open_(open),
      logOnStart_(logOnStart),
      resumeStart_(resumeStart),
      folder_(std::move(programFolder)),
      clock_(clock),
      network_(network),
      policy_(policy) {}

WindowHandle Editor::Handle() { return view_.Handle(); }

void Editor::Warn(const std::wstring& text) { view_.ShowMessage(MessageKind::kWarning, text); }

std::wstring Editor::WindowTitle(const LocalTime& now) {
  return view_.LoadText(IDS_TITLE_PREFIX) + DateText(now) + L"  " + TimeText(now);
}

bool Editor::LoadList() {
  // Set before the file is tried, so that a later save creates it here even
  // when it was missing.
  entryListPath_ = folder_ + kEntryListFileName;
  EntryListRead list = ReadEntryList(system_, entryListPath_);
  if (list.status == ReadStatus::kUnreadable) {
    // Shown, an empty or a shortened list would be saved over the user's.
    Warn(entryListPath_ + view_.LoadText(IDS_LIST_UNREADABLE));
    return false;
  }
  onDisk_ = std::move(list.file);
  recoveredFrom_ = std::move(list.recoveredFrom);
  // Not in place yet: leaving asks to save it there.
  modified_ = !recoveredFrom_.empty();
  entries_ = std::move(list.entries);
  // The days of every line, its entry in the list or not: a line the list
  // does not name is kept, and a later edit may bring its entry back. A
  // settings file that cannot be read shows none; the save writes only the
  // lines the user changed.
  for (EntryDaysLine& line : ReadEntryDays(system_, LoadSettings(system_, folder_).bytes).lines) {
    days_.emplace(std::move(line.entry), std::move(line.text));
  }
  if (!view_.ShowList(entries_)) {
    // A list shown short would be saved short.
    Warn(entryListPath_ + view_.LoadText(IDS_LIST_UNREADABLE));
    return false;
  }
  view_.SetEditText(entries_.empty() ? std::wstring() : entries_.front());
  Select(entries_.empty() ? -1 : 0);
  return true;
}

void Editor::TellOfRecoveredList() {
  if (recoveredFrom_.empty()) return;
  view_.ShowMessage(MessageKind::kInformation, entryListPath_ + view_.LoadText(IDS_RECOVERED_1) + kBreak +
                                                   recoveredFrom_ + kBreak + view_.LoadText(IDS_RECOVERED_2));
}

bool Editor::MayOverwrite(const FileRead& now) {
  if (now == onDisk_) return true;
  const std::wstring question =
      entryListPath_ + view_.LoadText(IDS_CHANGED_ON_DISK_1) + kBreak + view_.LoadText(IDS_CHANGED_ON_DISK_2);
  return view_.ShowMessage(MessageKind::kOverwriteQuestion, question) == Answer::kYes;
}

bool Editor::SaveList() {
  // Unreadable now, the file cannot be shown to be what was read: it is not
  // written over.
  const FileRead now = system_.ReadAll(entryListPath_);
  if (now.status == ReadStatus::kUnreadable) {
    Warn(entryListPath_ + view_.LoadText(IDS_SAVE_FAILED));
    return false;
  }
  if (!MayOverwrite(now)) return false;
  ListSave saved = WriteEntryList(system_, entryListPath_, entries_);
  if (!saved) {
    const int reason = saved.status == SaveStatus::kReadOnly ? IDS_LIST_READ_ONLY : IDS_SAVE_FAILED;
    Warn(entryListPath_ + view_.LoadText(reason));
    return false;
  }
  onDisk_ = std::move(saved.written);
  // In place now; the save removed the temporary.
  recoveredFrom_.clear();
  // After the list, so that a line never names a text the list does not
  // hold yet. Unwritten, the days are kept to be saved again.
  if (!SaveDays()) return false;
  modified_ = false;
  return true;
}

bool Editor::SaveDays() {
  if (daysChanged_.empty()) return true;
  const std::wstring path = folder_ + kSettingsFileName;
  // A file that cannot be read is not written over: its lines would be lost.
  const FileRead file = ReadSettingsFile(system_, folder_);
  if (file.status != ReadStatus::kUnreadable) {
    std::vector<std::pair<std::wstring, std::string>> wanted;
    for (const std::wstring& entry : entries_) {
      const std::string* days = DaysOf(entry);
      const bool listed =
          std::ranges::find(wanted, entry, &std::pair<std::wstring, std::string>::first) != wanted.end();
      if (days != nullptr && daysChanged_.contains(entry) && !listed) wanted.emplace_back(entry, *days);
    }
    const std::string merged = MergeEntryDays(system_, file.bytes, wanted, [this](const std::wstring& entry) {
      return daysChanged_.contains(entry);
    });
    if (merged == file.bytes || ReplaceSettingsFile(system_, folder_, merged)) {
      daysChanged_.clear();
      return true;
    }
  }
  Warn(path + view_.LoadText(IDS_SAVE_FAILED));
  return false;
}

void Editor::SaveAndLeave() {
  // A save that failed has warned already; leaving now would lose the list.
  if (SaveList()) Leave();
}

bool Editor::SettleChanges() {
  if (!modified_) return true;
  const std::wstring question =
      view_.LoadText(IDS_LEAVE_QUESTION_1) + kBreak + entryListPath_ + view_.LoadText(IDS_LEAVE_QUESTION_2);
  if (view_.ShowMessage(MessageKind::kLeaveQuestion, question) == Answer::kYes && !SaveList()) {
    // The list could not be saved: ending now would lose it.
    return false;
  }
  modified_ = false;
  return true;
}

bool Editor::Leave() {
  if (!SettleChanges()) return false;
  view_.EndProgram();
  return true;
}

void Editor::LeaveWithoutSaving() {
  modified_ = false;
  Leave();
}

void Editor::Browse() {
  const std::optional<std::wstring> chosen =
      view_.ShowOpenFileDialog(view_.LoadText(IDS_BROWSE_TITLE), view_.LoadText(IDS_BROWSE_FILTER));
  if (chosen && !chosen->empty()) view_.SetEditText(*chosen);
}

void Editor::ClearStamp() {
  if (!StampClear(system_, folder_)) Warn(folder_ + kStampFileName + view_.LoadText(IDS_STAMP_FAILED));
}

void Editor::RunNow() {
  if (StampCheck(system_, folder_)) {
    const std::wstring question =
        view_.LoadText(IDS_RUN_AGAIN_1) + kBreak + kBreak + view_.LoadText(IDS_RUN_AGAIN_2);
    if (view_.ShowMessage(MessageKind::kRunAgainQuestion, question) != Answer::kYes) return;
  }
  // Read before the stamp is renewed, as the launcher reads it: the entries
  // it opens are those the launcher would open today.
  const std::optional<std::chrono::year_month_day> lastRun = StampedDay(system_, folder_);
  RunRecord record(system_, folder_, RunStarter::kRunNow);
  // Unwritten, the stamp would let the launcher open everything again today;
  // the user is told, and the entries asked for still open.
  const bool renewed = StampRenew(system_, folder_);
  if (!renewed) Warn(folder_ + kStampFileName + view_.LoadText(IDS_STAMP_FAILED));
  // The user asked for the run: no pause, and no day is closed to it. Its
  // entries are spaced and waited for as the launcher's are, and those with
  // days of their own open when the launcher's would, by the days shown.
  const PolicySettings current = CurrentSettings();
  for (const IgnoredPolicy& ignored : current.ignored)
    record.PolicyIgnored(HiveName(ignored.hive), ignored.name);
  const Settings& settings = current.settings;
  EntryPacing pacing(clock_, network_, settings);
  DueDays dueDays(settings, lastRun, DayOf(system_.Now()));
  // By position and as a copy: a message box shown meanwhile lets messages
  // through.
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    const std::wstring entry(entries_[i]);
    const std::string* own = DaysOf(entry);
    const std::optional<EntryDays> days = own != nullptr ? ParseEntryDays(*own) : std::nullopt;
    const EntryDue due = dueDays.Judge(days ? &*days : nullptr);
    if (due.kind == EntryDue::Kind::kNotDue) {
      record.Skipped(entry, kSkippedNotToday);
      continue;
    }
    // The window went while the run waited (the session ends): the run
    // stops, and its record stops short as a run cut off does.
    if (!pacing.BeforeEntry(entry)) return;
    OpenOneEntry(entry, &record, due.kind == EntryDue::Kind::kCatchUp ? IsoDayText(due.day) : std::wstring());
  }
  record.End(renewed ? RunEnd::kDone : RunEnd::kStampNotWritten);
}

void Editor::RunSelectedEntry() {
  if (selected_ < 0) return;
  const std::wstring entry(entries_[static_cast<std::size_t>(selected_)]);
  // One entry tried out is no run of the list: the record is left alone, and
  // no gap is kept, but an entry on a network is waited for as in a run.
  if (Pacing().BeforeEntry(entry)) OpenOneEntry(entry, nullptr);
}

PolicySettings Editor::CurrentSettings() {
  return ApplyPolicy(policy_, LoadSettings(system_, folder_).parsed.settings);
}

EntryPacing Editor::Pacing() { return {clock_, network_, CurrentSettings().settings}; }

void Editor::OpenOneEntry(const std::wstring& entry, RunRecord* record, const std::wstring& catchUpDay) {
  const WorkingFolders folders{FolderAsPath(folder_), kShellWorkingFolder};
  const OpenResult result = OpenEntry(open_, *this, folders, entry);
  // Recorded before the message, which waits for the user.
  if (record != nullptr && !catchUpDay.empty()) record->CatchUp(entry, catchUpDay);
  if (record != nullptr) record->Entry(entry, result);
  if (result.outcome == OpenResult::Outcome::kNotOpened) Warn(entry + view_.LoadText(IDS_CANNOT_OPEN));
}

bool Editor::LauncherIsBeside() {
  // A start of a launcher that is not there would start nothing, silently.
  const std::wstring launcher = folder_ + kLauncherFileName;
  if (system_.IsOrdinaryFile(launcher)) return true;
  Warn(launcher + view_.LoadText(IDS_LAUNCHER_MISSING));
  return false;
}

StartHealth Editor::AskStartHealth(LogOnStart& logOnStart, ResumeStart& resumeStart) {
  return JudgeStartHealth(logOnStart.Shortcuts(), resumeStart.Find());
}

void Editor::ShowStartHealth(const StartHealth& health) {
  if (health_) return;
  health_ = health;
  view_.ShowStartWarning(health.NothingStarts());
}

void Editor::NoteLogOn(LogOnState state) {
  StartHealth& health = health_ ? *health_ : health_.emplace();
  health.logOn = state;
  view_.ShowStartWarning(health.NothingStarts());
}

void Editor::NoteResume(ResumeState state) {
  StartHealth& health = health_ ? *health_ : health_.emplace();
  health.resume = state;
  view_.ShowStartWarning(health.NothingStarts());
}

// The menu asks each time it opens; what it hears is the newest word on
// both ways, and the line under the list follows it without asking again.
bool Editor::LogOnStartIsOn() {
  const LogOnState state = JudgeLogOn(logOnStart_.Shortcuts());
  NoteLogOn(state);
  return state == LogOnState::kOn;
}

bool Editor::ResumeStartIsOn() {
  const ResumeState state = JudgeResume(resumeStart_.Find());
  NoteResume(state);
  return state == ResumeState::kOn;
}

void Editor::ToggleLogOnStart() {
  const std::vector<StartupApproval> shortcuts = logOnStart_.Shortcuts();
  const LogOnState state = JudgeLogOn(shortcuts);
  if (state == LogOnState::kOn) {
    if (!logOnStart_.TurnOff()) {
      Warn(logOnStart_.ShortcutPath() + view_.LoadText(IDS_SHORTCUT_NOT_REMOVED));
      return;
    }
    NoteLogOn(LogOnState::kNone);
    return;
  }
  if (state == LogOnState::kSwitchedOff) {
    // Each one is switched off in Windows: on again, it is the one Task
    // Manager shows, rather than a second shortcut beside it.
    if (!logOnStart_.SwitchOn()) {
      Warn(logOnStart_.ShortcutPath() + view_.LoadText(IDS_SHORTCUT_NOT_SWITCHED_ON));
      return;
    }
  } else if (!LauncherIsBeside()) {
    return;
  } else if (!logOnStart_.TurnOn()) {
    Warn(logOnStart_.ShortcutPath() + view_.LoadText(IDS_SHORTCUT_NOT_MADE));
    return;
  }
  NoteLogOn(LogOnState::kOn);
}

void Editor::ToggleResumeStart() {
  const ResumeTaskState task = resumeStart_.Find();
  const std::wstring name = resumeStart_.TaskName();
  if (task.IsOn()) {
    const TaskChange removed = resumeStart_.Remove();
    if (!removed.done) {
      Warn(name + view_.LoadText(IDS_TASK_NOT_REMOVED) + kBreak + removed.error);
      return;
    }
    NoteResume(ResumeState::kNone);
    return;
  }
  if (!LauncherIsBeside()) return;
  // One task a user: another copy's would stop starting that copy.
  if (task.exists && !task.runsLauncher) {
    const std::wstring question = name + view_.LoadText(IDS_TASK_OTHER_COPY_1) + kBreak + task.program +
                                  kBreak + kBreak + view_.LoadText(IDS_TASK_OTHER_COPY_2);
    if (view_.ShowMessage(MessageKind::kReplaceQuestion, question) != Answer::kYes) return;
  }
  const TaskChange registered = resumeStart_.Register();
  if (!registered.done) {
    Warn(name + view_.LoadText(IDS_TASK_NOT_REGISTERED) + kBreak + registered.error);
    return;
  }
  NoteResume(ResumeState::kOn);
  if (registered.withoutWake) {
    // The user asked for the wake too: told what was left out.
    Warn(name + view_.LoadText(IDS_TASK_WITHOUT_WAKE_1) + kBreak + view_.LoadText(IDS_TASK_WITHOUT_WAKE_2));
  }
}

void Editor::ShowHelp() {
  const std::wstring page = folder_ + kHelpFileName;
  if (!system_.IsOrdinaryFile(page)) {
    Warn(page + view_.LoadText(IDS_HELP_MISSING));
    return;
  }
  OpenHelpPage(view_.Handle(), page);
}

void Editor::OpenHelpPage(WindowHandle owner, const std::wstring& pagePath) {
  // A page whose name holds no dot at all is tried with ".HTM" at once; the
  // second try always adds it, for a shell that only knows the long form.
  const std::wstring withExtension = pagePath + L".HTM";
  const std::wstring first = pagePath.find(L'.') == std::wstring::npos ? withExtension : pagePath;
  if (OpenThroughShell(open_, owner, kShellWorkingFolder, first, withExtension)) return;
  Warn(view_.LoadText(IDS_NO_BROWSER_1) + kBreak + view_.LoadText(IDS_NO_BROWSER_2) + kBreak +
       view_.LoadText(IDS_NO_BROWSER_3));
}

void Editor::ShowAbout() {
  view_.ShowMessage(MessageKind::kInformation, view_.LoadText(IDS_ABOUT_NAME) + L" Ver " +
                                                   OMBREL_VERSION_SHORT + kBreak + kBreak +
                                                   view_.LoadText(IDS_ABOUT_NOTICE));
}

}  // namespace ombrel::editor
