#include "common/schedule/ini_file.h"

#include <algorithm>

#include "common/list/ascii_case.h"
#include "common/list/blank.h"
#include "common/list/entry_list.h"

namespace ombrel {

namespace {

constexpr std::string_view kNewLineEnd = "\r\n";

bool EndsWithLineEnd(std::string_view text) {
  return text.empty() || text.back() == '\n' || text.back() == '\r';
}

bool IsSection(const IniLineMeaning& meaning, std::string_view section) {
  return meaning.kind == IniLineMeaning::Kind::kSection &&
         EqualsIgnoringAsciiCase<char>(meaning.text, section);
}

}  // namespace

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::vector<IniLine> SplitIniLines(std::string_view bytes) {
  std::vector<IniLine> lines;
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    const std::size_t end = std::min(bytes.find_first_of("\r\n", pos), bytes.size());
    std::size_t next = end;
    if (next < bytes.size()) next += bytes.compare(next, 2, "\r\n") == 0 ? 2 : 1;
    lines.push_back({bytes.substr(pos, end - pos), bytes.substr(end, next - end)});
    pos = next;
  }
  return lines;
}

IniLineMeaning ClassifyIniLine(std::string_view line) {
  const std::string_view text = TrimBlanks(line);
  if (text.size() >= 2 && text.front() == '[' && text.back() == ']') {
    return {IniLineMeaning::Kind::kSection, TrimBlanks(text.substr(1, text.size() - 2))};
  }
  if (text.empty() || text.front() == ';' || text.front() == '#' ||
      text.find('=') == std::string_view::npos) {
    return {};
  }
  return {IniLineMeaning::Kind::kKeyLine, text};
}

IniKeyValue SplitIniKeyLine(std::string_view keyLine, std::size_t equals) {
  return {TrimBlanks(keyLine.substr(0, equals)), TrimBlanks(keyLine.substr(equals + 1))};
}

std::string EditIniSection(std::string_view bytes, std::string_view section, const IniKeyLineEdit& edit,
                           const std::function<std::vector<std::string>()>& added) {
  const bool marked = bytes.starts_with(kUtf8Mark);
  if (marked) bytes.remove_prefix(kUtf8Mark.size());
  std::string out;
  bool addedWritten = false;
  const auto writeAdded = [&] {
    if (addedWritten) return;
    addedWritten = true;
    for (const std::string& line : added()) {
      if (!EndsWithLineEnd(out)) out += kNewLineEnd;
      out += line;
      out += kNewLineEnd;
    }
  };

  bool inSection = false;
  bool sectionFound = false;
  bool inFirstSection = false;
  // Blank lines at the end of the first section, held back so that added
  // lines go in before them, next to the others.
  std::string heldBlanks;
  for (const IniLine& line : SplitIniLines(bytes)) {
    const IniLineMeaning meaning = ClassifyIniLine(line.text);
    std::string text(line.text);
    if (meaning.kind == IniLineMeaning::Kind::kSection) {
      if (inFirstSection) writeAdded();
      inSection = IsSection(meaning, section);
      inFirstSection = inSection && !sectionFound;
      sectionFound = sectionFound || inSection;
    } else if (inSection && meaning.kind == IniLineMeaning::Kind::kKeyLine) {
      std::optional<std::string> edited = edit(line.text);
      if (!edited) continue;
      text = std::move(*edited);
    }
    text += line.end;
    if (inFirstSection && meaning.kind != IniLineMeaning::Kind::kSection && TrimBlanks(line.text).empty()) {
      heldBlanks += text;
      continue;
    }
    out += heldBlanks;
    heldBlanks.clear();
    out += text;
  }
  if (!sectionFound) {
    const std::vector<std::string> lines = added();
    addedWritten = true;
    if (!lines.empty()) {
      // After a blank line, apart from what the file held.
      if (!out.empty()) out += EndsWithLineEnd(out) ? kNewLineEnd : "\r\n\r\n";
      out += '[';
      out += section;
      out += ']';
      out += kNewLineEnd;
      for (const std::string& addedLine : lines) out += addedLine + std::string(kNewLineEnd);
    }
  }
  writeAdded();
  out += heldBlanks;
  return marked ? std::string(kUtf8Mark) + out : out;
}

std::vector<std::string_view> IniSectionKeyLines(std::string_view bytes, std::string_view section) {
  if (bytes.starts_with(kUtf8Mark)) bytes.remove_prefix(kUtf8Mark.size());
  std::vector<std::string_view> keyLines;
  bool inSection = false;
  for (const IniLine& line : SplitIniLines(bytes)) {
    const IniLineMeaning meaning = ClassifyIniLine(line.text);
    if (meaning.kind == IniLineMeaning::Kind::kSection) inSection = IsSection(meaning, section);
    if (inSection && meaning.kind == IniLineMeaning::Kind::kKeyLine) keyLines.push_back(meaning.text);
  }
  return keyLines;
}

}  // namespace ombrel
