#include "editor/model/typed_text.h"

#include <utility>

namespace ombrel::editor {

namespace {

bool IsBlankCharacter(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\u3000'; }

std::wstring_view Trim(std::wstring_view text) {
  while (!text.empty() && IsBlankCharacter(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlankCharacter(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace

std::optional<int> ParseNumberText(std::wstring_view text) {
  text = Trim(text);
  // Six digits are beyond every range already, and cannot overflow.
  if (text.empty() || text.size() > 6) return std::nullopt;
  int value = 0;
  for (const wchar_t c : text) {
    int digit = 0;
    if (c >= L'0' && c <= L'9') {
      digit = c - L'0';
    } else if (c >= L'\uFF10' && c <= L'\uFF19') {
      digit = c - L'\uFF10';
    } else {
      return std::nullopt;
    }
    value = value * 10 + digit;
  }
  return value;
}

std::optional<std::string> TypedAscii(std::wstring_view text) {
  std::string ascii;
  for (wchar_t c : Trim(text)) {
    if (c >= L'\uFF01' && c <= L'\uFF5E') c = static_cast<wchar_t>(c - 0xFEE0);
    if (c == L'\u3001') c = L',';
    if (c == L'\u3000') c = L' ';
    if (static_cast<unsigned long>(c) > 0x7EUL) return std::nullopt;
    ascii += static_cast<char>(c);
  }
  return ascii;
}

std::wstring FillIn(std::wstring text, std::wstring_view first, std::wstring_view second) {
  for (const auto& [mark, value] : {std::pair{L"%1", first}, std::pair{L"%2", second}}) {
    if (const std::size_t at = text.find(mark); at != std::wstring::npos) text.replace(at, 2, value);
  }
  return text;
}

std::wstring FillIn(std::wstring text, int first, int second) {
  return FillIn(std::move(text), std::to_wstring(first), std::to_wstring(second));
}

std::vector<std::wstring> SplitAtBars(const std::wstring& text) {
  std::vector<std::wstring> pieces(1);
  for (const wchar_t c : text) {
    if (c == L'|') {
      pieces.emplace_back();
    } else {
      pieces.back() += c;
    }
  }
  return pieces;
}

}  // namespace ombrel::editor
