#include "entry_open.h"

#include <algorithm>
#include <array>

#include "text_search.h"

namespace ombrel {

namespace {

wchar_t AsciiLower(wchar_t c) { return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

bool ContainsIgnoringCase(std::wstring_view text, std::wstring_view lowerNeedle) {
  const auto it = std::search(text.begin(), text.end(), lowerNeedle.begin(), lowerNeedle.end(),
                              [](wchar_t a, wchar_t b) { return AsciiLower(a) == b; });
  return it != text.end();
}

}  // namespace

std::wstring ShellWorkingFolder(ShellVariant variant) {
  return variant == ShellVariant::kEditor ? L"c:\\" : L"";
}

bool IsProgramEntry(std::wstring_view entry) {
  constexpr std::array<std::wstring_view, 3> kProgramMarks = {L".exe", L".bat", L".com"};
  return std::any_of(kProgramMarks.begin(), kProgramMarks.end(),
                     [entry](std::wstring_view mark) { return ContainsIgnoringCase(entry, mark); });
}

bool LooksLikeMailAddress(std::wstring_view target) {
  return CountCharacter(target, L"@") == 1 && CountCharacter(target, L" ") == 0 &&
         CountCharacter(target, L".") > 1;
}

bool OpenThroughShell(OpenPort& port, WindowHandle owner, ShellVariant variant, const std::wstring& target,
                      const std::optional<std::wstring>& retry) {
  const std::wstring folder = ShellWorkingFolder(variant);
  if (port.OpenWithShell(owner, target, folder)) return true;
  return retry && port.OpenWithShell(owner, *retry, folder);
}

bool OpenEntry(OpenPort& port, OwnerWindow& owner, ShellVariant variant, const std::wstring& entry) {
  if (IsProgramEntry(entry) && port.StartProgram(entry)) return true;
  std::optional<std::wstring> retry;
  if (LooksLikeMailAddress(entry)) retry = L"Mailto:" + entry;
  return OpenThroughShell(port, owner.Handle(), variant, entry, retry);
}

}  // namespace ombrel
