// The notification of a run that went wrong: an icon in the notification
// area with a balloon (a toast on Windows 10 and 11), on a hidden window of
// its own that takes the shell's callbacks and the session's end. Shown only
// after the run, when the last entry has been handed to Windows and the
// folder's lock is free again; user32 and shell32 are loaded then, so that
// no other start pays for them.
#pragma once

#include <windows.h>

#include <chrono>
#include <string>

#include "launcher/failure_notice.h"

namespace ombrel::launcher {

// The longest the notification keeps the launcher running once shown.
inline constexpr std::chrono::seconds kNoticeShownMost{30};
// Its window's class, by which a test finds the running notification.
inline constexpr wchar_t kNoticeWindowClass[] = L"OmbrelFailureNotice";

// Shows the notice of `failures` (NoticeText) and returns once it was chosen (this folder's editor is
// then started with its record in front), dismissed or timed out, once the
// session ends, or at the latest kNoticeShownMost after it showed; at once
// when the notification area could not take it. No icon stays behind.
void ShowFailureNotice(HINSTANCE instance, const RunFailures& failures, const std::wstring& folder) noexcept;

}  // namespace ombrel::launcher
