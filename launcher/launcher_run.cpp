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
#include "common/schedule/policy.h"
#include "common/schedule/settings.h"
#include "common/schedule/team_list.h"

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

// Waits for the team folder as for an entry on a network, then reads it. One
// that cannot be read is the run's first failure in the record, and is told
// to `failure`.
TeamList ReadTeamForRun(SystemPort& system, const LauncherPorts& ports, EntryPacing& pacing,
                        RunRecord& record, const std::wstring& teamFolder, TeamFailure* failure) {
  if (teamFolder.empty()) return {};
  static_cast<void>(pacing.WaitForFolder(FolderAsPath(teamFolder)));
  TeamList team = ReadTeamList(system, ports.network, teamFolder);
  if (team.status == TeamList::Status::kUnreadable) {
    record.TeamUnreadable(team.folder, team.error, team.reason);
    if (failure != nullptr) *failure = {team.folder, team.error, team.reason};
  }
  return team;
}

// Opens the entries that are due, in order, paced. False when one could not
// be opened; an entry that cannot be opened is skipped without a message:
// nobody is there to read one at log-on, and the next entries still open.
// The record and the exit status tell.
bool OpenDueEntries(const LauncherPorts& ports, EntryPacing& pacing, RunRecord& record,
                    const WorkingFolders& folders, const std::vector<DueEntry>& entries,
                    RunFailures* failures = nullptr) {
  bool allOpened = true;
  for (const DueEntry& entry : entries) {
    if (entry.due.kind == EntryDue::Kind::kNotDue) {
      record.Skipped(entry.entry, kSkippedNotToday);
      continue;
    }
    static_cast<void>(pacing.BeforeEntry(entry.entry));
    const OpenResult result = OpenEntry(ports.open, ports.owner, folders, entry.entry);
    if (entry.due.kind == EntryDue::Kind::kCatchUp) record.CatchUp(entry.entry, IsoDayText(entry.due.day));
    record.Entry(entry.entry, result);
    if (result.outcome != OpenResult::Outcome::kNotOpened) continue;
    allOpened = false;
    if (failures != nullptr && failures->entriesNotOpened++ == 0) failures->firstNotOpened = entry.entry;
  }
  return allOpened;
}

// A start later on a day whose team folder could not be read: the team's
// entries open once the folder answers, and nothing the day's run opened
// opens again. A team folder that still cannot be read leaves them owed.
LauncherExit OwedTeamRun(SystemPort& system, const LauncherPorts& ports, const std::wstring& folder,
                         TeamFailure* failure) {
  const std::optional<TeamOwed> owed = ReadTeamOwed(system, folder);
  const std::chrono::year_month_day today = DayOf(system.Now());
  if (!owed || owed->day != today) {
    SettleTeamRun(system, folder);
    return LauncherExit::kDone;
  }
  // The policy too, which may be what names the team folder; a value it
  // passes over was recorded by the day's run.
  const SettingsRead read = LoadSettings(system, folder);
  const Settings settings = ApplyPolicy(ports.policy, read.parsed.settings).settings;
  const std::wstring teamFolder = TeamFolderOf(system, settings);
  // No team folder any more: nothing is owed.
  if (teamFolder.empty()) {
    SettleTeamRun(system, folder);
    return LauncherExit::kDone;
  }
  RunRecord record(system, folder, RunStarter::kLauncher);
  EntryPacing pacing(ports.clock, ports.network, settings);
  static_cast<void>(pacing.Pause());
  const TeamList team = ReadTeamForRun(system, ports, pacing, record, teamFolder, failure);
  if (team.status != TeamList::Status::kRead) {
    record.End(RunEnd::kDone);
    return LauncherExit::kEntryNotOpened;
  }
  // Settled before the first entry, as the stamp is renewed: a run cut short
  // opens nothing twice.
  SettleTeamRun(system, folder);
  // The person's list tells which entries of both the day's run opened; one
  // that cannot be read now is taken as empty, so that the team's open.
  const EntryListRead list = ReadEntryList(system, folder + kEntryListFileName);
  DueDays dueDays(settings, owed->lastRun, today);
  const std::vector<DueEntry> entries = MergeTeamList(
      dueDays, team, list.entries, ReadEntryDays(system, read.bytes), TeamPart::kOwedTeamEntries);
  const bool allOpened = OpenDueEntries(ports, pacing, record, {FolderAsPath(folder), L""}, entries);
  record.End(RunEnd::kDone);
  return allOpened ? LauncherExit::kDone : LauncherExit::kEntryNotOpened;
}

}  // namespace

