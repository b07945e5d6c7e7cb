// Time and the network's answers on Windows, for the pacing of a run. Through
// kernel32 alone, as everything the launcher needs before its first entry.
#pragma once

#include "common/schedule/pacing.h"

namespace ombrel::win {

// Sleeps for real; never cuts a wait short.
class WinClock final : public Clock {
 public:
  [[nodiscard]] std::chrono::milliseconds Elapsed() override;
  [[nodiscard]] bool Sleep(std::chrono::milliseconds duration) override;
};

class WinNetworkProbe final : public NetworkProbe {
 public:
  // GetDriveTypeW: DRIVE_REMOTE.
  [[nodiscard]] bool IsNetworkDrive(wchar_t letter) override;
  // The path's attributes can be read. On a server that does not answer,
  // Windows' own asking may take some seconds itself.
  [[nodiscard]] bool PathAnswers(const std::wstring& path) override;
};

}  // namespace ombrel::win
