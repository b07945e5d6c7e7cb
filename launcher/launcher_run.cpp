#include "launcher/launcher_run.h"

#include <cstdint>
#include <vector>

#include "common/list/entry_list.h"
#include "common/list/program_folder.h"
#include "common/list/stamp.h"
#include "common/record/run_record.h"
#include "common/schedule/day_rule.h"
#include "common/schedule/entry_days.h"
#include "common/schedule/pacing.h"
#include "common/schedule/settings.h"

namespace ombrel {

namespace {

// Releases the lock however the run ends, and only after its last entry, so a
// second launcher waiting on it then finds today's stamp.
class HeldLock {
 public:
  explicit HeldLock(FolderLock& lock) : lock_(lock) {}
  HeldLock(const HeldLock&) = delete;
  HeldLock& operator=(const HeldLock&) = delete;
  ~HeldLock() { lock_.Release(); }

 private:
  FolderLock& lock_;
};

enum class Turn { kOurs, kDayHasRun, kTimedOut, kFailed };

// Takes the folder's lock. While another launcher holds it, the stamp is
// looked at again and again: once that launcher has renewed it (before its
// pause, gaps and waits, which may hold the lock longer than any wait), the
// day's run is its, and this start is a same-day start. Waiting it out would
// only end in a failure that did not happen, recorded as the newest run.
Turn TakeTurn(SystemPort& system, FolderLock& lock, const std::wstring& folder) {
  // Asked without waiting first: a start that finds no other costs what it
  // always did.
  FolderLock::Acquired acquired = lock.Acquire(std::chrono::milliseconds(0));
  for (std::chrono::seconds waited{0}; acquired == FolderLock::Acquired::kBusy;
       waited += kStampLookInterval) {
    if (StampCheck(system, folder)) return Turn::kDayHasRun;
    if (waited >= kLockWait) return Turn::kTimedOut;
    acquired = lock.Acquire(kStampLookInterval);
  }
  return acquired == FolderLock::Acquired::kHeld ? Turn::kOurs : Turn::kFailed;
}

}  // namespace

std::wstring FolderLockName(std::wstring_view upperCaseFolder) {
  return FolderObjectName(L"Local\\Ombrel-", upperCaseFolder);
}

LauncherExit LauncherRun(SystemPort& system, const LauncherPorts& ports, const std::wstring& folder) {
  RunFailures failures;
  return LauncherRun(system, ports, folder, failures);
}

LauncherExit LauncherRun(SystemPort& system, const LauncherPorts& ports, const std::wstring& folder,
                         RunFailures& failures) {
  switch (TakeTurn(system, ports.lock, folder)) {
    case Turn::kOurs:
      break;
    case Turn::kDayHasRun:
      return LauncherExit::kDone;
    case Turn::kTimedOut:
      RunRecord(system, folder, RunStarter::kLauncher).End(RunEnd::kLockHeld);
      return LauncherExit::kLockTimedOut;
    case Turn::kFailed:
      RunRecord(system, folder, RunStarter::kLauncher).End(RunEnd::kLockFailed);
      return LauncherExit::kLockFailed;
  }
  const HeldLock held(ports.lock);

  // The same-day start ends here, having read one small file; the record is
  // not even opened.
  if (StampCheck(system, folder)) return LauncherExit::kDone;
  // Nobody at the session (a wake behind the lock screen, a session switched
  // away from): nothing opens and the stamp stays, so the unlock or the
  // switch back, which starts the launcher again, opens the list. Not
  // recorded: such a start is no run, and a night of wakes would push real
  // runs out of the record and stand, as the newest run, in front of the one
  // whose failures the editor shows.
  if (SessionIsAway(ports.session.Report())) return LauncherExit::kDone;
  RunRecord record(system, folder, RunStarter::kLauncher);

  // The settings are read on a new day only, so that the same-day start never
  // opens their file. A day they keep closed is the day's run: the stamp is
  // renewed, so that its later starts end at the stamp check, and the record
  // says why nothing opened.
  const SettingsRead read = LoadSettings(system, folder);
  const Settings& settings = read.parsed.settings;
  const DayJudgement today = JudgeDay(settings, DayOf(system.Now()));
  if (!today.Opens()) {
    const bool closedRenewed = StampRenew(system, folder);
    record.End(RunEnd::kDayClosed, ClosedDayReasons(today));
    return closedRenewed ? LauncherExit::kDone : LauncherExit::kStampNotWritten;
  }
  failures.listDay = true;
  failures.notify = settings[Setting::kNotifyFailures] != 0;

  // Read before the stamp is renewed: a list that exists but cannot be read
  // opens nothing and leaves the stamp as it was, so the next start tries
  // again. A missing list is an empty one.
  const EntryListRead list = ReadEntryList(system, folder + kEntryListFileName);
  if (list.status == ReadStatus::kUnreadable) {
    record.End(RunEnd::kListUnreadable);
    failures.unreadableList = folder + kEntryListFileName;
    return LauncherExit::kListUnreadable;
  }
  // The last run's day, read again before the stamp is renewed, and only
  // when an entry has days of its own: a day of one that came since then
  // and was missed opens now.
  const EntryDaysTable ownDays = ReadEntryDays(system, read.bytes);
  const std::optional<std::chrono::year_month_day> lastRun =
      ownDays.lines.empty() ? std::nullopt : StampedDay(system, folder);
  DueDays dueDays(settings, lastRun, DayOf(system.Now()));

  // Renewed before the pause and the first entry, so whatever happens to the
  // entries, a second start today opens nothing, and the editor's run-now
  // asks before it opens the list a second time. A run cut short while it
  // pauses (a log-off) has opened nothing and does not start again that day:
  // its record has no end line, and run-now opens the list. A stamp that
  // cannot be written does not cost the user the day's entries; it only shows
  // in the exit status.
  const bool renewed = StampRenew(system, folder);

  // An entry that cannot be opened is skipped without a message: nobody is
  // there to read one at log-on, and the next entries still open. The record
  // and the exit status tell.
  // The shell gets an empty working folder, as it always did.
  const WorkingFolders folders{FolderAsPath(folder), L""};
  // The pause, the gaps and the waits hold the lock: a second launcher waits
  // for this run (at most the lock's wait) and then finds today's stamp. The
  // launcher's clock never cuts a wait short; only the editor's window can.
  EntryPacing pacing(ports.clock, ports.network, settings);
  static_cast<void>(pacing.Pause());
  for (const std::wstring& entry : list.entries) {
    // An entry without days of its own opens whenever the list does.
    const EntryDue due = dueDays.Judge(ownDays.DaysOf(entry));
    if (due.kind == EntryDue::Kind::kNotDue) {
      record.Skipped(entry, kSkippedNotToday);
      continue;
    }
    static_cast<void>(pacing.BeforeEntry(entry));
    const OpenResult result = OpenEntry(ports.open, ports.owner, folders, entry);
    if (due.kind == EntryDue::Kind::kCatchUp) record.CatchUp(entry, IsoDayText(due.day));
    record.Entry(entry, result);
    if (result.outcome != OpenResult::Outcome::kNotOpened) continue;
    if (failures.entriesNotOpened++ == 0) failures.firstNotOpened = entry;
  }
  record.End(renewed ? RunEnd::kDone : RunEnd::kStampNotWritten);
  failures.stampNotWritten = !renewed;
  if (!renewed) return LauncherExit::kStampNotWritten;
  return failures.entriesNotOpened == 0 ? LauncherExit::kDone : LauncherExit::kEntryNotOpened;
}

}  // namespace ombrel
