// Whether anybody can be at the session a launcher runs in. Windows starts
// the launcher at every return from sleep, and wakes PCs by itself (wake
// timers, updates, maintenance, wake-on-LAN): run behind the lock screen at
// 03:00, the launcher would use up the day, and the unlock in the morning
// would open nothing. Windows gives the facts; what they mean is decided
// here.
#pragma once

#include <cstdint>

namespace ombrel {

// What Windows says of the launcher's own session (WTSQuerySessionInformationW,
// WTSSessionInfoEx, level 1), in Windows' own values, and which Windows said
// it.
struct SessionReport {
  // False when Windows could not say (a Windows without the query, Wine):
  // nothing else then counts.
  bool answered = false;
  std::uint32_t connectState = 0;  // SessionState, a WTS_CONNECTSTATE_CLASS
  std::int32_t flags = 0;          // SessionFlags
  unsigned windowsMajor = 0;
  unsigned windowsMinor = 0;
};

// Asks Windows about the session; the launcher asks only on a new day, so
// that its same-day start never loads what the asking needs.
class SessionPort {
 public:
  SessionPort() = default;
  SessionPort(const SessionPort&) = delete;
  SessionPort& operator=(const SessionPort&) = delete;
  virtual ~SessionPort() = default;
  [[nodiscard]] virtual SessionReport Report() = 0;
};

// True when the session is locked, or not connected to any screen (switched
// away from for another user, a Remote Desktop left without logging off):
// nobody would see what opens. False whenever Windows cannot say, so that
// the launcher then runs as it always did.
[[nodiscard]] bool SessionIsAway(const SessionReport& report);

}  // namespace ombrel
