#include "launcher/failure_notice.h"

#include <string_view>

namespace ombrel {

namespace {

// The notification's texts. Ombrel.exe carries no string table, and loading
// one means user32's LoadStringW; these few texts are put together here,
// where the unit table reads each notification whole, and shown by no other
// program. Japanese, as every text the user reads.
enum TextId : std::size_t {
  kTitle,
  kEntriesNotOpened,  // after the count, before the first entry
  kListUnreadable,
  kStampNotWritten,
  kTeamUnreadable,
  kChooseForRecord,
};
constexpr std::wstring_view kTexts[] = {
    L"Ombrel",
    L" 件の項目を開けませんでした。最初の項目: ",
    L"一覧を読めなかったため、何も開いていません: ",
    L"日付を書き込めなかったため、次の起動でもう一度開きます。",
    L"チームの一覧を読めませんでした: ",
    L"クリックすると実行の記録を表示します。",
};

std::wstring_view Text(TextId id) { return kTexts[id]; }

constexpr wchar_t kEllipsis = L'\x2026';

// The text's end, behind an ellipsis when it is longer than `most`.
std::wstring EndOf(std::wstring_view text, std::size_t most) {
  if (text.size() <= most) return std::wstring(text);
  return kEllipsis + std::wstring(text.substr(text.size() - (most - 1)));
}

void AddLine(std::wstring& body, std::wstring_view line) {
  if (!body.empty()) body += L'\n';
  body += line;
}

}  // namespace

bool NoticeDue(const RunFailures& failures) {
  if (!failures.listDay || !failures.notify) return false;
  return failures.entriesNotOpened > 0 || !failures.unreadableList.empty() || failures.stampNotWritten ||
         !failures.teamUnreadable.empty();
}

Notice NoticeText(const RunFailures& failures) {
  Notice notice{std::wstring(Text(kTitle)), {}, NoticeIcon::kWarning};
  if (!failures.unreadableList.empty()) {
    AddLine(notice.body,
            std::wstring(Text(kListUnreadable)) + EndOf(failures.unreadableList, kNoticeNameMost));
    notice.icon = NoticeIcon::kError;
  }
  if (failures.entriesNotOpened > 0) {
    AddLine(notice.body, std::to_wstring(failures.entriesNotOpened) + std::wstring(Text(kEntriesNotOpened)) +
                             EndOf(failures.firstNotOpened, kNoticeNameMost));
  }
  if (failures.stampNotWritten) AddLine(notice.body, Text(kStampNotWritten));
  if (!failures.teamUnreadable.empty()) {
    AddLine(notice.body,
            std::wstring(Text(kTeamUnreadable)) + EndOf(failures.teamUnreadable, kNoticeNameMost));
  }
  AddLine(notice.body, Text(kChooseForRecord));
  // Every line at once passes the bound only with each name at its longest;
  // the hint to click goes last, so it is what is cut.
  if (notice.body.size() >= kNoticeBodySize) {
    notice.body.resize(kNoticeBodySize - 2);
    notice.body += kEllipsis;
  }
  return notice;
}

}  // namespace ombrel
