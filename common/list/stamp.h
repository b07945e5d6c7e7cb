// The run-date stamp OMBREL.INI: one line holding the day on which the entries
// last ran (MM-DD-YYYY), or an empty line after a reset. The launcher and the
// editor share this code so that both always agree on "ran today".
#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace ombrel {

class SystemPort;
struct LocalTime;

// MM-DD-YYYY, the form stored in the stamp.
[[nodiscard]] std::wstring DateText(const LocalTime& time);
// hh:mm:ss on the 24-hour clock.
[[nodiscard]] std::wstring TimeText(const LocalTime& time);

// True when the first item of the stamp's bytes is exactly `dateText`. A stamp
// of zero bytes holds no item and so does not mean "ran today".
[[nodiscard]] bool StampHoldsDate(std::string_view stampBytes, std::string_view dateText);

// The most bytes of the stamp ever read: its first line is twelve bytes, and
// a huge or damaged file must cost the same-day start no more.
inline constexpr std::size_t kStampBytesRead = 256;

// The three stamp operations. Each builds the path from the program folder,
// opens the file by itself and takes the date from the clock as it runs.
// Check: false whenever the file cannot be read, or its first line does not
// end within its first kStampBytesRead bytes. Renew and Clear: false when
// the file could not be written.
[[nodiscard]] bool StampCheck(SystemPort& system, const std::wstring& folder);
[[nodiscard]] bool StampRenew(SystemPort& system, const std::wstring& folder);
[[nodiscard]] bool StampClear(SystemPort& system, const std::wstring& folder);

// The day a MM-DD-YYYY text names; nothing for any other text or a day that
// no calendar has.
[[nodiscard]] std::optional<std::chrono::year_month_day> DayOfDateText(std::string_view text);

// The day of the last run: the date the stamp's first item holds, read as
// Check reads it. Nothing for a stamp that is cleared, missing, unreadable
// or holds no date of that form.
[[nodiscard]] std::optional<std::chrono::year_month_day> StampedDay(SystemPort& system,
                                                                    const std::wstring& folder);

}  // namespace ombrel
