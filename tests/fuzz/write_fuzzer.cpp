// The entry list writer on arbitrary lists. Every entry the format can carry
// must read back unchanged, in its place; every other one must be exactly of
// the documented kinds, written bare, and read back as its own line reads,
// without touching its neighbours. The form must be the code page while every
// entry fits it and the bytes read back in it, and UTF-8 otherwise.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/list/entry_list.h"
#include "common/list/utf8.h"
#include "fakes.h"
#include "fuzz_support.h"

namespace ombrel::fuzz {
namespace {

// The list an input stands for. A byte 00 ends an entry; 01..7F are
// themselves, line ends, tabs, commas and marks included; 80..FE are the
// Latin-1 characters of those values, which the fake's code page holds; FF
// takes the next three bytes as any value up to FFFFFF: a character of any
// plane, a lone surrogate, or no character at all. No bytes, no entries.
std::vector<std::wstring> ListOf(std::string_view bytes) {
  std::vector<std::wstring> entries;
  if (bytes.empty()) return entries;
  entries.emplace_back();
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    if (byte == 0x00) {
      entries.emplace_back();
    } else if (byte < 0xFF) {
      entries.back() += static_cast<wchar_t>(byte);
    } else {
      char32_t value = 0;
      for (int k = 0; k < 3 && i + 1 < bytes.size(); ++k)
        value = (value << 8) | static_cast<unsigned char>(bytes[++i]);
      entries.back() += static_cast<wchar_t>(value);
    }
  }
  return entries;
}

// What the UTF-8 form keeps of an entry: a value that is no character becomes
// U+FFFD. The code page form never meets one, as no such value fits it. A NUL
// comes back as U+FFFD in either form.
std::wstring Kept(const std::wstring& entry) {
  std::wstring kept = AsShown(entry);
  for (wchar_t& c : kept) {
    if (!IsCharacter(c)) c = L'\uFFFD';
  }
  return kept;
}

void CheckList(const std::vector<std::wstring>& list) {
  testing::FakeSystem system;
  const std::string file = EncodeEntryList(system, list);
  const bool utf8 = file.starts_with(kUtf8Mark);

  bool allFit = true;
  std::string codePageFile;
  for (const std::wstring& entry : list) {
    const std::optional<std::string> bytes = system.ToAnsi(entry);
    allFit = allFit && bytes.has_value();
    if (allFit) codePageFile += EncodeEntryLine(*bytes);
  }
  // Code page bytes that would be read as UTF-8 (behind the mark's bytes, or
  // well-formed UTF-8) make the list UTF-8 too.
  const bool readAsUtf8 = allFit && FormAsDocumented(codePageFile) != Form::kCodePage;
  Expect(utf8 == (!allFit || readAsUtf8),
         "the code page form exactly while every entry fits it and its bytes read back in it");
  if (list.empty()) Expect(file.empty(), "an empty list is zero bytes");

  std::vector<std::wstring> expected;
  for (const std::wstring& entry : list) {
    const std::wstring kept = Kept(entry);
    if (Carriable(std::wstring_view(entry))) {
      expected.push_back(kept);
      continue;
    }
    // Written bare: it reads back as that line reads, and never as itself.
    const std::string bare = utf8 ? ToUtf8(kept) : *system.ToAnsi(entry);
    const std::vector<std::string> items = ReadItems(bare + "\r\n");
    Expect(items != std::vector<std::string>{bare}, "an entry the documentation cannot carry is not carried");
    for (const std::string& item : items)
      expected.push_back(AsShown(utf8 ? FromUtf8(item) : system.FromAnsi(item)));
  }
  Expect(DecodeEntryList(system, file) == expected, "carried entries come back unchanged and in place");
}

}  // namespace
}  // namespace ombrel::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  ombrel::fuzz::CheckList(ombrel::fuzz::ListOf(std::string_view(reinterpret_cast<const char*>(data), size)));
  return 0;
}
