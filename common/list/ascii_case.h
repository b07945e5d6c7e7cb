// Letter case as the rules here ignore it: in program marks (".EXE"), path
// prefixes ("\\?\UNC\"), hex digits and the settings' keys, all ASCII. So
// ASCII letters only, with no locale and no table, for bytes and wide
// characters alike.
#pragma once

#include <algorithm>
#include <string_view>

namespace ombrel {

template <typename Char>
[[nodiscard]] constexpr Char AsciiLower(Char c) {
  return c >= static_cast<Char>('A') && c <= static_cast<Char>('Z') ? static_cast<Char>(c - 'A' + 'a') : c;
}

template <typename Char>
[[nodiscard]] constexpr Char AsciiUpper(Char c) {
  return c >= static_cast<Char>('a') && c <= static_cast<Char>('z') ? static_cast<Char>(c - 'a' + 'A') : c;
}

template <typename Char>
[[nodiscard]] constexpr bool EqualsIgnoringAsciiCase(std::basic_string_view<Char> a,
                                                     std::basic_string_view<Char> b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](Char x, Char y) { return AsciiLower(x) == AsciiLower(y); });
}

}  // namespace ombrel
