#include "text_search.h"

namespace ombrel {

std::ptrdiff_t CountCharacter(std::wstring_view text, std::wstring_view character) {
  if (character.size() != 1) return 0;
  std::ptrdiff_t count = 0;
  for (const wchar_t c : text) {
    if (c == character.front()) ++count;
  }
  return count;
}

std::ptrdiff_t FindOccurrence(std::wstring_view text, std::wstring_view search, std::ptrdiff_t n) {
  if (n <= 0) return -1;
  std::ptrdiff_t matches = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    // A piece cut short by the end of the text can still equal an empty search.
    if (text.substr(i, search.size()) == search && ++matches == n) {
      return static_cast<std::ptrdiff_t>(i) + 1;
    }
  }
  return -1;
}

}  // namespace ombrel
