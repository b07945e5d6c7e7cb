// What OmbrelSet does, apart from drawing it: every command of the window as
// plain code over a small view interface, so that each decision (list and
// selection, the modified flag, saving and leaving, running the entries, help)
// is tested without a window. MainWindow implements the view with real controls.
#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "common/open/entry_open.h"
#include "common/port/system_port.h"
#include "common/schedule/pacing.h"
#include "common/schedule/policy.h"
#include "common/startup/startup_approval.h"
#include "editor/model/start_health.h"

namespace ombrel {
class RunRecord;
}  // namespace ombrel

namespace ombrel::editor {

class EntryDaysPage;
class RecordPage;
class SettingsPage;
class TeamPage;

// The kinds of message box; each has its fixed icon and buttons.
enum class MessageKind {
  kWarning,            // exclamation mark, OK
  kLeaveQuestion,      // exclamation mark, Yes and No
  kRunAgainQuestion,   // question mark, Yes and No, Yes the default
  kReplaceQuestion,    // question mark, Yes and No, No the default
  kInformation,        // information sign, OK
  kOverwriteQuestion,  // exclamation mark, Yes and No, No the default
};

enum class Answer { kOk, kYes, kNo };

// The window as the editor's commands see it. Positions count from 0; -1 is
// "nothing selected".
class EditorView {
 public:
  EditorView() = default;
  EditorView(const EditorView&) = delete;
  EditorView& operator=(const EditorView&) = delete;
  virtual ~EditorView() = default;

  // List1: a mirror of the editor's entries and selection, told each change
  // the editor makes and holding no rule of its own. The whole list at load:
  // false when the list refused an entry (out of room).
  [[nodiscard]] virtual bool ShowList(const std::vector<std::wstring>& entries) = 0;
  virtual void ShowInserted(std::ptrdiff_t index, const std::wstring& entry) = 0;
  virtual void ShowRemoved(std::ptrdiff_t index) = 0;
  // The entry at `from` now stands at `to`; those between moved up or down.
  virtual void ShowMoved(std::ptrdiff_t from, std::ptrdiff_t to) = 0;
  virtual void ShowSelection(std::ptrdiff_t index) = 0;
  // The entry at `index` has other days of its own now: drawn again.
  virtual void ShowDaysChanged(std::ptrdiff_t index) = 0;

  // Text1.
  [[nodiscard]] virtual std::wstring EditText() = 0;
  virtual void SetEditText(const std::wstring& text) = 0;

  // A text of the program's string table, by its IDS_ id.
  [[nodiscard]] virtual std::wstring LoadText(int id) = 0;

  // A modal message box with the program's title as caption.
  virtual Answer ShowMessage(MessageKind kind, const std::wstring& text) = 0;

  // The open-file dialog; the chosen full path, or nothing when cancelled or
  // failed. `filter` is pairs of label and pattern separated by "|".
  [[nodiscard]] virtual std::optional<std::wstring> ShowOpenFileDialog(const std::wstring& title,
                                                                       const std::wstring& filter) = 0;

  virtual WindowHandle Handle() = 0;

  // The line under the list that says neither way would start Ombrel,
  // shown or hidden.
  virtual void ShowStartWarning(bool shown) = 0;

  // The run record's window, modal over the editor's, showing `page`; returns
  // when the user has closed it.
  virtual void ShowRunRecord(RecordPage& page) = 0;
  // The settings dialog, modal over the editor's window, for `page`; returns
  // when the user has closed it.
  virtual void ShowSettings(SettingsPage& page) = 0;
  // The dialog of an entry's own days, the same way.
  virtual void ShowEntryDays(EntryDaysPage& page) = 0;
  // The team's list window, the same way.
  virtual void ShowTeamList(TeamPage& page) = 0;

  // Ends the program at once; no handler runs after it.
  virtual void EndProgram() = 0;
};

// Ombrel started at log-on: a shortcut to the Ombrel.exe beside the editor in
// the user's Startup folder, the same one the installer's check box makes.
class LogOnStart {
 public:
  LogOnStart() = default;
  LogOnStart(const LogOnStart&) = delete;
  LogOnStart& operator=(const LogOnStart&) = delete;
  virtual ~LogOnStart() = default;

