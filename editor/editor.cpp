#include "editor.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "entry_list.h"
#include "program_folder.h"
#include "resource.h"
#include "run_record.h"
#include "stamp.h"
#include "text_search.h"
#include "version.h"

namespace ombrel::editor {

namespace {

// Line breaks inside message texts are single carriage returns.
constexpr wchar_t kBreak[] = L"\r";

// Windows starts Ombrel at log-on when one shortcut to it is switched on.
bool AnyOn(const std::vector<StartupApproval>& shortcuts) {
  return std::ranges::find(shortcuts, StartupApproval::kOn) != shortcuts.end();
}

// What the editor hands the shell as its working folder, so that a document
// never opens in the folder a file dialog happened to leave current.
constexpr wchar_t kShellWorkingFolder[] = L"c:\\";

}  // namespace

Editor::Editor(EditorView& view, SystemPort& system, OpenPort& open, LogOnStart& logOnStart,
               ResumeStart& resumeStart, std::wstring programFolder)
    : view_(view),
      system_(system),
      open_(open),
      logOnStart_(logOnStart),
      resumeStart_(resumeStart),
      folder_(std::move(programFolder)) {}

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
  std::size_t characters = 0;
  for (const std::wstring& entry : list.entries) characters += entry.size();
  view_.ReserveListItems(list.entries.size(), characters);
  for (const std::wstring& entry : list.entries) {
    if (!view_.AppendListItem(entry)) {
      // A list shown short would be saved short.
      Warn(entryListPath_ + view_.LoadText(IDS_LIST_UNREADABLE));
      return false;
    }
  }
  if (!list.entries.empty()) {
    view_.SetEditText(view_.ListItem(0));
    view_.SetListSelection(0);
  } else {
    view_.SetEditText(L"");
    view_.SetListSelection(-1);
  }
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
  std::vector<std::wstring> entries;
  const std::ptrdiff_t count = view_.ListCount();
  entries.reserve(static_cast<std::size_t>(count));
  for (std::ptrdiff_t i = 0; i < count; ++i) entries.push_back(view_.ListItem(i));
  ListSave saved = WriteEntryList(system_, entryListPath_, entries);
  if (!saved) {
    const int reason = saved.status == SaveStatus::kReadOnly ? IDS_LIST_READ_ONLY : IDS_SAVE_FAILED;
    Warn(entryListPath_ + view_.LoadText(reason));
    return false;
  }
  onDisk_ = std::move(saved.written);
  // In place now; the save removed the temporary.
  recoveredFrom_.clear();
  modified_ = false;
  return true;
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

void Editor::InsertEntry() {
  const std::ptrdiff_t count = view_.ListCount();
  std::ptrdiff_t at = view_.ListSelection();
  // With entries but none selected, nothing the user typed is dropped: the
  // text goes to the end and becomes the selected entry.
  if (at < 0 || at > count) at = count;
  view_.InsertListItem(at, view_.EditText());
  view_.SetListSelection(at);
  modified_ = true;
}

void Editor::DeleteEntry() {
  const std::ptrdiff_t at = view_.ListSelection();
  if (at < 0) return;
  view_.SetEditText(view_.ListItem(at));
  view_.RemoveListItem(at);
  const std::ptrdiff_t remaining = view_.ListCount();
  if (remaining == 0) {
    view_.SetListSelection(-1);
  } else {
    view_.SetListSelection(remaining < at + 1 ? remaining - 1 : at);
  }
  modified_ = true;
}

void Editor::AppendEntry() {
  view_.InsertListItem(view_.ListCount(), view_.EditText());
  modified_ = true;
}

void Editor::CopySelectedEntryToEditBox() {
  const std::ptrdiff_t at = view_.ListSelection();
  if (at >= 0) view_.SetEditText(view_.ListItem(at));
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
  RunRecord record(system_, folder_, RunStarter::kRunNow);
  // Unwritten, the stamp would let the launcher open everything again today;
  // the user is told, and the entries asked for still open.
  const bool renewed = StampRenew(system_, folder_);
  if (!renewed) Warn(folder_ + kStampFileName + view_.LoadText(IDS_STAMP_FAILED));
  const WorkingFolders folders{FolderAsPath(folder_), kShellWorkingFolder};
  const std::ptrdiff_t last = view_.ListCount() - 1;
  for (std::ptrdiff_t i = 0; i <= last; ++i) {
    const std::wstring entry = view_.ListItem(i);
    const OpenResult result = OpenEntry(open_, *this, folders, entry);
    // Recorded before the message, which waits for the user.
    record.Entry(entry, result);
    if (result.outcome == OpenResult::Outcome::kNotOpened) Warn(entry + view_.LoadText(IDS_CANNOT_OPEN));
  }
  record.End(renewed ? RunEnd::kDone : RunEnd::kStampNotWritten);
}

bool Editor::LauncherIsBeside() {
  // A start of a launcher that is not there would start nothing, silently.
  const std::wstring launcher = folder_ + kLauncherFileName;
  if (system_.IsOrdinaryFile(launcher)) return true;
  Warn(launcher + view_.LoadText(IDS_HELP_MISSING));
  return false;
}

bool Editor::LogOnStartIsOn() { return AnyOn(logOnStart_.Shortcuts()); }

void Editor::ToggleLogOnStart() {
  const std::vector<StartupApproval> shortcuts = logOnStart_.Shortcuts();
  if (AnyOn(shortcuts)) {
    if (!logOnStart_.TurnOff()) Warn(logOnStart_.ShortcutPath() + view_.LoadText(IDS_SHORTCUT_NOT_REMOVED));
  } else if (!shortcuts.empty()) {
    // Each one is switched off in Windows: on again, it is the one Task
    // Manager shows, rather than a second shortcut beside it.
    if (!logOnStart_.SwitchOn())
      Warn(logOnStart_.ShortcutPath() + view_.LoadText(IDS_SHORTCUT_NOT_SWITCHED_ON));
  } else if (LauncherIsBeside() && !logOnStart_.TurnOn()) {
    Warn(logOnStart_.ShortcutPath() + view_.LoadText(IDS_SHORTCUT_NOT_MADE));
  }
}

void Editor::ToggleResumeStart() {
  const ResumeTaskState task = resumeStart_.Find();
  const std::wstring name = resumeStart_.TaskName();
  if (task.IsOn()) {
    const TaskChange removed = resumeStart_.Remove();
    if (!removed.done) Warn(name + view_.LoadText(IDS_TASK_NOT_REMOVED) + kBreak + removed.error);
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
  if (!registered.done) Warn(name + view_.LoadText(IDS_TASK_NOT_REGISTERED) + kBreak + registered.error);
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
  const std::wstring first = FindOccurrence(pagePath, L".", 1) < 0 ? withExtension : pagePath;
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
