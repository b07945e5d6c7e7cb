// The launcher's whole pass, without Windows: take the program folder's lock,
// end at once when the stamp says the entries already ran today, or when
// nobody is at the session; otherwise read the settings (the file's, and the
// policy's over them); on a day they keep
// closed renew the stamp and end; otherwise read the list, renew the stamp,
// pause and open in file order every entry that is due (every entry without
// days of its own, each other on or since one of its days), paced by the
// settings.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/open/entry_open.h"
#include "launcher/failure_notice.h"
#include "launcher/session_presence.h"

namespace ombrel {

class Clock;
class NetworkProbe;
class PolicyPort;
class SystemPort;

// The process's exit status. An entry that cannot be opened is skipped
// without a message, as always; the run's record tells which and why.
enum class LauncherExit : int {
  // Ran today already (another launcher renewing the stamp while this one
  // waited for it included), nobody at the session (the stamp untouched, so
  // the unlock's start opens the list), a day the settings keep closed (the
  // stamp renewed), or every entry was opened (a missing list included).
  kDone = 0,
  // The stamp could not be written; the entries were opened all the same, so
  // the next start will open them again. It wins over kEntryNotOpened: a run
  // opened again at the next start matters more than one entry, which the
  // record names anyway.
  kStampNotWritten = 1,
  // Another launcher of the same folder held the lock for the whole wait
  // without renewing the stamp; nothing was opened.
  kLockTimedOut = 2,
  // The lock could not be made or waited for at all; nothing was opened.
  kLockFailed = 3,
  // The list exists but could not be read (held open by another program,
  // access denied, a failing disk): nothing was opened and the stamp was left
  // as it was, so the next start tries again.
  kListUnreadable = 4,
  // The list was read and the stamp renewed, but at least one entry could
  // not be opened, or the team folder could not be read; the others were.
  kEntryNotOpened = 5,
  // Something no step of the run provides for ended it (an allocation that
  // failed, for one); what was opened by then stays open.
  kUnexpectedFailure = 6,
  // A step of the run overran its bound (kStepAllowance beyond the settings'
  // pause, gap and wait): a call into Windows did not return, and the
  // launcher ended itself so that the folder's lock is free for the next
  // start. The entries after the one that hung were not opened; the record
  // stops short.
  kStepHung = 7,
};

// Makes launchers of one program folder take turns, so that two started at
// the same moment cannot both find yesterday's stamp.
class FolderLock {
 public:
  enum class Acquired { kHeld, kBusy, kFailed };

  FolderLock() = default;
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;
  virtual ~FolderLock() = default;

  // Takes the lock, waiting at most `wait` while another launcher of the
  // folder holds it (kBusy when it still does).
  [[nodiscard]] virtual Acquired Acquire(std::chrono::milliseconds wait) = 0;
  // Called once after a successful Acquire.
  virtual void Release() = 0;
};

// The longest a launcher waits for another of its folder: long enough for
// any run that is making progress before it renews the stamp, which it does
// before its pause and entries.
inline constexpr std::chrono::seconds kLockWait{5 * 60};
// How often a waiting launcher looks at the stamp again.
inline constexpr std::chrono::seconds kStampLookInterval{1};

// The name of the folder's lock, a FolderObjectName.
[[nodiscard]] std::wstring FolderLockName(std::wstring_view upperCaseFolder);

// The ports a run uses besides the files.
struct LauncherPorts {
  OpenPort& open;
  OwnerWindow& owner;
  FolderLock& lock;
  SessionPort& session;
  Clock& clock;
  NetworkProbe& network;
  // The administrator's settings, read on a new day alone.
  PolicyPort& policy;
};

// Why the team folder could not be read, for whatever tells the user of a
// run that went wrong: the folder, Windows' code and its text.
struct TeamFailure {
  std::wstring folder;
  std::uint32_t error = 0;
  std::wstring reason;
};

// The run. `folder` is the program folder, without a trailing backslash. Every
// run but the same-day start and a start with nobody at the session leaves
// its lines in the run record. A team folder that could not be read is told
// to `teamFailure`, when given.
[[nodiscard]] LauncherExit LauncherRun(SystemPort& system, const LauncherPorts& ports,
                                       const std::wstring& folder, TeamFailure* teamFailure = nullptr);
// The same, telling `failures` what went wrong, for the notification that
// follows the run.
[[nodiscard]] LauncherExit LauncherRun(SystemPort& system, const LauncherPorts& ports,
                                       const std::wstring& folder, RunFailures& failures,
                                       TeamFailure* teamFailure = nullptr);

// What `run` returns, or kUnexpectedFailure when it throws: uncaught, an
// exception would end the launcher through the C runtime's abort, with a
// status that reads as one of the others.
template <typename Run>
[[nodiscard]] LauncherExit ExitStatusOf(Run run) noexcept {
  try {
    return run();
  } catch (...) {
    return LauncherExit::kUnexpectedFailure;
  }
}

}  // namespace ombrel
