// What the dialog of an entry's own days ("開く日") shows and decides, apart
// from drawing it: the days as Japanese choices, the entry's next three days
// for the choices as they stand, and OK. editor/win/entry_days_window.*
// draws it; the list's save writes the line (Editor::SaveDays).
#pragma once

#include <array>
#include <chrono>
#include <optional>
#include <string>
#include <string_view>

#include "common/schedule/entry_days.h"
#include "common/schedule/policy.h"
#include "editor/model/editor.h"

namespace ombrel::editor {

// The ways the dialog says an entry's days, a radio button each.
enum class DaysWay {
  kEveryDay,   // 毎日: every day the list opens (in the months chosen)
  kWeekdays,   // 曜日を選ぶ
  kMonthDay,   // 毎月 N 日, moved to the opening day after it or before it
  kWorkDay,    // 毎月 第 N 営業日
  kFromEnd,    // 毎月 最終から N 営業日目
  kWeekStart,  // 週の最初の営業日
  kAsWritten,  // the file's days, which the words above cannot say, kept as written
};

// The number boxes, top to bottom: the month day, the work day, the work day
// from the month's end; each with its range.
enum class DaysNumber { kMonthDay, kWorkDay, kFromEnd };
inline constexpr std::array<std::pair<int, int>, 3> kDaysNumberRanges = {
    {{1, kLastMonthDay}, {1, kMostWorkDays}, {1, kMostWorkDays}}};

struct DaysChoices {
  DaysWay way = DaysWay::kEveryDay;
  unsigned weekdays = 0;                   // bit 0 Monday to bit 6 Sunday
  bool before = false;                     // a month day the list does not open on: the opening day before it
  bool someMonths = false;                 // 月を選ぶ
  unsigned months = 0;                     // bit 0 January to bit 11 December
  std::array<int, 3> numbers = {1, 1, 1};  // in the order of DaysNumber
  bool operator==(const DaysChoices&) const = default;
};

// What OK came to.
struct DaysAccepted {
  bool close = false;
  // What the user was told to mend: a number box, or with nothing the
  // weekday boxes (kWeekdays) or the month boxes (someMonths) none of which
  // is ticked.
  enum class Wrong { kNone, kNumber, kWeekdays, kMonths } wrong = Wrong::kNone;
  DaysNumber box = DaysNumber::kMonthDay;
};

// The short form of a days text the list shows beside its entry
// ("3・6・9・12月 最終営業日"), in the string table's words.
[[nodiscard]] std::wstring DaysLabel(EditorView& view, std::string_view daysText);

class EntryDaysPage {
 public:
  // The settings of `folder`, the policy's over them, give the calendar;
  // `days` is the entry's days text, or null for none.
  EntryDaysPage(EditorView& view, SystemPort& system, PolicyPort& policy, const std::wstring& folder,
                std::wstring entry, const std::string* days);

  [[nodiscard]] const std::wstring& Entry() const { return entry_; }
  // The choices the dialog opens with.
  [[nodiscard]] const DaysChoices& Loaded() const { return loaded_; }
  // The file's days when no choice of words says them (DaysWay::kAsWritten),
  // else empty.
  [[nodiscard]] const std::string& AsWritten() const { return asWritten_; }

  // The days text the choices make, the number boxes' texts read as typed
  // (in the order of DaysNumber); empty for every day. Nothing when a number
  // is out of its range or no weekday or month is ticked.
  [[nodiscard]] std::optional<std::string> DaysText(const DaysChoices& choices,
                                                    const std::array<std::wstring, 3>& numberTexts) const;
  // "次に開く日: 2027-01-05 (火)、2027-02-04 (木)、2027-03-04 (木)", from
  // today or from tomorrow once the list ran today.
  [[nodiscard]] std::wstring NextDaysText(const DaysChoices& choices,
                                          const std::array<std::wstring, 3>& numberTexts);

  // OK: the choices must make days (the user is told what to mend); then
  // they are the entry's, to be had from Chosen().
  [[nodiscard]] DaysAccepted Accept(const DaysChoices& choices,
                                    const std::array<std::wstring, 3>& numberTexts);
  // The days text OK chose (empty: every day); nothing before OK.
  [[nodiscard]] const std::optional<std::string>& Chosen() const { return chosen_; }

 private:
  EditorView& view_;
  std::wstring entry_;
  DaysChoices loaded_;
  std::string asWritten_;
  OpeningCalendar calendar_;
  std::chrono::year_month_day from_;
  std::optional<std::string> chosen_;
};

}  // namespace ombrel::editor
