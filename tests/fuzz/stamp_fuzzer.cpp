// The stamp check on arbitrary bytes: "ran today" exactly when the stamp's
// first item, read by the documented rules in a first line that ends within
// the first 256 bytes, is today's date, whatever else the file holds.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/list/program_folder.h"
#include "common/list/stamp.h"
#include "fakes.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace ombrel;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::wstring folder = L"C:\\Tools";
  testing::FakeSystem system;  // today is 04-07-2026
  const std::string today = "04-07-2026";
  system.files[folder + kStampFileName] = std::string(bytes);

  const std::vector<std::string> items = fuzz::ItemsAsDocumented(bytes);
  // Of a stamp of 256 bytes or more, only the first 256 are read: its first
  // line must end in them.
  const bool firstLineRead =
      size < 256 || bytes.substr(0, 256).find_first_of("\r\n") != std::string_view::npos;
  const bool ranToday = firstLineRead && !items.empty() && items.front() == today;
  fuzz::Expect(StampCheck(system, folder) == ranToday,
               "ran today exactly when the first item, in a first line within 256 bytes, is today");
  // Any text can be the date asked for, and the first item always holds itself.
  if (!items.empty()) fuzz::Expect(StampHoldsDate(bytes, items.front()), "the first item holds itself");
  fuzz::Expect(StampHoldsDate(today + "\r\n" + std::string(bytes), today),
               "today's line holds today whatever follows it");
  return 0;
}
