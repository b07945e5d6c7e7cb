#include "common/open/entry_open.h"

#include <algorithm>
#include <array>
#include <utility>

#include "common/list/ascii_case.h"
#include "common/list/blank.h"

namespace ombrel {

namespace {

constexpr std::array<std::wstring_view, 3> kProgramMarks = {L".exe", L".bat", L".com"};

bool EndsWithIgnoringCase(std::wstring_view text, std::wstring_view lowerEnd) {
  return text.size() >= lowerEnd.size() &&
         std::equal(lowerEnd.begin(), lowerEnd.end(),
                    text.end() - static_cast<std::ptrdiff_t>(lowerEnd.size()),
                    [](wchar_t lower, wchar_t c) { return AsciiLower(c) == lower; });
}

bool NamesAFolder(std::wstring_view text) { return text.find_first_of(L"\\/:") != std::wstring_view::npos; }

// A program part that may name a program: it ends in a program mark, and is
// no bare host name such as www.example.com, which Windows would search for
// as a program called that.
bool IsProgramName(std::wstring_view part) {
  if (!std::any_of(kProgramMarks.begin(), kProgramMarks.end(),
                   [part](std::wstring_view mark) { return EndsWithIgnoringCase(part, mark); })) {
    return false;
  }
  if (NamesAFolder(part) || !EndsWithIgnoringCase(part, L".com")) return true;
  return part.substr(0, part.size() - 4).find(L'.') == std::wstring_view::npos;
}

// The start of a program part that may name a program: by Windows' search
// when it is a bare name, else as exactly that file, if it exists.
std::optional<ProgramStart> StartOf(OpenPort& port, std::wstring_view part, std::wstring commandLine) {
  if (!NamesAFolder(part)) return ProgramStart{{}, std::move(commandLine)};
  std::wstring program(part);
  if (!port.IsFile(program)) return std::nullopt;
  return ProgramStart{std::move(program), std::move(commandLine)};
}

}  // namespace

bool IsMailAddress(std::wstring_view entry) {
  if (std::ranges::count(entry, L'@') != 1 || entry.find(L' ') != std::wstring_view::npos) return false;
  if (NamesAFolder(entry)) return false;
  return entry.find(L'.', entry.find(L'@')) != std::wstring_view::npos;
}

bool MayBeMailLink(std::wstring_view target) {
  return IsMailAddress(target) ||
         (std::ranges::count(target, L'@') == 1 && target.find(L' ') == std::wstring_view::npos &&
          std::ranges::count(target, L'.') > 1);
}

bool IsBlankEntry(std::wstring_view entry) { return std::ranges::all_of(entry, IsBlank<wchar_t>); }

std::optional<ProgramStart> PlanProgramStart(OpenPort& port, const std::wstring& entry) {
  if (IsMailAddress(entry)) return std::nullopt;
  // Windows skips blanks in front of the program, and so does the split.
  std::wstring_view text(entry);
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);

  if (!text.empty() && text.front() == L'"') {
    // A mark that is never closed leaves the rest of the entry as the part.
    const std::size_t close = text.find(L'"', 1);
    const std::wstring_view part = text.substr(1, close == std::wstring_view::npos ? close : close - 1);
    return IsProgramName(part) ? StartOf(port, part, entry) : std::nullopt;
  }
  if (std::ranges::none_of(text, IsBlank<wchar_t>)) {
    return IsProgramName(text) ? StartOf(port, text, entry) : std::nullopt;
  }

  // The prefixes that may name the program, shortest first: each ends where a
  // blank follows a program mark, or at the end of the text.
  for (std::size_t end = 0; end <= text.size(); ++end) {
    if (end < text.size() && !IsBlank(text[end])) continue;
    const std::wstring_view prefix = text.substr(0, end);
    if (!IsProgramName(prefix)) continue;
    const std::wstring program(prefix);
    const std::wstring quoted = L"\"" + program + L"\"" + std::wstring(text.substr(end));
    // A bare name such as "notepad.exe C:\a b.txt" is found the way Windows
    // finds it: in the program's folder, the system folders and the path.
    // One with a blank of its own is quoted, or Windows would look for the
    // part before the blank first (My.exe for My App.exe), in the program
    // folder too.
    if (!NamesAFolder(prefix)) {
      return ProgramStart{{}, std::ranges::any_of(prefix, IsBlank<wchar_t>) ? quoted : entry};
    }
    if (port.IsFile(program)) return ProgramStart{program, quoted};
  }
  // A path without any such prefix cannot be started safely; it goes to the
  // shell as it is.
  return std::nullopt;
}