  // Windows' switch of each shortcut in the Startup folder that starts the
  // launcher, whoever made it and whatever its name.
  [[nodiscard]] virtual std::vector<StartupApproval> Shortcuts() = 0;
  // Makes the shortcut, switched on; false when the Startup folder could not
  // be written.
  [[nodiscard]] virtual bool TurnOn() = 0;
  // Sets Windows' switch of every shortcut to the launcher to on; false when
  // one could not be.
  [[nodiscard]] virtual bool SwitchOn() = 0;
  // Removes every shortcut to the launcher; false when one could not be.
  [[nodiscard]] virtual bool TurnOff() = 0;
  // The shortcut as TurnOn makes it, for messages.
  [[nodiscard]] virtual std::wstring ShortcutPath() = 0;
};

// What the Task Scheduler holds under the name of this user's resume task.
struct ResumeTaskState {
  bool reached = false;  // the Task Scheduler answered at all
  bool exists = false;
  bool enabled = false;
  bool runsLauncher = false;  // it runs the Ombrel.exe beside this editor
  std::wstring program;       // the Ombrel.exe it runs, as the task records it

  // Windows starts this launcher with it.
  [[nodiscard]] bool IsOn() const { return exists && enabled && runsLauncher; }
};

// A change the Task Scheduler made, or the text for why not: Windows' own,
// or ours for a task Windows would refuse.
struct TaskChange {
  bool done = false;
  std::wstring error;
  // Registered without the start at the wake from sleep, which Windows does
  // not allow this user here.
  bool withoutWake = false;
};

// Ombrel started by the Task Scheduler when this user unlocks the session,
// switches back to it, or the PC wakes from sleep (common/startup/resume_task.h).
class ResumeStart {
 public:
  ResumeStart() = default;
  ResumeStart(const ResumeStart&) = delete;
  ResumeStart& operator=(const ResumeStart&) = delete;
  virtual ~ResumeStart() = default;

  [[nodiscard]] virtual ResumeTaskState Find() = 0;
  // Registers the task for the launcher, replacing any of that name.
  [[nodiscard]] virtual TaskChange Register() = 0;
  // Removes the task of that name; done too when there was none.
  [[nodiscard]] virtual TaskChange Remove() = 0;
  // As the Task Scheduler lists it, for messages.
  [[nodiscard]] virtual std::wstring TaskName() = 0;
};

// Which way an entry moves in the list.
enum class Direction : std::ptrdiff_t { kUp = -1, kDown = 1 };

// The editor's commands. Each control and menu item of the window gives one of
// them; docs/design.md has the table. The editor owns the entries and the
// selection and decides every change; the view only shows them.
class Editor final : public OwnerWindow {
 public:
  Editor(EditorView& view, SystemPort& system, OpenPort& open, LogOnStart& logOnStart,
         ResumeStart& resumeStart, std::wstring programFolder, Clock& clock, NetworkProbe& network,
         PolicyPort& policy);

  // The window title for a load at `now`.
  [[nodiscard]] std::wstring WindowTitle(const LocalTime& now);

  // Fills the list from the entry list file, once, as the window loads. False
  // when the file exists but could not be read, or the list did not take
  // every entry: the user was told, and the window must not open, so that
  // nothing can be saved over the file.
  [[nodiscard]] bool LoadList();
  // Once the window shows: tells the user when the list was read from the
  // temporary of a save cut short.
  void TellOfRecoveredList();
  // False when nothing was written: the file changed since it was read and
  // the user chose not to overwrite it, or it could not be written (the user
  // was warned). The list and the modified flag are then kept.
  [[nodiscard]] bool SaveList();
  // Saves, then leaves; a failed save keeps the window open.
  void SaveAndLeave();
  // Asks to save when the list changed, and saves on Yes. False only when the
  // user chose to save and the save failed (the user was warned); true when
  // the program may end without losing anything the user wants kept.
  [[nodiscard]] bool SettleChanges();
  // SettleChanges, then ends the program. False when the window stays.
  bool Leave();
  // Leaves at once, dropping any change.
  void LeaveWithoutSaving();

