// UTF-8 and the program's wide text. On Windows a wchar_t is a UTF-16 code
// unit and characters beyond the first plane come as surrogate pairs; the
// native test build's wchar_t holds a whole code point. Both are handled, so
// the same code is tested natively and shipped.
#pragma once

#include <string>
#include <string_view>

namespace ombrel {

// Lone surrogates, which are no character, become U+FFFD.
[[nodiscard]] std::string ToUtf8(std::wstring_view text);

// Bytes that are not well-formed UTF-8 (stray continuation bytes, overlong or
// cut-short sequences, surrogates, values beyond U+10FFFF) become one U+FFFD
// for each maximal ill-formed part, as Unicode recommends; nothing is dropped
// silently and nothing outside the bytes is read.
[[nodiscard]] std::wstring FromUtf8(std::string_view bytes);

// True when the bytes are well-formed UTF-8 throughout.
[[nodiscard]] bool IsValidUtf8(std::string_view bytes);

}  // namespace ombrel
