#include "common/list/entry_list.h"

#include <algorithm>
#include <optional>

#include "common/list/blank.h"
#include "common/list/list_temporary.h"
#include "common/list/utf8.h"

namespace ombrel {

namespace {

constexpr char kQuote = '"';
constexpr char kComma = ',';
constexpr char kCr = '\r';
constexpr char kLf = '\n';

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

unsigned ListCodePage(unsigned ansiCodePage) {
  constexpr unsigned kUtf8CodePage = 65001;
  constexpr unsigned kJapaneseCodePage = 932;
  return ansiCodePage == kUtf8CodePage ? kJapaneseCodePage : ansiCodePage;
}

ListEncoding ListEncodingOf(std::string_view bytes, unsigned ansiCodePage) {
  if (bytes.starts_with(kUtf8Mark)) return {ListForm::kMarkedUtf8, 0};
  const bool beyondAscii =
      std::any_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) > 0x7F; });
  if (beyondAscii && IsValidUtf8(bytes)) return {ListForm::kUnmarkedUtf8, 0};
  return {ListForm::kCodePage, ListCodePage(ansiCodePage)};
}

std::vector<std::wstring> DecodeEntryList(SystemPort& system, std::string_view bytes) {
  const ListEncoding encoding = ListEncodingOf(bytes, system.AnsiCodePage());
  if (encoding.form == ListForm::kMarkedUtf8) bytes.remove_prefix(kUtf8Mark.size());
  const bool utf8 = encoding.form != ListForm::kCodePage;
  std::vector<std::wstring> entries;
  // Room for one entry a line, as the programs write them, made at once.
  entries.reserve(static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), kLf)) + 1);
  ItemReader reader(bytes);
  while (!reader.AtEnd()) {
    const std::string_view item = reader.NextView();
    entries.push_back(utf8 ? FromUtf8(item) : system.FromCodePage(encoding.codePage, item));
    // A NUL is no character of any entry, and a window or a command line
    // would cut the entry short at it: it shows, and is saved, as U+FFFD.
    std::replace(entries.back().begin(), entries.back().end(), L'\0', L'\uFFFD');
  }
  return entries;
}

std::string EncodeEntryList(SystemPort& system, const std::vector<std::wstring>& entries) {
  const unsigned ansiCodePage = system.AnsiCodePage();
  const unsigned codePage = ListCodePage(ansiCodePage);
  std::string bytes;
  bool fits = true;
  for (const std::wstring& entry : entries) {
    const std::optional<std::string> converted = system.ToCodePage(codePage, entry);
    if (!converted) {
      fits = false;
      break;
    }
    AppendEntryLine(bytes, *converted);
  }
  // Code page bytes that a reader would take for UTF-8 (behind the mark, or
  // well-formed UTF-8 such as half-width katakana may form) are written as
  // UTF-8 instead, so that they read back as they were.
  if (fits && ListEncodingOf(bytes, ansiCodePage).form == ListForm::kCodePage) return bytes;
  // One entry the code page cannot hold: the whole file in UTF-8, so that it
  // is never turned into "?".
  std::string utf8(kUtf8Mark);
  for (const std::wstring& entry : entries) AppendEntryLine(utf8, ToUtf8(entry));
  return utf8;
}

EntryListRead ReadEntryList(SystemPort& system, const std::wstring& path) {
  EntryListRead list;
  list.file = system.ReadAll(path);
  list.status = list.file.status;
  if (list.status == ReadStatus::kRead) {
    list.entries = DecodeEntryList(system, list.file.bytes);
  } else if (list.status == ReadStatus::kMissing) {
    // Only a missing list: an existing one, even unreadable, is the user's.
    if (std::optional<CompleteTemporary> temporary = FindCompleteTemporary(system, path)) {
      list.status = ReadStatus::kRead;
      list.entries = DecodeEntryList(system, temporary->bytes);
      list.recoveredFrom = std::move(temporary->path);
    }
  }
  return list;
}

ListSave WriteEntryList(SystemPort& system, const std::wstring& path,
                        const std::vector<std::wstring>& entries) {
  ListSave save;
  std::string bytes = EncodeEntryList(system, entries);
  const SaveResult result = system.ReplaceAll(path, bytes);
  save.status = result.status;
  if (!result) return save;
  save.written = FileRead{ReadStatus::kRead, std::move(bytes), result.metadata};
  // Left by saves cut short, or read in place of the list: not needed now.
  RemoveTemporaries(system, path);
  return save;
}

}  // namespace ombrel