  // The open-file dialog, into the edit box.
  void Browse();
  // The edit box's text in front of the selected entry, or at the end when
  // none is selected; the new entry is selected.
  void InsertEntry();
  // The selected entry out of the list, into the edit box; the one after it
  // (or the new last one) is selected.
  void DeleteEntry();
  // The edit box's text after the last entry; the selection stays.
  void AppendEntry();
  // The selected entry into the edit box.
  void CopySelectedEntryToEditBox();
  // The selected entry's text becomes the edit box's, in its place, keeping
  // its days of its own; nothing with none selected.
  void ReplaceSelectedEntry();
  // The entry the user selected in the list (a click, the keys, a right
  // click); -1 or an index beyond the list selects nothing.
  void SelectEntry(std::ptrdiff_t index);
  // The selected entry one place up or down, still selected; nothing at
  // either end.
  void MoveSelectedEntry(Direction direction);
  [[nodiscard]] bool SelectedEntryCanMove(Direction direction) const;
  [[nodiscard]] bool HasSelection() const { return selected_ >= 0; }
  // The selected entry is one a line of days can name (CanHaveOwnDays).
  [[nodiscard]] bool SelectedEntryCanHaveDays() const;
  // Files and folders dropped on the list, in the order dropped: inserted in
  // front of the selected entry or appended, the last of them selected.
  void DropOnList(const std::vector<std::wstring>& paths);
  // The first of the paths dropped on the edit box replaces its text.
  void DropOnEditBox(const std::vector<std::wstring>& paths);

  // Opens the selected entry as run-now opens each entry, with its message;
  // the stamp is left alone.
  void RunSelectedEntry();
  // Opens every entry of the list as shown, asking first when they already
  // ran today; whatever the day the settings keep closed, and with their gaps
  // and network wait but without their pause.
  void RunNow();
  // Empties the run-date stamp, so that the launcher runs again today.
  void ClearStamp();

  // The run record's window (record_page.cpp).
  void ShowRunRecord();
  // The settings dialog (settings_page.cpp); a settings file that cannot be
  // read is said instead.
  void ShowSettings();
  // ファイル → チームの一覧: the team folder, whether it can be read, its
  // entries and their days; the list stays the person's own.
  void ShowTeamList();
  // The dialog of the selected entry's own days (entry_days_page.cpp); its
  // OK gives the entry those days, which the list's save writes.
  void EditSelectedEntryDays();
  // The short form of the days of the entry at `index` that the list shows
  // beside it ("第1営業日"), empty for one without days of its own.
  [[nodiscard]] std::wstring DaysLabel(std::ptrdiff_t index);
  // As the window is first shown: the run record's window, once, when
  // Ombrel's newest run had an entry that could not be opened and no editor
  // has shown it yet.
  void ShowUnseenLauncherFailure();

  // "/record" (the launcher's notification, a second start with it): the
  // run record's window as the window first shows; a failure of the newest
  // run it shows counts as shown.
  void ShowRunRecordAsked();

  // What Windows says of both ways to start Ombrel, asked now: the Startup
  // folder and the Task Scheduler, slow enough to be asked off the window's
  // thread (a second StartupShortcut and ScheduledTask there).
  [[nodiscard]] static StartHealth AskStartHealth(LogOnStart& logOnStart, ResumeStart& resumeStart);
  // The answer of that first asking, as the window shows: the line under
  // the list says so when neither would start Ombrel. An answer the menu
  // or a toggle gave meanwhile is newer, and stands.
  void ShowStartHealth(const StartHealth& health);

