// What the fuzzers hold the core to, written from docs/design.md ("The entry
// list file, as read" and "as written") rather than from the code, so that a
// difference between the two shows as a crash with the input that made it.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "common/list/utf8.h"

namespace ombrel::fuzz {

// A broken promise: named on stderr, then an abort, which libFuzzer reports as
// a crash and keeps the input for.
inline void Expect(bool holds, const char* promise) {
  if (holds) return;
  std::fprintf(stderr, "broken promise: %s\n", promise);
  std::abort();
}

template <typename Char>
bool IsBlank(Char c) {
  return c == ' ' || c == '\t';
}

template <typename Char>
std::basic_string_view<Char> WithoutTrailingBlanks(std::basic_string_view<Char> text) {
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// The items of a file by the documented rules, line by line: the reader
// proper goes item by item over the whole file, so the two are written apart.
inline std::vector<std::string> ItemsAsDocumented(std::string_view bytes) {
  // A line ends at CR LF, a lone CR or a lone LF; nothing after the last line
  // end is a line unless it holds a byte.
  std::vector<std::string_view> lines;
  std::size_t begin = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] != '\r' && bytes[i] != '\n') continue;
    lines.push_back(bytes.substr(begin, i - begin));
    if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
    begin = i + 1;
  }
  const bool unterminated = begin < bytes.size();
  if (unterminated) lines.push_back(bytes.substr(begin));

  std::vector<std::string> items;
  for (std::size_t n = 0; n < lines.size(); ++n) {
    const std::string_view line = lines[n];
    // Commas separate the items of a line, so a line holds one item more than
    // it has separating commas; but a comma that is the file's last byte, like
    // a last line end, starts no further item.
    const bool endsFile = unterminated && n + 1 == lines.size();
    std::size_t pos = 0;
    for (;;) {
      while (pos < line.size() && IsBlank(line[pos])) ++pos;
      const std::size_t close =
          pos < line.size() && line[pos] == '"' ? line.find('"', pos + 1) : std::string_view::npos;
      std::size_t comma = 0;
      if (close != std::string_view::npos) {
        const std::size_t after = line.find_first_not_of(" \t", close + 1);
        if (after == std::string_view::npos || line[after] == ',') {
          // Between the marks, commas and blanks included.
          items.emplace_back(line.substr(pos + 1, close - pos - 1));
          comma = after;
        } else {
          // Text follows the closing mark: the item as it stands, marks
          // included, up to the next comma after that mark.
          comma = line.find(',', close + 1);
          items.emplace_back(WithoutTrailingBlanks(line.substr(pos, comma - pos)));
        }
      } else {
        // A mark that is not closed on its line, or one further in, is an
        // ordinary character.
        comma = line.find(',', pos);
        items.emplace_back(WithoutTrailingBlanks(line.substr(pos, comma - pos)));
      }
      if (comma == std::string_view::npos || (endsFile && comma + 1 == line.size())) break;
      pos = comma + 1;
    }
  }
  return items;
}

// What the format carries, as documented: an entry comes back unchanged
// unless it holds a line end, is wholly between two marks ("abc"), or holds a
// quotation mark together with a blank at either edge or with a comma outside
// the quoted part it starts with ("C:\a,b\app.exe" /min is carried). The
// structure characters are ASCII, so one rule serves bytes and text.
template <typename Char>
bool Carriable(std::basic_string_view<Char> entry) {
  constexpr auto npos = std::basic_string_view<Char>::npos;
  if (entry.find(Char('\r')) != npos || entry.find(Char('\n')) != npos) return false;
  if (entry.find(Char('"')) == npos) return true;
  const bool edgeBlank = IsBlank(entry.front()) || IsBlank(entry.back());
  const std::size_t close = entry.front() == Char('"') ? entry.find(Char('"'), 1) : npos;
  const bool wholeQuoted = close == entry.size() - 1;
  const std::size_t outside = close == npos ? 0 : close + 1;
  const bool comma = entry.find(Char(','), outside) != npos;
  return !edgeBlank && !wholeQuoted && !comma;
}

enum class Form { kMarkedUtf8, kUnmarkedUtf8, kCodePage };

// The form a file is read in: the mark decides; without it, well-formed UTF-8
// that holds a byte above 7F is UTF-8 too; anything else is the code page.
inline Form FormAsDocumented(std::string_view bytes) {
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") return Form::kMarkedUtf8;
  for (const char c : bytes) {
    if (static_cast<unsigned char>(c) > 0x7F)
      return IsValidUtf8(bytes) ? Form::kUnmarkedUtf8 : Form::kCodePage;
  }
  return Form::kCodePage;
}

// A value the UTF-8 form can hold: a Unicode scalar value.
inline bool IsCharacter(wchar_t c) {
  const auto value = static_cast<char32_t>(c);
  return value <= 0x10FFFF && (value < 0xD800 || value > 0xDFFF);
}

// An entry as the programs show it: a NUL, which would cut it short in a
// window or a command line, as U+FFFD.
inline std::wstring AsShown(std::wstring text) {
  for (wchar_t& c : text) {
    if (c == L'\0') c = L'\uFFFD';
  }
  return text;
}

}  // namespace ombrel::fuzz
