#include "text_search.h"

#include <gtest/gtest.h>

#include <string>

namespace ombrel {
namespace {

TEST(CountCharacterTest, CountsExactCharacters) {
  EXPECT_EQ(CountCharacter(L"a.b.c", L"."), 2);
  EXPECT_EQ(CountCharacter(L"", L"."), 0);
  EXPECT_EQ(CountCharacter(L"user@host.example.jp", L"@"), 1);
  EXPECT_EQ(CountCharacter(L"AaA", L"a"), 1);  // letter case counts
  EXPECT_EQ(CountCharacter(L"メール．アドレス", L"．"), 1);
}

TEST(CountCharacterTest, EmptyOrLongerCharacterNeverMatches) {
  EXPECT_EQ(CountCharacter(L"aaa", L""), 0);
  EXPECT_EQ(CountCharacter(L"aaa", L"aa"), 0);
}

TEST(CountCharacterTest, NoOverflowBeyondSixteenBits) {
  EXPECT_EQ(CountCharacter(std::wstring(70000, L'.'), L"."), 70000);
}

struct PosCase {
  const wchar_t* text;
  const wchar_t* search;
  std::ptrdiff_t n;
  std::ptrdiff_t expected;
};

TEST(FindOccurrenceTest, Cases) {
  const PosCase cases[] = {
      {L"C:\\Tools\\help.htm", L".", 1, 14},
      {L"a.b.c", L".", 2, 4},
      {L"a.b.c", L".", 3, -1},  // fewer than n occurrences
      {L"aaa", L"aa", 2, 2},    // overlapping matches count
      {L"aaa", L"aa", 3, -1},
      {L"", L".", 1, -1},   // empty text
      {L"abc", L"", 2, 2},  // empty search matches every position
      {L"abc", L"", 4, -1},
      {L"", L"", 1, -1},
      {L"a.b", L".", 0, -1},  // n of 0 and below never match
      {L"a.b", L".", -3, -1},
      {L"ab", L"abc", 1, -1},        // a piece cut short by the end never matches
      {L"Help.HTM", L"htm", 1, -1},  // no case folding
      {L"設定.htm", L".", 1, 3},
  };
  for (const PosCase& c : cases) {
    EXPECT_EQ(FindOccurrence(c.text, c.search, c.n), c.expected)
        << "text=" << ::testing::PrintToString(std::wstring(c.text)) << " n=" << c.n;
  }
}

TEST(FindOccurrenceTest, NoOverflowBeyondSixteenBits) {
  std::wstring text(40000, L'x');
  text += L".htm";
  EXPECT_EQ(FindOccurrence(text, L".", 1), 40001);
}

}  // namespace
}  // namespace ombrel
