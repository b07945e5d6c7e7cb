#include "entry_list.h"

#include <algorithm>
#include <optional>

#include "utf8.h"

namespace ombrel {

namespace {

constexpr char kQuote = '"';
constexpr char kComma = ',';
constexpr char kCr = '\r';
constexpr char kLf = '\n';

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsLineEnd(char c) { return c == kCr || c == kLf; }

std::string_view TrimTrailingBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace

std::size_t ItemReader::LineEndOrComma(std::size_t from) const {
  std::size_t i = from;
  while (i < bytes_.size() && bytes_[i] != kComma && !IsLineEnd(bytes_[i])) ++i;
  return i;
}

void ItemReader::ConsumeDelimiter() {
  if (pos_ >= bytes_.size()) return;
  const char c = bytes_[pos_++];
  if (c == kCr && pos_ < bytes_.size() && bytes_[pos_] == kLf) ++pos_;
}

std::string ItemReader::Next() { return std::string(NextView()); }

std::string_view ItemReader::NextView() {
  while (pos_ < bytes_.size() && IsBlank(bytes_[pos_])) ++pos_;
  const std::size_t start = pos_;

  if (pos_ < bytes_.size() && bytes_[pos_] == kQuote) {
    std::size_t close = pos_ + 1;
    while (close < bytes_.size() && bytes_[close] != kQuote && !IsLineEnd(bytes_[close])) ++close;
    if (close < bytes_.size() && bytes_[close] == kQuote) {
      std::size_t after = close + 1;
      while (after < bytes_.size() && IsBlank(bytes_[after])) ++after;
      if (after >= bytes_.size() || bytes_[after] == kComma || IsLineEnd(bytes_[after])) {
        pos_ = after;
        ConsumeDelimiter();
        return bytes_.substr(start + 1, close - start - 1);
      }
      // Text follows the closing mark: fall through and keep the item as it
      // stands, such as "C:\Program Files\App\app.exe" /min. It ends at
      // the first comma after that mark: one between the marks is part of
      // the path, as in "C:\Data,2024\app.exe" /min.
      pos_ = after;
    }
  }

  const std::size_t end = LineEndOrComma(pos_);
  const std::string_view item = TrimTrailingBlanks(bytes_.substr(start, end - start));
  pos_ = end;
  ConsumeDelimiter();
  return item;
}

std::vector<std::string> ReadItems(std::string_view bytes) {
  std::vector<std::string> items;
  ItemReader reader(bytes);
  while (!reader.AtEnd()) items.push_back(reader.Next());
  return items;
}

namespace {

// Appends the entry's line to `out`, as EncodeEntryLine makes it. A save
// appends every line to one string, without a string or a read-back list of
// its own for each.
void AppendEntryLine(std::string& out, std::string_view entry) {
  const std::size_t start = out.size();
  out += entry;
  out += "\r\n";
  ItemReader back(std::string_view(out).substr(start));
  const bool bareIsExact = back.NextView() == entry && back.AtEnd();
  const bool quotable = entry.find(kQuote) == std::string_view::npos &&
                        entry.find(kCr) == std::string_view::npos &&
                        entry.find(kLf) == std::string_view::npos;
  if (bareIsExact || !quotable) return;
  out.resize(start);
  out += kQuote;
  out += entry;
  out += kQuote;
  out += "\r\n";
}

}  // namespace

std::string EncodeEntryLine(std::string_view entry) {
  std::string line;
  line.reserve(entry.size() + 4);
  AppendEntryLine(line, entry);
  return line;
}

std::vector<std::wstring> DecodeEntryList(SystemPort& system, std::string_view bytes) {
  const bool utf8 = bytes.starts_with(kUtf8Mark);
  if (utf8) bytes.remove_prefix(kUtf8Mark.size());
  std::vector<std::wstring> entries;
  // Room for one entry a line, as the programs write them, made at once.
  entries.reserve(static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), kLf)) + 1);
  ItemReader reader(bytes);
  while (!reader.AtEnd()) {
    const std::string_view item = reader.NextView();
    entries.push_back(utf8 ? FromUtf8(item) : system.FromAnsi(item));
    // A NUL is no character of any entry, and a window or a command line
    // would cut the entry short at it: it shows, and is saved, as U+FFFD.
    std::replace(entries.back().begin(), entries.back().end(), L'\0', L'\uFFFD');
  }
  return entries;
}

std::string EncodeEntryList(SystemPort& system, const std::vector<std::wstring>& entries) {
  std::string bytes;
  bool fits = true;
  for (const std::wstring& entry : entries) {
    const std::optional<std::string> ansi = system.ToAnsi(entry);
    if (!ansi) {
      fits = false;
      break;
    }
    AppendEntryLine(bytes, *ansi);
  }
  // A list in the code page whose first bytes happen to be the mark would be
  // read back as UTF-8: it is written as UTF-8 instead.
  if (fits && !bytes.starts_with(kUtf8Mark)) return bytes;
  // One entry the code page cannot hold: the whole file in UTF-8, so that it
  // is never turned into "?".
  std::string utf8(kUtf8Mark);
  for (const std::wstring& entry : entries) AppendEntryLine(utf8, ToUtf8(entry));
  return utf8;
}

EntryListRead ReadEntryList(SystemPort& system, const std::wstring& path) {
  const FileRead file = system.ReadAll(path);
  return {file.status, DecodeEntryList(system, file.bytes)};
}

bool WriteEntryList(SystemPort& system, const std::wstring& path, const std::vector<std::wstring>& entries) {
  return system.ReplaceAll(path, EncodeEntryList(system, entries));
}

}  // namespace ombrel
