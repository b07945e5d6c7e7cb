#include "entry_open.h"

#include <algorithm>
#include <array>

#include "char.h"

namespace ombrel {

namespace {

constexpr std::intptr_t kShellSuccessAbove = 32;

wchar_t AsciiLower(wchar_t c) { return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

bool ContainsIgnoringCase(std::wstring_view text, std::wstring_view lowerNeedle) {
  const auto it = std::search(text.begin(), text.end(), lowerNeedle.begin(), lowerNeedle.end(),
                              [](wchar_t a, wchar_t b) { return AsciiLower(a) == b; });
  return it != text.end();
}

}  // namespace

bool IsProgramEntry(std::wstring_view entry) {
  constexpr std::array<std::wstring_view, 3> kProgramMarks = {L".exe", L".bat", L".com"};
  return std::any_of(kProgramMarks.begin(), kProgramMarks.end(),
                     [entry](std::wstring_view mark) { return ContainsIgnoringCase(entry, mark); });
}

bool LooksLikeMailAddress(std::wstring_view target) {
  return Char_Count(target, L"@") == 1 && Char_Count(target, L" ") == 0 && Char_Count(target, L".") > 1;
}

void Shell_Open(OpenPort& port, ShellVariant variant, WindowHandle owner, const std::wstring& target) {
  const std::wstring directory = variant == ShellVariant::Editor ? L"c:\\" : L"";
  bool opened = port.ShellExecute(owner, target, directory) > kShellSuccessAbove;
  if (!opened && LooksLikeMailAddress(target)) {
    opened = port.ShellExecute(owner, L"Mailto:" + target, directory) > kShellSuccessAbove;
  }
  if (!opened && variant == ShellVariant::Editor) {
    port.ShowCannotOpen(owner, target + L"は開けません");
  }
}

void Entry_Open(OpenPort& port, ShellVariant variant, OwnerWindow& owner, const std::wstring& entry) {
  if (IsProgramEntry(entry) && port.StartProgram(entry)) return;
  Shell_Open(port, variant, owner.Handle(), entry);
}

}  // namespace ombrel
