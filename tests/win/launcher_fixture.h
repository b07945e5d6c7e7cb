// What the launcher's tests under Wine share: a copy of Ombrel.exe in a
// program folder of its own, its files there, the recorder's log, and dates.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "common/list/entry_list.h"
#include "common/win/win_system.h"
#include "launcher/launcher_run.h"
#include "test_support.h"

namespace ombrel::testing {

using Lines = std::vector<std::wstring>;

constexpr DWORD kDone = static_cast<DWORD>(LauncherExit::kDone);
constexpr DWORD kStampNotWritten = static_cast<DWORD>(LauncherExit::kStampNotWritten);
constexpr DWORD kEntryNotOpened = static_cast<DWORD>(LauncherExit::kEntryNotOpened);

inline std::string DateOf(const SYSTEMTIME& day, const char* format = "%02u-%02u-%04u") {
  char text[32];
  std::snprintf(text, sizeof text, format, day.wMonth, day.wDay, day.wYear);
  return text;
}

inline SYSTEMTIME Today() {
  SYSTEMTIME now{};
  ::GetLocalTime(&now);
  return now;
}

// Today's time that many days later (earlier for a negative count).
inline SYSTEMTIME DaysFromToday(int days) {
  FILETIME time{};
  SYSTEMTIME now = Today();
  ::SystemTimeToFileTime(&now, &time);
  ULARGE_INTEGER ticks{{time.dwLowDateTime, time.dwHighDateTime}};
  ticks.QuadPart += static_cast<ULONGLONG>(static_cast<LONGLONG>(days) * 24 * 60 * 60 * 10'000'000);
  time = {ticks.LowPart, ticks.HighPart};
  SYSTEMTIME day{};
  ::FileTimeToSystemTime(&time, &day);
  return day;
}

inline SYSTEMTIME Yesterday() { return DaysFromToday(-1); }

// The weekday term of an entry's own days ("mon") for a day.
inline std::string WeekdayTerm(const SYSTEMTIME& day) {
  constexpr const char* kTerms[] = {"sun", "mon", "tue", "wed", "thu", "fri", "sat"};
  return kTerms[day.wDayOfWeek % 7];
}

// Days as OMBREL.CFG writes it, every weekday on but today's.
inline std::string DaysWithoutToday() {
  std::string days = "1111111";
  // Monday first there; Windows counts from Sunday.
  days[(Today().wDayOfWeek + 6U) % 7U] = '0';
  return days;
}

inline std::wstring Quote(const std::wstring& path) { return L"\"" + path + L"\""; }

// As the editor writes it.
inline void WriteList(const std::wstring& path, const Lines& entries) {
  win::WinSystem system;
  ASSERT_TRUE(WriteEntryList(system, path, entries));
}

class LauncherTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(testing::CopyProgram(L"Ombrel.exe", folder_.path()));
    WriteBytes(SettingsFile(), kNoNotice);
  }

  [[nodiscard]] std::wstring Program() const { return folder_ / L"Ombrel.exe"; }
  [[nodiscard]] std::wstring Stamp() const { return folder_ / L"OMBREL.INI"; }
  [[nodiscard]] std::wstring List() const { return folder_ / L"OMBREL.DAT"; }
  [[nodiscard]] std::wstring Record() const { return folder_ / L"OMBREL.LOG"; }
  [[nodiscard]] std::wstring SettingsFile() const { return folder_ / L"OMBREL.CFG"; }

  // Runs the launcher to its end and lets what it started finish logging.
  std::optional<DWORD> Run() {
    const std::optional<DWORD> status = testing::RunAndWait(Quote(Program()));
    WaitForRecorders();
    return status;
  }

  TempFolder folder_;
  RecorderLog log_;
};

}  // namespace ombrel::testing
