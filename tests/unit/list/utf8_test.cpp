// UTF-8 both ways, for the wide text of either width, and what ill-formed
// bytes become.
#include "common/list/utf8.h"

#include <gtest/gtest.h>

namespace ombrel {
namespace {

TEST(Utf8Test, EveryPlaneRoundTrips) {
  // One, two, three and four bytes; 😀 is a surrogate pair where wchar_t is
  // 16 bits wide.
  const std::wstring text = L"a\u00e9\ud55c\uad6d\uc5b4\u65e5\U0001F600z";
  const std::string bytes = ToUtf8(text);
  EXPECT_EQ(bytes, "a\xC3\xA9\xED\x95\x9C\xEA\xB5\xAD\xEC\x96\xB4\xE6\x97\xA5\xF0\x9F\x98\x80z");
  EXPECT_TRUE(IsValidUtf8(bytes));
  EXPECT_EQ(FromUtf8(bytes), text);
  EXPECT_EQ(ToUtf8(L""), "");
  EXPECT_EQ(FromUtf8(""), L"");
}

struct IllFormedCase {
  const char* name;
  std::string bytes;
  std::wstring text;
};

// One U+FFFD for each maximal ill-formed part; what follows is read again.
TEST(Utf8Test, IllFormedBytesBecomeReplacementCharacters) {
  const IllFormedCase cases[] = {
      {"stray_continuation",
       "a\x80"
       "b",
       L"a\uFFFDb"},
      {"cut_short_at_end", "a\xE6\x97", L"a\uFFFD"},
      {"cut_short_before_ascii", "\xE6\x97,", L"\uFFFD,"},
      {"overlong_slash", "\xC0\xAF", L"\uFFFD\uFFFD"},
      {"surrogate", "\xED\xA0\x80", L"\uFFFD\uFFFD\uFFFD"},
      {"beyond_unicode", "\xF4\x90\x80\x80", L"\uFFFD\uFFFD\uFFFD\uFFFD"},
      {"shift_jis", "\x83\x81\x83\x82", L"\uFFFD\uFFFD\uFFFD\uFFFD"},
      {"lead_then_lead", "\xE6\xE6\x97\xA5", L"\uFFFD\u65e5"},
  };
  for (const IllFormedCase& c : cases) {
    EXPECT_EQ(FromUtf8(c.bytes), c.text) << c.name;
    EXPECT_FALSE(IsValidUtf8(c.bytes)) << c.name;
  }
}

TEST(Utf8Test, LoneSurrogatesBecomeReplacementCharacters) {
  if constexpr (sizeof(wchar_t) == 2) {
    EXPECT_EQ(ToUtf8(std::wstring{L'a', static_cast<wchar_t>(0xD83D), L'b'}),
              "a\xEF\xBF\xBD"
              "b");
    EXPECT_EQ(ToUtf8(std::wstring{static_cast<wchar_t>(0xDE00)}), "\xEF\xBF\xBD");
  } else {
    EXPECT_EQ(ToUtf8(std::wstring{L'a', static_cast<wchar_t>(0xD83D), L'b'}),
              "a\xEF\xBF\xBD"
              "b");
    EXPECT_EQ(ToUtf8(std::wstring{static_cast<wchar_t>(0x110000)}), "\xEF\xBF\xBD");
  }
}

}  // namespace
}  // namespace ombrel
