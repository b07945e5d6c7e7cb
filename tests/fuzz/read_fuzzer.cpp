// The entry list reader on arbitrary bytes, in every form: every input is read
// as it is (in the form its bytes say) and once more behind the mark, as
// UTF-8. The reader must follow the documented rules, give
// only entries the writer can carry, and a save of what it read must read back
// to the same entries.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/list/entry_list.h"
#include "common/list/utf8.h"
#include "fakes.h"
#include "fuzz_support.h"

namespace ombrel::fuzz {
namespace {

// What UTF-8 bytes read as: themselves when well-formed, else with U+FFFD for
// the ill-formed parts, and only characters either way.
void CheckUtf8Text(std::string_view bytes, const std::wstring& text) {
  for (const wchar_t c : text) Expect(IsCharacter(c), "UTF-8 reads as characters only");
  if (IsValidUtf8(bytes)) {
    Expect(ToUtf8(text) == bytes, "well-formed UTF-8 is read unchanged");
  } else {
    Expect(text.find(L'\uFFFD') != std::wstring::npos, "ill-formed UTF-8 shows as U+FFFD");
  }
}

void CheckForm(testing::FakeSystem& system, std::string_view file) {
  const Form form = FormAsDocumented(file);
  const bool utf8 = form != Form::kCodePage;
  const std::vector<std::string> items =
      ReadItems(form == Form::kMarkedUtf8 ? file.substr(kUtf8Mark.size()) : file);
  const std::vector<std::wstring> entries = DecodeEntryList(system, file);
  Expect(entries.size() == items.size(), "one entry for each item");

  bool needsUtf8 = false;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const std::wstring& entry = entries[i];
    Expect(Carriable(std::wstring_view(entry)), "the reader gives only entries the writer can carry");
    for (const wchar_t c : entry) needsUtf8 = needsUtf8 || c >= 256;
    if (utf8) {
      Expect(entry == AsShown(FromUtf8(items[i])), "a UTF-8 item is converted as it stands");
    } else {
      // The fake's code page maps each byte to one character.
      Expect(entry == AsShown(system.FromAnsi(items[i])), "a code page item is converted as it stands");
    }
  }

  const std::string saved = EncodeEntryList(system, entries);
  Expect(!needsUtf8 || saved.starts_with(kUtf8Mark), "a list beyond the code page is saved as UTF-8");
  Expect(DecodeEntryList(system, saved) == entries, "a save without edits reads back to the same entries");
}

}  // namespace
}  // namespace ombrel::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace ombrel;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  fuzz::Expect(ReadItems(bytes) == fuzz::ItemsAsDocumented(bytes), "the reader follows the documented rules");
  // Both forms lie in buffers of exactly their size, so AddressSanitizer sees
  // any read past them, by the reader or by a conversion of an item in place.
  fuzz::CheckUtf8Text(bytes, FromUtf8(bytes));
  testing::FakeSystem system;
  fuzz::CheckForm(system, bytes);
  std::vector<char> marked(kUtf8Mark.begin(), kUtf8Mark.end());
  marked.insert(marked.end(), bytes.begin(), bytes.end());
  marked.shrink_to_fit();
  fuzz::CheckForm(system, std::string_view(marked.data(), marked.size()));
  return 0;
}
