// The INI form of OMBREL.CFG as both of its sections read and write it: the
// `[Ombrel]` settings and the entries' own days under `[EntryDays]`. One
// place decides what a line is and where a save puts a new one, so that the
// two sections, and every other line of a file an administrator wrote, are
// treated alike. Only ASCII bytes are looked at: text in any form around them
// passes through unchanged.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ombrel {

// Blanks (spaces and tabs) dropped from both ends.
[[nodiscard]] std::string_view TrimBlanks(std::string_view text);

struct IniLine {
  std::string_view text;  // without its line end
  std::string_view end;   // CR LF, CR, LF, or nothing on a last line without one
};

// The lines of a file's bytes; a line end is CR LF, a lone CR or a lone LF.
[[nodiscard]] std::vector<IniLine> SplitIniLines(std::string_view bytes);

// What one line is. Blank lines, comments (a first character `;` or `#`)
// and lines without `=` are kOther; letter case is the caller's to ignore.
struct IniLineMeaning {
  enum class Kind { kOther, kSection, kKeyLine } kind = Kind::kOther;
  // A section's name without its brackets and blanks, or a key line trimmed.
  std::string_view text;
};
[[nodiscard]] IniLineMeaning ClassifyIniLine(std::string_view line);

// A key line split at the `=` at `equals`, both sides trimmed.
struct IniKeyValue {
  std::string_view key;
  std::string_view value;
};
[[nodiscard]] IniKeyValue SplitIniKeyLine(std::string_view keyLine, std::size_t equals);

// A key line of a section, given as it stands (without its line end); the
// edit answers its new text, the same text to keep it, or nothing to drop it
// together with its line end.
using IniKeyLineEdit = std::function<std::optional<std::string>(std::string_view keyLine)>;

// The file's bytes with every key line of each `[section]` (the name without
// regard to ASCII letter case) passed through `edit`, and the lines `added`
// gives, asked once the first such section has been read, after that
// section's last line that is not blank. A file without the section gets it
// at its end, after a blank line, when there is a line to add. The mark,
// every other line and every line end are kept byte for byte; new lines end
// with CR LF.
[[nodiscard]] std::string EditIniSection(std::string_view bytes, std::string_view section,
                                         const IniKeyLineEdit& edit,
                                         const std::function<std::vector<std::string>()>& added);

// The key lines of every `[section]` of the file, in file order, the mark
// skipped.
[[nodiscard]] std::vector<std::string_view> IniSectionKeyLines(std::string_view bytes,
                                                               std::string_view section);

}  // namespace ombrel
