#include "entry_open.h"

#include <algorithm>
#include <array>

#include "text_search.h"

namespace ombrel {

namespace {

wchar_t AsciiLower(wchar_t c) { return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

constexpr std::array<std::wstring_view, 3> kProgramMarks = {L".exe", L".bat", L".com"};

bool ContainsIgnoringCase(std::wstring_view text, std::wstring_view lowerNeedle) {
  const auto it = std::search(text.begin(), text.end(), lowerNeedle.begin(), lowerNeedle.end(),
                              [](wchar_t a, wchar_t b) { return AsciiLower(a) == b; });
  return it != text.end();
}

bool EndsWithProgramMark(std::wstring_view text) {
  return std::any_of(kProgramMarks.begin(), kProgramMarks.end(), [text](std::wstring_view mark) {
    return text.size() >= mark.size() &&
           std::equal(mark.begin(), mark.end(), text.end() - static_cast<std::ptrdiff_t>(mark.size()),
                      [](wchar_t lower, wchar_t c) { return AsciiLower(c) == lower; });
  });
}

// Windows splits a command line at spaces and tabs.
bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

bool NamesAFolder(std::wstring_view text) { return text.find_first_of(L"\\/:") != std::wstring_view::npos; }

}  // namespace

std::wstring ShellWorkingFolder(ShellVariant variant) {
  return variant == ShellVariant::kEditor ? L"c:\\" : L"";
}

bool IsMailAddress(std::wstring_view entry) {
  if (CountCharacter(entry, L"@") != 1 || CountCharacter(entry, L" ") != 0) return false;
  if (entry.find_first_of(L"\\/:") != std::wstring_view::npos) return false;
  return entry.find(L'.', entry.find(L'@')) != std::wstring_view::npos;
}

bool IsProgramEntry(std::wstring_view entry) {
  return !IsMailAddress(entry) &&
         std::any_of(kProgramMarks.begin(), kProgramMarks.end(),
                     [entry](std::wstring_view mark) { return ContainsIgnoringCase(entry, mark); });
}

bool MayBeMailLink(std::wstring_view target) {
  return IsMailAddress(target) || (CountCharacter(target, L"@") == 1 && CountCharacter(target, L" ") == 0 &&
                                   CountCharacter(target, L".") > 1);
}

std::optional<ProgramStart> PlanProgramStart(OpenPort& port, const std::wstring& entry) {
  // Windows skips blanks in front of the program, and so does the split.
  std::size_t start = 0;
  while (start < entry.size() && IsBlank(entry[start])) ++start;
  const bool quoted = start < entry.size() && entry[start] == L'"';
  const bool hasBlank = std::any_of(entry.begin() + static_cast<std::ptrdiff_t>(start), entry.end(), IsBlank);
  if (quoted || !hasBlank) return ProgramStart{{}, entry};

  // The prefixes that may name the program, shortest first: each ends where a
  // blank follows a program mark, or at the end of the text.
  bool first = true;
  for (std::size_t end = start; end <= entry.size(); ++end) {
    if (end < entry.size() && !IsBlank(entry[end])) continue;
    const std::wstring_view prefix = std::wstring_view(entry).substr(start, end - start);
    if (!EndsWithProgramMark(prefix)) continue;
    // A bare name such as "notepad.exe C:\a b.txt" is found the way Windows
    // finds it: in the program's folder, the system folders and the path.
    if (first && !NamesAFolder(prefix)) return ProgramStart{{}, entry};
    first = false;
    const std::wstring program(prefix);
    if (port.IsFile(program)) return ProgramStart{program, L"\"" + program + L"\"" + entry.substr(end)};
  }
  // A path without any such prefix cannot be started safely; a bare text (a
  // web address holding ".com") is no program anyway. Either goes to the shell.
  return std::nullopt;
}

bool OpenThroughShell(OpenPort& port, WindowHandle owner, ShellVariant variant, const std::wstring& target,
                      const std::optional<std::wstring>& retry) {
  const std::wstring folder = ShellWorkingFolder(variant);
  if (port.OpenWithShell(owner, target, folder)) return true;
  return retry && port.OpenWithShell(owner, *retry, folder);
}

bool OpenEntry(OpenPort& port, OwnerWindow& owner, ShellVariant variant, const std::wstring& entry) {
  // Longer than any command line or path Windows takes: nothing can open it,
  // and a shell handed one has been seen to overrun its own buffers.
  if (entry.size() > kLongestEntryToOpen) return false;
  if (IsProgramEntry(entry)) {
    const std::optional<ProgramStart> start = PlanProgramStart(port, entry);
    if (start && port.StartProgram(*start)) return true;
  }
  std::optional<std::wstring> retry;
  if (MayBeMailLink(entry)) retry = L"Mailto:" + entry;
  return OpenThroughShell(port, owner.Handle(), variant, entry, retry);
}

}  // namespace ombrel
