#include "launcher/failure_notice.h"

#include <gtest/gtest.h>

namespace ombrel {
namespace {

const std::wstring kClick = L"クリックすると実行の記録を表示します。";
// Seventy characters: longer than a name is shown.
const std::wstring kLongPath = L"C:\\" + std::wstring(56, L'x') + L"\\report.xlsx";

struct TextCase {
  const char* name;
  RunFailures failures;
  std::wstring body;
  NoticeIcon icon;
};

TEST(NoticeTextTest, SaysWhatWentWrongWithinWindowsBounds) {
  const TextCase cases[] = {
      {"one_entry",
       {true, true, 1, L"C:\\memo.txt", L"", false, L""},
       L"1 件の項目を開けませんでした。最初の項目: C:\\memo.txt\n" + kClick,
       NoticeIcon::kWarning},
      {"list_unreadable",
       {true, true, 0, L"", L"C:\\Tools\\OMBREL.DAT", false, L""},
       L"一覧を読めなかったため、何も開いていません: C:\\Tools\\OMBREL.DAT\n" + kClick,
       NoticeIcon::kError},
      {"stamp",
       {true, true, 0, L"", L"", true, L""},
       L"日付を書き込めなかったため、次の起動でもう一度開きます。\n" + kClick,
       NoticeIcon::kWarning},
      {"team",
       {true, true, 0, L"", L"", false, L"\\\\srv\\team: アクセスが拒否されました。"},
       L"チームの一覧を読めませんでした: \\\\srv\\team: アクセスが拒否されました。\n" + kClick,
       NoticeIcon::kWarning},
      // A long name keeps its end, where the file's name is.
      {"long_entry",
       {true, true, 2, kLongPath, L"", true, L""},
       L"2 件の項目を開けませんでした。最初の項目: \x2026" + kLongPath.substr(kLongPath.size() - 59) +
           L"\n日付を書き込めなかったため、次の起動でもう一度開きます。\n" + kClick,
       NoticeIcon::kWarning},
  };
  for (const TextCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_TRUE(NoticeDue(c.failures));
    EXPECT_EQ(NoticeText(c.failures), (Notice{L"Ombrel", c.body, c.icon}));
  }
  // Everything at once, each name at its longest: cut at the bound, behind
  // an ellipsis.
  const Notice all = NoticeText({true, true, 12, kLongPath, kLongPath, true, kLongPath});
  EXPECT_EQ(all.body.size(), kNoticeBodySize - 1);
  EXPECT_EQ(all.body.back(), L'\x2026');
  EXPECT_EQ(all.icon, NoticeIcon::kError);
}

}  // namespace
}  // namespace ombrel
