#include "common/list/stamp.h"

#include <gtest/gtest.h>

#include "fakes.h"

namespace ombrel {
namespace {

const std::wstring kFolder = L"C:\\Tools";
const std::wstring kStamp = L"C:\\Tools\\OMBREL.INI";

TEST(DateTextTest, FixedWidthForms) {
  EXPECT_EQ(DateText({2026, 4, 7, 9, 5, 7}), L"04-07-2026");
  EXPECT_EQ(DateText({2026, 12, 31, 23, 59, 59}), L"12-31-2026");
  EXPECT_EQ(TimeText({2026, 4, 7, 9, 5, 7}), L"09:05:07");
  EXPECT_EQ(TimeText({2026, 4, 7, 23, 0, 0}), L"23:00:00");
}

struct StampCase {
  const char* name;
  std::optional<std::string> bytes;  // nothing: no file
  bool ranToday;
};

// Today is 04-07-2026 in the fake clock.
TEST(StampCheckTest, OnlyTodaysExactTextMeansRanToday) {
  const StampCase cases[] = {
      {"missing", std::nullopt, false},
      {"today", "04-07-2026\r\n", true},
      {"today_without_line_end", "04-07-2026", true},
      {"today_then_more_lines", "04-07-2026\r\nrest\r\n", true},
      {"today_then_comma", "04-07-2026,x\r\n", true},
      {"yesterday", "04-06-2026\r\n", false},
      {"cleared", "\r\n", false},
      {"zero_bytes", "", false},
      {"slashes", "04/07/2026\r\n", false},
      {"two_digit_year", "04-07-26\r\n", false},
      {"no_leading_zeros", "4-7-2026\r\n", false},
      {"year_first", "2026-04-07\r\n", false},
      // Only the first 256 bytes are read: the first line must end in them.
      {"today_then_a_long_file", "04-07-2026\r\n" + std::string(100000, 'x'), true},
      {"today_line_ending_in_the_bytes_read", "04-07-2026" + std::string(244, ' ') + "\r\n", true},
      {"today_line_going_on_beyond_them", "04-07-2026" + std::string(300, ' ') + "\r\n", false},
  };
  for (const StampCase& c : cases) {
    testing::FakeSystem system;
    if (c.bytes) system.files[kStamp] = *c.bytes;
    EXPECT_EQ(StampCheck(system, kFolder), c.ranToday) << c.name;
  }
}

TEST(StampCheckTest, UnreadableStampIsNotRunToday) {
  testing::FakeSystem system;
  system.files[kStamp] = "04-07-2026\r\n";
  system.unreadable.insert(kStamp);
  EXPECT_FALSE(StampCheck(system, kFolder));
}

TEST(StampWriteTest, RenewReplacesWholeContentWithTwelveBytes) {
  testing::FakeSystem system;
  system.files[kStamp] = "a much longer earlier content\r\nmore\r\n";
  ASSERT_TRUE(StampRenew(system, kFolder));
  EXPECT_EQ(system.files[kStamp], "04-07-2026\r\n");
  EXPECT_TRUE(StampCheck(system, kFolder));
}

TEST(StampWriteTest, RenewTakesTheClockAtTheMomentItRuns) {
  testing::FakeSystem system;
  system.now = {2027, 1, 2, 0, 0, 1};
  ASSERT_TRUE(StampRenew(system, kFolder));
  EXPECT_EQ(system.files[kStamp], "01-02-2027\r\n");
  system.now = {2027, 1, 3, 0, 0, 1};  // midnight passed
  EXPECT_FALSE(StampCheck(system, kFolder));
}

TEST(StampWriteTest, ClearCreatesOrEmptiesToOneEmptyLine) {
  testing::FakeSystem system;
  ASSERT_TRUE(StampClear(system, kFolder));
  EXPECT_EQ(system.files[kStamp], "\r\n");
  system.files[kStamp] = "04-07-2026\r\n";
  ASSERT_TRUE(StampClear(system, kFolder));
  EXPECT_EQ(system.files[kStamp], "\r\n");
  EXPECT_FALSE(StampCheck(system, kFolder));
}

TEST(StampWriteTest, WriteFailuresAreReported) {
  testing::FakeSystem system;
  system.unwritable.insert(kStamp);
  EXPECT_FALSE(StampRenew(system, kFolder));
  EXPECT_FALSE(StampClear(system, kFolder));
  EXPECT_EQ(system.files.count(kStamp), 0U);
}

}  // namespace
}  // namespace ombrel
