#include "common/list/stamp.h"

#include <cstdio>
#include <cwchar>

#include "common/list/entry_list.h"
#include "common/list/program_folder.h"
#include "common/port/system_port.h"

namespace ombrel {

namespace {

// The date as the stamp holds it: digits and hyphens, the same bytes in every
// code page.
std::string DateBytes(const LocalTime& time) {
  const std::wstring text = DateText(time);
  return std::string(text.begin(), text.end());
}

}  // namespace

std::wstring DateText(const LocalTime& time) {
  wchar_t text[16] = {};
  std::swprintf(text, std::size(text), L"%02d-%02d-%04d", time.month, time.day, time.year);
  return text;
}

std::wstring TimeText(const LocalTime& time) {
  wchar_t text[16] = {};
  std::swprintf(text, std::size(text), L"%02d:%02d:%02d", time.hour, time.minute, time.second);
  return text;
}

bool StampHoldsDate(std::string_view stampBytes, std::string_view dateText) {
  ItemReader reader(stampBytes);
  return !reader.AtEnd() && reader.Next() == dateText;
}

bool StampCheck(SystemPort& system, const std::wstring& folder) {
  // A stamp that cannot be read, for whatever reason, does not mean "ran
  // today": the worst that follows is a second run of the day. So does a
  // first line that goes on beyond the bytes read, whose first item they
  // cannot settle.
  const FileRead stamp = system.ReadStart(folder + kStampFileName, kStampBytesRead);
  const bool firstLineRead =
      stamp.bytes.size() < kStampBytesRead || stamp.bytes.find_first_of("\r\n") != std::string::npos;
  return stamp.status == ReadStatus::kRead && firstLineRead &&
         StampHoldsDate(stamp.bytes, DateBytes(system.Now()));
}

bool StampRenew(SystemPort& system, const std::wstring& folder) {
  return system.WriteAll(folder + kStampFileName, DateBytes(system.Now()) + "\r\n");
}

bool StampClear(SystemPort& system, const std::wstring& folder) {
  return system.WriteAll(folder + kStampFileName, "\r\n");
}

}  // namespace ombrel
