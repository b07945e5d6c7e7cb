#include "launcher/session_presence.h"

namespace ombrel {

namespace {

// Windows' values (wtsapi32.h).
constexpr std::uint32_t kWtsDisconnected = 4;
constexpr std::int32_t kWtsSessionStateLock = 0;
constexpr std::int32_t kWtsSessionStateUnlock = 1;

}  // namespace

bool SessionIsAway(const SessionReport& report) {
  if (!report.answered) return false;
  if (report.connectState == kWtsDisconnected) return true;
  // Windows 7 and Server 2008 R2 (6.1) give the lock flag for an unlocked
  // session and the other way round, as Microsoft documents. Any other value
  // (WTS_SESSIONSTATE_UNKNOWN) says nothing.
  const bool reversed = report.windowsMajor == 6 && report.windowsMinor == 1;
  return report.flags == (reversed ? kWtsSessionStateUnlock : kWtsSessionStateLock);
}

}  // namespace ombrel
