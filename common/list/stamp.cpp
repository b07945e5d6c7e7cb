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

// The stamp's first item. A stamp that cannot be read, for whatever reason,
// holds none: the worst that follows is a second run of the day. Nor does a
// first line that goes on beyond the bytes read, whose first item they
// cannot settle.
std::optional<std::string> FirstItem(SystemPort& system, const std::wstring& folder) {
  const FileRead stamp = system.ReadStart(folder + kStampFileName, kStampBytesRead);
  const bool firstLineRead =
      stamp.bytes.size() < kStampBytesRead || stamp.bytes.find_first_of("\r\n") != std::string::npos;
  if (stamp.status != ReadStatus::kRead || !firstLineRead) return std::nullopt;
  ItemReader reader(stamp.bytes);
  if (reader.AtEnd()) return std::nullopt;
  return reader.Next();
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
  const std::optional<std::string> item = FirstItem(system, folder);
  return item && *item == DateBytes(system.Now());
}

bool StampRenew(SystemPort& system, const std::wstring& folder) {
  return system.WriteAll(folder + kStampFileName, DateBytes(system.Now()) + "\r\n");
}

bool StampClear(SystemPort& system, const std::wstring& folder) {
  return system.WriteAll(folder + kStampFileName, "\r\n");
}

std::optional<std::chrono::year_month_day> DayOfDateText(std::string_view text) {
  constexpr std::string_view kForm = "00-00-0000";
  if (text.size() != kForm.size()) return std::nullopt;
  for (std::size_t i = 0; i < kForm.size(); ++i) {
    const bool digit = text[i] >= '0' && text[i] <= '9';
    if (kForm[i] == '0' ? !digit : text[i] != kForm[i]) return std::nullopt;
  }
  const auto number = [text](std::size_t at, std::size_t length) {
    unsigned value = 0;
    for (std::size_t i = at; i < at + length; ++i) value = value * 10 + static_cast<unsigned>(text[i] - '0');
    return value;
  };
  const std::chrono::year_month_day day{std::chrono::year{static_cast<int>(number(6, 4))},
                                        std::chrono::month{number(0, 2)}, std::chrono::day{number(3, 2)}};
  return day.ok() ? std::optional(day) : std::nullopt;
}

std::optional<std::chrono::year_month_day> StampedDay(SystemPort& system, const std::wstring& folder) {
  const std::optional<std::string> item = FirstItem(system, folder);
  return item ? DayOfDateText(*item) : std::nullopt;
}

}  // namespace ombrel
