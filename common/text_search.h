// Small text routines shared by both programs. Counts and positions are
// std::ptrdiff_t so that texts of any length give correct results.
#pragma once

#include <cstddef>
#include <string_view>

namespace ombrel {

// How many characters of `text` equal `character`, which must be exactly one
// character; an empty or longer `character` never matches and gives 0.
[[nodiscard]] std::ptrdiff_t CountCharacter(std::wstring_view text, std::wstring_view character);

// The 1-based position at which the n-th occurrence of `search` in `text`
// starts, or -1. Occurrences may overlap; an n of 0 or below never matches;
// an empty `search` matches at every position of `text`.
[[nodiscard]] std::ptrdiff_t FindOccurrence(std::wstring_view text, std::wstring_view search,
                                            std::ptrdiff_t n);

}  // namespace ombrel