std::wstring FolderLockName(std::wstring_view upperCaseFolder) {
  return FolderObjectName(L"Local\\Ombrel-", upperCaseFolder);
}

LauncherExit LauncherRun(SystemPort& system, const LauncherPorts& ports, const std::wstring& folder,
                         TeamFailure* teamFailure) {
  RunFailures failures;
  return LauncherRun(system, ports, folder, failures, teamFailure);
}

LauncherExit LauncherRun(SystemPort& system, const LauncherPorts& ports, const std::wstring& folder,
                         RunFailures& failures, TeamFailure* teamFailure) {
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

  // The same-day start ends here, having read one small file and looked at
  // the attributes of another, which is there only while the team's entries
  // are owed; the record is not even opened.
  const bool ranToday = StampCheck(system, folder);
  if (ranToday && !TeamRunOwed(system, folder)) return LauncherExit::kDone;
  // Nobody at the session (a wake behind the lock screen, a session switched
  // away from): nothing opens and the stamp stays, so the unlock or the
  // switch back, which starts the launcher again, opens the list. Not
  // recorded: such a start is no run, and a night of wakes would push real
  // runs out of the record and stand, as the newest run, in front of the one
  // whose failures the editor shows.
  if (SessionIsAway(ports.session.Report())) return LauncherExit::kDone;
  if (ranToday) return OwedTeamRun(system, ports, folder, teamFailure);
  RunRecord record(system, folder, RunStarter::kLauncher);

  // The settings are read on a new day only, so that the same-day start never
  // opens their file nor the registry's policy key. A day they keep closed is
  // the day's run: the stamp is renewed, so that its later starts end at the
  // stamp check, and the record says why nothing opened.
  const SettingsRead read = LoadSettings(system, folder);
  const PolicySettings policy = ApplyPolicy(ports.policy, read.parsed.settings);
  for (const IgnoredPolicy& ignored : policy.ignored)
    record.PolicyIgnored(HiveName(ignored.hive), ignored.name);
  const Settings& settings = policy.settings;
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
  // when an entry may have days of its own: a day of one that came since
  // then and was missed opens now.
  const EntryDaysTable ownDays = ReadEntryDays(system, read.bytes);
  const std::wstring teamFolder = TeamFolderOf(system, settings);
  const std::chrono::year_month_day day = DayOf(system.Now());
  const std::optional<std::chrono::year_month_day> lastRun =
      ownDays.lines.empty() && teamFolder.empty() ? std::nullopt : StampedDay(system, folder);
  DueDays dueDays(settings, lastRun, day);

  // Renewed before the pause and the first entry, so whatever happens to the
  // entries, a second start today opens nothing, and the editor's run-now
  // asks before it opens the list a second time. A run cut short while it
  // pauses (a log-off) has opened nothing and does not start again that day:
  // its record has no end line, and run-now opens the list. A stamp that
  // cannot be written does not cost the user the day's entries; it only shows
  // in the exit status.
  const bool renewed = StampRenew(system, folder);

  // The shell gets an empty working folder, as it always did.
  const WorkingFolders folders{FolderAsPath(folder), L""};
  // The pause, the gaps and the waits hold the lock: a second launcher waits
  // for this run (at most the lock's wait) and then finds today's stamp. The
  // launcher's clock never cuts a wait short; only the editor's window can.
  EntryPacing pacing(ports.clock, ports.network, settings);
  static_cast<void>(pacing.Pause());
  // The team's entries are owed for the day when its folder cannot be read,
  // so that a later start today opens them; any older debt is settled.
  TeamFailure teamRead;
  const TeamList team = ReadTeamForRun(system, ports, pacing, record, teamFolder, &teamRead);
  const bool teamUnreadable = team.status == TeamList::Status::kUnreadable;
  if (teamUnreadable) {
    failures.teamUnreadable = teamRead.reason.empty() ? teamRead.folder : teamRead.reason;
    if (teamFailure != nullptr) *teamFailure = teamRead;
    static_cast<void>(OweTeamRun(system, folder, {day, lastRun}));
  } else {
    SettleTeamRun(system, folder);
  }
  const bool allOpened =
      OpenDueEntries(ports, pacing, record, folders,
                     MergeTeamList(dueDays, team, list.entries, ownDays, TeamPart::kWithOwnList), &failures);
  record.End(renewed ? RunEnd::kDone : RunEnd::kStampNotWritten);
  failures.stampNotWritten = !renewed;
  if (!renewed) return LauncherExit::kStampNotWritten;
  return allOpened && !teamUnreadable ? LauncherExit::kDone : LauncherExit::kEntryNotOpened;
}

}  // namespace ombrel