  // Turns Ombrel's start at log-on on or off, whichever it is not; a shortcut
  // switched off in Windows is switched on again rather than made anew.
  void ToggleLogOnStart();
  // Whether the menu item shows a check mark.
  [[nodiscard]] bool LogOnStartIsOn();
  // Registers or removes the resume task, whichever it is not; another
  // copy's task is replaced only when the user says so.
  void ToggleResumeStart();
  // Whether the menu item shows a check mark: a task that runs this launcher
  // and is enabled.
  [[nodiscard]] bool ResumeStartIsOn();

  void ShowHelp();
  void OpenHelpPage(WindowHandle owner, const std::wstring& pagePath);
  void ShowAbout();

  [[nodiscard]] bool modified() const { return modified_; }
  [[nodiscard]] const std::vector<std::wstring>& entries() const { return entries_; }
  // The days text of an entry text, as the file has it or the dialog wrote
  // it; null for one without days of its own.
  [[nodiscard]] const std::string* DaysOf(const std::wstring& entry) const;
  [[nodiscard]] std::ptrdiff_t selection() const { return selected_; }
  [[nodiscard]] const std::wstring& entryListPath() const { return entryListPath_; }

  // The owner of what the shell shows while entries run: the editor window.
  WindowHandle Handle() override;

 private:
  void Warn(const std::wstring& text);
  // False, having said so, when no Ombrel.exe lies beside the editor.
  bool LauncherIsBeside();
  // Whether a save may write the file: it is still what was last read or
  // written, or the user said to overwrite it.
  [[nodiscard]] bool MayOverwrite(const FileRead& now);
  // Opens one entry where run-now opens it, saying so when it cannot; into
  // `record` when it is one step of a run of the list, opened for the missed
  // day `catchUpDay` unless that is empty.
  void OpenOneEntry(const std::wstring& entry, RunRecord* record, const std::wstring& catchUpDay = {});
  // The settings as they are now: the file's, and the policy's over them.
  [[nodiscard]] PolicySettings CurrentSettings();
  // The gaps and the network wait of the settings as they are now.
  [[nodiscard]] EntryPacing Pacing();
  void InsertAt(std::ptrdiff_t index, std::wstring entry);
  void Select(std::ptrdiff_t index);
  // The entry at `index` leaves the list; the last of its text takes its
  // days along.
  void RemoveAt(std::ptrdiff_t index);
  // Gives an entry text its days, or none with an empty text, for the save.
  void SetDays(const std::wstring& entry, const std::string& days);
  // Keeps what was heard of one way to start Ombrel and shows the line
  // under the list for it.
  void NoteLogOn(LogOnState state);
  void NoteResume(ResumeState state);
  // The record's page with its status line: how both ways stand and a
  // quiet stretch.
  void AddRecordStatus(RecordPage& page);
  // Writes the days of the texts changed since the last save into the
  // settings file. False, having warned, when it could not be.
  [[nodiscard]] bool SaveDays();

  EditorView& view_;
  SystemPort& system_;
  OpenPort& open_;
  LogOnStart& logOnStart_;
  ResumeStart& resumeStart_;
  std::wstring folder_;
  Clock& clock_;
  NetworkProbe& network_;
  PolicyPort& policy_;
  std::wstring entryListPath_;
  // The list file as it was last read or written.
  FileRead onDisk_;
  // The temporary the list was read from, until a save puts it in place.
  std::wstring recoveredFrom_;
  std::vector<std::wstring> entries_;
  std::ptrdiff_t selected_ = -1;  // -1: nothing selected
  bool modified_ = false;
  // The days of each entry text that has its own, as the settings file had
  // them at load (lines of entries not in the list included) and as the
  // dialog, 置換 and 削除 changed them since. The file can tell entries of
  // one text apart no more than the launcher can: they share their days.
  std::map<std::wstring, std::string> days_;
  // The entry texts whose days changed since the last save: the only lines
  // the save writes.
  std::set<std::wstring> daysChanged_;
  // How both ways to start Ombrel stood when last asked; nothing until then.
  std::optional<StartHealth> health_;
};

}  // namespace ombrel::editor
