// Windows' own on/off switch for a shortcut in the Startup folder, as Task
// Manager's Startup tab and Settings > Apps > Startup keep it: a binary value
// named after the shortcut's file under
// HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\StartupApproved\StartupFolder.
// Switched off, the shortcut stays where it is and Windows never starts it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ombrel {

enum class StartupApproval { kOn, kOff };

// The switch as Windows reads it from the value's bytes; nothing when there
// is no binary value of that name. An odd first byte (03, followed by the time
// it was switched off) means off. No value, or one without a first byte,
// switches nothing off: Windows starts every shortcut it holds no setting for.
[[nodiscard]] StartupApproval ReadStartupApproval(const std::optional<std::string>& binaryValue);

// What Windows writes when the switch is turned on: 02 and eleven zero bytes.
inline constexpr std::string_view kStartupApprovedOn{"\x02\0\0\0\0\0\0\0\0\0\0\0", 12};

}  // namespace ombrel
