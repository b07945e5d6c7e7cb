// What a user types into a box, read the way an input method may give it:
// digits and ASCII signs in either width, blanks (the ideographic one
// included) around it ignored; and the string table's texts with numbers
// filled in or in several pieces.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ombrel::editor {

// A number box's text: decimal digits, half- or full-width, blanks around
// them ignored. Nothing for an empty box or anything else; no range is
// checked here.
[[nodiscard]] std::optional<int> ParseNumberText(std::wstring_view text);

// The text in ASCII, full-width forms (！ to ～) and the ideographic comma
// and blank made half-width; nothing when a character is left beyond ASCII.
[[nodiscard]] std::optional<std::string> TypedAscii(std::wstring_view text);

// The text with "%1" and "%2" replaced by the two values.
[[nodiscard]] std::wstring FillIn(std::wstring text, std::wstring_view first, std::wstring_view second = {});
[[nodiscard]] std::wstring FillIn(std::wstring text, int first, int second);

// The pieces of a text separated by "|".
[[nodiscard]] std::vector<std::wstring> SplitAtBars(const std::wstring& text);

}  // namespace ombrel::editor