namespace {

OpenResult Opened(OpenResult::Way way, std::wstring file = {}) {
  return {OpenResult::Outcome::kOpened, way, std::move(file), 0};
}

OpenResult NotOpened(std::uint32_t error) {
  return {OpenResult::Outcome::kNotOpened, OpenResult::Way::kNone, {}, error};
}

// The shell's default action on `target`, then on `retry`: the way it opened,
// or Windows' code for why the last attempt did not.
OpenResult ShellThenRetry(OpenPort& port, WindowHandle owner, const std::wstring& workingFolder,
                          const std::wstring& target, const std::optional<std::wstring>& retry) {
  OpenAttempt attempt = port.OpenWithShell(owner, target, workingFolder);
  if (attempt.opened) return Opened(OpenResult::Way::kShell);
  if (retry) {
    attempt = port.OpenWithShell(owner, *retry, workingFolder);
    if (attempt.opened) return Opened(OpenResult::Way::kMailLink);
  }
  return NotOpened(attempt.error);
}

}  // namespace

std::wstring EntryForDroppedPath(OpenPort& port, const std::wstring& path) {
  if (std::ranges::none_of(path, IsBlank<wchar_t>)) return path;
  std::wstring quoted = L"\"" + path + L"\"";
  return PlanProgramStart(port, quoted) ? quoted : path;
}

bool OpenThroughShell(OpenPort& port, WindowHandle owner, const std::wstring& workingFolder,
                      const std::wstring& target, const std::optional<std::wstring>& retry) {
  return ShellThenRetry(port, owner, workingFolder, target, retry).outcome == OpenResult::Outcome::kOpened;
}

OpenResult OpenEntry(OpenPort& port, OwnerWindow& owner, const WorkingFolders& folders,
                     const std::wstring& entry) {
  // Handed to the shell, an empty target may open a folder window; the user
  // listed nothing there.
  if (IsBlankEntry(entry)) return {OpenResult::Outcome::kSkippedBlank, OpenResult::Way::kNone, {}, 0};
  // Longer than any command line or path Windows takes: nothing can open it,
  // and a shell handed one has been seen to overrun its own buffers.
  if (entry.size() > kLongestEntryToOpen) return NotOpened(kEntryTooLongError);
  if (const std::optional<ProgramStart> start = PlanProgramStart(port, entry)) {
    OpenAttempt started = port.StartProgram(*start, folders.program);
    if (started.opened) return Opened(OpenResult::Way::kProgram, std::move(started.file));
  }
  // A program that could not be started still goes to the shell, and the
  // shell's answer is the one kept.
  std::optional<std::wstring> retry;
  if (MayBeMailLink(entry)) retry = L"Mailto:" + entry;
  return ShellThenRetry(port, owner.Handle(), folders.shell, entry, retry);
}

}  // namespace ombrel

namespace ombrel {

namespace {

// "https:", "mailto:", "ms-settings:": a letter, then letters, digits, "+",
// "-" or "."; at least two characters, so that a drive letter is none.
bool StartsWithScheme(std::wstring_view text) {
  const auto isLetter = [](wchar_t c) { return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z'); };
  const std::size_t colon = text.find(L':');
  if (colon == std::wstring_view::npos || colon < 2 || !isLetter(text.front())) return false;
  return std::all_of(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(colon), [&](wchar_t c) {
    return isLetter(c) || (c >= L'0' && c <= L'9') || c == L'+' || c == L'-' || c == L'.';
  });
}

}  // namespace

std::optional<std::wstring> PathToProbe(std::wstring_view entry) {
  while (!entry.empty() && IsBlank(entry.front())) entry.remove_prefix(1);
  while (!entry.empty() && IsBlank(entry.back())) entry.remove_suffix(1);
  if (entry.empty() || IsMailAddress(entry) || StartsWithScheme(entry)) return std::nullopt;
  if (entry.front() == L'"') {
    const std::size_t close = entry.find(L'"', 1);
    const std::wstring_view part = entry.substr(1, close == std::wstring_view::npos ? close : close - 1);
    if (part.empty() || StartsWithScheme(part)) return std::nullopt;
    return std::wstring(part);
  }
  for (std::size_t end = 0; end < entry.size(); ++end) {
    if (!IsBlank(entry[end])) continue;
    const std::wstring_view prefix = entry.substr(0, end);
    if (IsProgramName(prefix)) return std::wstring(prefix);
  }
  return std::wstring(entry);
}

}  // namespace ombrel
