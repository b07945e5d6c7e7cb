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
  // The file or folder can be reached now.
  [[nodiscard]] virtual bool PathAnswers(const std::wstring& path) = 0;
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
  // program is ending.
  [[nodiscard]] bool Pause();
  // Before `entry` opens: the gap, when an entry before it reached Windows
  // and this one will too; then, for an entry on a network, the wait for its
  // path. False when the program is ending.
  [[nodiscard]] bool BeforeEntry(std::wstring_view entry);

 private:
  Clock& clock_;
  NetworkProbe& network_;
  std::chrono::seconds pause_;
  std::chrono::seconds gap_;
  std::chrono::seconds networkWait_;
  bool anyReachedWindows_ = false;
};

}  // namespace ombrel
