// Windows' own words for an error code, shared by the run record and the
// editor's Task Scheduler messages. kernel32 alone, so the launcher may use it.
#pragma once

#include <windows.h>

#include <string>

namespace ombrel::win {

// The text Windows gives for `code`, in the language it speaks to the user,
// without the line end it puts after it; empty when it has none. `messages`
// is a module whose message table is searched before the system's (null:
// the system's alone).
[[nodiscard]] std::wstring WindowsErrorText(DWORD code, HMODULE messages = nullptr);

}  // namespace ombrel::win
