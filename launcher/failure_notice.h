// Whether a run that went wrong says so in a notification, and what it says.
// Nobody reads an exit status at log-on, and the record is read when the
// editor next opens, which may be weeks later: meanwhile the user waits for a
// program that never came. Portable; launcher/failure_balloon.* shows it.
#pragma once

#include <cstddef>
#include <string>

namespace ombrel {

// What went wrong in one run of the launcher, as far as a notification
// tells it. LauncherRun fills it in.
struct RunFailures {
  // The run read the settings on a day they open the list. A same-day
  // start, a start with nobody at the session, a closed day and a lock that
  // was never had leave it false: none of them calls for a word.
  bool listDay = false;
  // NotifyFailures in the settings: 0 keeps every run silent.
  bool notify = true;
  std::size_t entriesNotOpened = 0;
  std::wstring firstNotOpened;  // the first entry that did not open, as the list has it
  // The list that exists but could not be read; empty when it was read or
  // is missing.
  std::wstring unreadableList;
  bool stampNotWritten = false;
  // Why the team's list could not be read; empty when it was, or when the
  // folder has none.
  std::wstring teamUnreadable;
};

// The run calls for a notification: a day the list opens, notifications
// not turned off, and something that went wrong.
[[nodiscard]] bool NoticeDue(const RunFailures& failures);

enum class NoticeIcon {
  kWarning,  // some of the list opened
  kError,    // nothing of it did
};

struct Notice {
  std::wstring title;
  std::wstring body;
  NoticeIcon icon = NoticeIcon::kWarning;
  bool operator==(const Notice&) const = default;
};

// Windows' bounds for a notification's texts, their ends included.
inline constexpr std::size_t kNoticeTitleSize = 64;
inline constexpr std::size_t kNoticeBodySize = 256;
// A name or path in the text is cut to this many characters, its end kept:
// the file's name says more than the drive.
inline constexpr std::size_t kNoticeNameMost = 60;

// The title and text, in Japanese, each within Windows' bound: how many
// entries did not open and the first one, what could not be read or
// written, and that choosing it shows the record.
[[nodiscard]] Notice NoticeText(const RunFailures& failures);

}  // namespace ombrel
