// Blanks are spaces and tabs: Windows splits a command line at them, and the
// list file's reader trims them around an item. One definition for both, for
// bytes and for wide characters alike.
#pragma once

namespace ombrel {

template <typename Char>
[[nodiscard]] constexpr bool IsBlank(Char c) {
  return c == static_cast<Char>(' ') || c == static_cast<Char>('\t');
}

}  // namespace ombrel
