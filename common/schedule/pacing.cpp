#include "common/schedule/pacing.h"

#include <algorithm>

#include "common/list/ascii_case.h"
#include "common/open/entry_open.h"

namespace ombrel {

namespace {

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

bool IsDriveLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

bool StartsWithIgnoringCase(std::wstring_view text, std::wstring_view upperStart) {
  return text.size() >= upperStart.size() &&
         std::equal(upperStart.begin(), upperStart.end(), text.begin(), [](wchar_t upper, wchar_t c) {
           return AsciiUpper(c) == upper || (upper == L'\\' && c == L'/');
         });
}

std::chrono::seconds Seconds(const Settings& settings, Setting setting) {
  return std::chrono::seconds{settings[setting]};
}

// Sleeps that long, unless it is no time at all.
bool SleepFor(Clock& clock, std::chrono::milliseconds duration) {
  return duration.count() <= 0 || clock.Sleep(duration);
}

// Asked once more when the time is up: a path that answers only then still
// opens at once, and one that never does opens with its usual outcome.
bool WaitForPath(Clock& clock, NetworkProbe& network, const std::wstring& path, std::chrono::seconds limit) {
  const std::chrono::milliseconds start = clock.Elapsed();
  for (;;) {
    const PathReply reply = network.AskPath(path);
    if (reply != PathReply::kSilent) return reply == PathReply::kAnswered;
    const std::chrono::milliseconds waited = clock.Elapsed() - start;
    if (waited >= limit) return true;
    if (!SleepFor(clock, std::min<std::chrono::milliseconds>(kNetworkPollInterval, limit - waited)))
      return false;
  }
}

}  // namespace

bool IsOnNetwork(std::wstring_view path, NetworkProbe& network) {
  // The long forms first: \\?\UNC\server\share, then \\?\C:\ and \\.\C:\,
  // which stand for the drive as C:\ does.
  if (StartsWithIgnoringCase(path, L"\\\\?\\UNC\\")) return true;
  if (StartsWithIgnoringCase(path, L"\\\\?\\") || StartsWithIgnoringCase(path, L"\\\\.\\")) {
    path.remove_prefix(4);
  } else if (path.size() > 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
    return true;
  }
  return path.size() >= 2 && IsDriveLetter(path[0]) && path[1] == L':' &&
         network.IsNetworkDrive(AsciiUpper(path[0]));
}

bool WaitForNetworkPath(Clock& clock, NetworkProbe& network, std::wstring_view entry,
                        std::chrono::seconds limit) {
  if (limit.count() <= 0) return true;
  const std::optional<std::wstring> path = PathToProbe(entry);
  if (!path || !IsOnNetwork(*path, network)) return true;
  return WaitForPath(clock, network, *path, limit);
}

bool ReachesWindows(std::wstring_view entry) {
  return !IsBlankEntry(entry) && entry.size() <= kLongestEntryToOpen;
}

EntryPacing::EntryPacing(Clock& clock, NetworkProbe& network, const Settings& settings)
    : clock_(clock),
      network_(network),
      pause_(Seconds(settings, Setting::kPauseSeconds)),
      gap_(Seconds(settings, Setting::kGapSeconds)),
      networkWait_(Seconds(settings, Setting::kNetworkWaitSeconds)) {}

bool EntryPacing::Pause() {
  clock_.BoundNextStep(pause_ + kStepAllowance);
  return SleepFor(clock_, pause_);
}

bool EntryPacing::BeforeEntry(std::wstring_view entry) {
  clock_.BoundNextStep(gap_ + networkWait_ + kStepAllowance);
  if (ReachesWindows(entry)) {
    if (anyReachedWindows_ && !SleepFor(clock_, gap_)) return false;
    anyReachedWindows_ = true;
  }
  return WaitForNetworkPath(clock_, network_, entry, networkWait_);
}

bool EntryPacing::WaitForFolder(const std::wstring& folder) {
  clock_.BoundNextStep(networkWait_ + kStepAllowance);
  if (networkWait_.count() <= 0 || !IsOnNetwork(folder, network_)) return true;
  return WaitForPath(clock_, network_, folder, networkWait_);
}

}  // namespace ombrel
