// How a run's entries are paced by the settings: a pause after the start, a
// gap between two entries, and a wait for an entry on a network until its
// path answers. The decisions are here; time and the network's answers come
// from two small interfaces, so that every wait is tested with a fake clock
// and never slept for real.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

#include "common/schedule/settings.h"

namespace ombrel {

class Clock {
 public:
  Clock() = default;
  Clock(const Clock&) = delete;
  Clock& operator=(const Clock&) = delete;
  virtual ~Clock() = default;

  // Time since some fixed moment; only differences count.
  [[nodiscard]] virtual std::chrono::milliseconds Elapsed() = 0;
  // Waits that long. False when the program is ending meanwhile (the editor's
  // window closed by the end of the session): the run stops there.
  [[nodiscard]] virtual bool Sleep(std::chrono::milliseconds duration) = 0;
  // The run's next step (the pause, or an entry's gap, network wait and
  // opening) is to end within `bound`. The launcher's clock ends the program
  // when a step has not: a call into Windows that never returns would
  // otherwise hold the program folder's lock, and keep every later start
  // from running, as long as the launcher lived. The editor's clock leaves
  // that to its user, whose window stays open to close.
  virtual void BoundNextStep(std::chrono::milliseconds bound) { static_cast<void>(bound); }
};

// What Windows itself may take in one step beyond the settings' pause, gap and
// wait: starting a program or handing a document to the shell (which may hold
// a DDE conversation), the network's last answer, the record's line. A step
// that takes longer has hung.
inline constexpr std::chrono::minutes kStepAllowance{10};

// What asking a network path came to.
enum class PathReply {
  kAnswered,
  kSilent,
  // The program is ending (the editor's window went while it asked): the
  // wait ends, and the run with it.
  kProgramEnding,
};

// What Windows knows of networks, as far as waiting goes.
class NetworkProbe {
 public:
  NetworkProbe() = default;
  NetworkProbe(const NetworkProbe&) = delete;
  NetworkProbe& operator=(const NetworkProbe&) = delete;
  virtual ~NetworkProbe() = default;

  // `letter` (A to Z) is a drive Windows reports as a network drive.
  [[nodiscard]] virtual bool IsNetworkDrive(wchar_t letter) = 0;
  // Whether the file or folder can be reached now.
  [[nodiscard]] virtual PathReply AskPath(const std::wstring& path) = 0;
};

// The path lies on a network: a UNC path (\\server\share\..., also as
// \\?\UNC\...), or a path on a drive letter Windows reports as a network
// drive. A relative path or a bare name lies in the program folder or on the
// system's search path, never on a share that is not there yet.
[[nodiscard]] bool IsOnNetwork(std::wstring_view path, NetworkProbe& network);

// How often a network path is asked again while the run waits for it.
inline constexpr std::chrono::milliseconds kNetworkPollInterval{500};

// Waits until the entry's network path answers, at most `limit`. An entry
// with no path, or one that is not on a network, never waits. False when the
// program is ending.
[[nodiscard]] bool WaitForNetworkPath(Clock& clock, NetworkProbe& network, std::wstring_view entry,
                                      std::chrono::seconds limit);

// An entry that is handed to Windows at all: neither blank (skipped) nor
// longer than any command line (refused before Windows sees it). Only these
// count for the gap.
[[nodiscard]] bool ReachesWindows(std::wstring_view entry);

// One run's pacing, entry by entry.
class EntryPacing {
 public:
  EntryPacing(Clock& clock, NetworkProbe& network, const Settings& settings);

  // The pause after the start, before the first entry. False when the
  // program is ending. The step until the first entry is bounded by the
  // pause and kStepAllowance.
  [[nodiscard]] bool Pause();
  // Before `entry` opens: the gap, when an entry before it reached Windows
  // and this one will too; then, for an entry on a network, the wait for its
  // path. False when the program is ending. The step until the next entry
  // (this one's opening included) is bounded by the gap, the wait and
  // kStepAllowance.
  [[nodiscard]] bool BeforeEntry(std::wstring_view entry);
  // The wait for a folder the run reads on a network (the team's), as for
  // an entry's path, and bounded as such a step. False when the program is
  // ending.
  [[nodiscard]] bool WaitForFolder(const std::wstring& folder);

 private:
  Clock& clock_;
  NetworkProbe& network_;
  std::chrono::seconds pause_;
  std::chrono::seconds gap_;
  std::chrono::seconds networkWait_;
  bool anyReachedWindows_ = false;
};

}  // namespace ombrel
