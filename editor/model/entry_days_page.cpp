#include "editor/model/entry_days_page.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "common/schedule/settings.h"
#include "editor/model/settings_page.h"
#include "editor/model/typed_text.h"
#include "editor/resource.h"

namespace ombrel::editor {

namespace {

// The way of one kind of term, when the entry has that term alone.
std::optional<DaysWay> WayOfTerm(const DayTerm& term) {
  switch (term.kind) {
    case DayTerm::Kind::kMonthDay:
      return DaysWay::kMonthDay;
    case DayTerm::Kind::kWorkDay:
      return term.number > 0 ? DaysWay::kWorkDay : DaysWay::kFromEnd;
    case DayTerm::Kind::kWeekStart:
      return DaysWay::kWeekStart;
    case DayTerm::Kind::kWeekday:
      break;
  }
  return std::nullopt;
}

// The choices that say `days`; nothing when none do.
std::optional<DaysChoices> ChoicesOf(const EntryDays& days) {
  DaysChoices choices;
  choices.someMonths = days.months != 0;
  choices.months = days.months;
  const bool weekdaysAlone = std::ranges::all_of(
      days.terms, [](const DayTerm& term) { return term.kind == DayTerm::Kind::kWeekday; });
  if (days.terms.empty()) return choices;
  if (weekdaysAlone) {
    choices.way = DaysWay::kWeekdays;
    for (const DayTerm& term : days.terms) choices.weekdays |= 1U << static_cast<unsigned>(term.number);
    return choices;
  }
  if (days.terms.size() != 1) return std::nullopt;
  const DayTerm& term = days.terms.front();
  choices.way = *WayOfTerm(term);
  choices.before = term.before;
  if (choices.way == DaysWay::kMonthDay) choices.numbers[0] = term.number;
  if (choices.way == DaysWay::kWorkDay) choices.numbers[1] = term.number;
  if (choices.way == DaysWay::kFromEnd) choices.numbers[2] = -term.number;
  return choices;
}

std::optional<DaysNumber> NumberBoxOf(DaysWay way) {
  switch (way) {
    case DaysWay::kMonthDay:
      return DaysNumber::kMonthDay;
    case DaysWay::kWorkDay:
      return DaysNumber::kWorkDay;
    case DaysWay::kFromEnd:
      return DaysNumber::kFromEnd;
    default:
      return std::nullopt;
  }
}

std::optional<int> NumberIn(DaysNumber box, const std::array<std::wstring, 3>& numberTexts) {
  const auto index = static_cast<std::size_t>(box);
  const std::optional<int> value = ParseNumberText(numberTexts[index]);
  if (!value || *value < kDaysNumberRanges[index].first || *value > kDaysNumberRanges[index].second) {
    return std::nullopt;
  }
  return value;
}

}  // namespace

std::wstring DaysLabel(EditorView& view, std::string_view daysText) {
  const std::optional<EntryDays> days = ParseEntryDays(daysText);
  if (!days) return view.LoadText(IDS_DAYS_LABEL_BAD);
  std::wstring months;
  for (int month = 1; month <= 12; ++month) {
    if ((days->months >> (month - 1) & 1U) == 0) continue;
    if (!months.empty()) months += view.LoadText(IDS_DAYS_LABEL_JOIN);
    months += std::to_wstring(month);
  }
  std::wstring label = months.empty() ? std::wstring() : FillIn(view.LoadText(IDS_DAYS_LABEL_MONTHS), months);
  const std::vector<std::wstring> weekdays = SplitAtBars(view.LoadText(IDS_DAYS_LABEL_WEEKDAYS));
  std::wstring terms;
  DayTerm::Kind last = DayTerm::Kind::kWeekStart;
  for (const DayTerm& term : days->terms) {
    // Weekdays run together: "月・水・金".
    if (!terms.empty()) {
      const bool weekdayRun = term.kind == DayTerm::Kind::kWeekday && last == DayTerm::Kind::kWeekday;
      terms += view.LoadText(weekdayRun ? IDS_DAYS_LABEL_JOIN : IDS_DAYS_LABEL_SEPARATOR);
    }
    last = term.kind;
    switch (term.kind) {
      case DayTerm::Kind::kWeekday:
        terms += weekdays.at(static_cast<std::size_t>(term.number) % weekdays.size());
        break;
      case DayTerm::Kind::kMonthDay:
        terms += term.number == kLastMonthDay
                     ? view.LoadText(IDS_DAYS_LABEL_LAST_DAY)
                     : FillIn(view.LoadText(IDS_DAYS_LABEL_MONTH_DAY), term.number, 0);
        if (term.before) terms += view.LoadText(IDS_DAYS_LABEL_BEFORE);
        break;
      case DayTerm::Kind::kWorkDay:
        terms += term.number > 0     ? FillIn(view.LoadText(IDS_DAYS_LABEL_WORK_DAY), term.number, 0)
                 : term.number == -1 ? view.LoadText(IDS_DAYS_LABEL_LAST_WORK_DAY)
                                     : FillIn(view.LoadText(IDS_DAYS_LABEL_FROM_END), -term.number, 0);
        break;
      case DayTerm::Kind::kWeekStart:
        terms += view.LoadText(IDS_DAYS_LABEL_WEEK_START);
        break;
    }
  }
  if (!label.empty() && !terms.empty()) label += L' ';
  return label + terms;
}

EntryDaysPage::EntryDaysPage(EditorView& view, SystemPort& system, PolicyPort& policy,
                             const std::wstring& folder, std::wstring entry, const std::string* days)
    : view_(view),
      entry_(std::move(entry)),
      calendar_(ApplyPolicy(policy, LoadSettings(system, folder).parsed.settings).settings),
      from_(FirstDayToCome(system, folder)) {
  if (days == nullptr) return;
  const std::optional<EntryDays> parsed = ParseEntryDays(*days);
  const std::optional<DaysChoices> choices = parsed ? ChoicesOf(*parsed) : std::nullopt;
  if (choices) {
    loaded_ = *choices;
  } else {
    loaded_.way = DaysWay::kAsWritten;
    asWritten_ = *days;
  }
}

std::optional<std::string> EntryDaysPage::DaysText(const DaysChoices& choices,
                                                   const std::array<std::wstring, 3>& numberTexts) const {
  if (choices.way == DaysWay::kAsWritten) return asWritten_;
  EntryDays days;
  if (choices.way == DaysWay::kWeekdays) {
    for (int day = 0; day < 7; ++day) {
      if ((choices.weekdays >> day & 1U) != 0) days.terms.push_back({DayTerm::Kind::kWeekday, day, false});
    }
    if (days.terms.empty()) return std::nullopt;
  } else if (choices.way == DaysWay::kWeekStart) {
    days.terms.push_back({DayTerm::Kind::kWeekStart, 1, false});
  } else if (const std::optional<DaysNumber> box = NumberBoxOf(choices.way)) {
    const std::optional<int> value = NumberIn(*box, numberTexts);
    if (!value) return std::nullopt;
    if (box == DaysNumber::kMonthDay)
      days.terms.push_back({DayTerm::Kind::kMonthDay, *value, choices.before});
    if (box == DaysNumber::kWorkDay) days.terms.push_back({DayTerm::Kind::kWorkDay, *value, false});
    if (box == DaysNumber::kFromEnd) days.terms.push_back({DayTerm::Kind::kWorkDay, -*value, false});
  }
  if (choices.someMonths) {
    if (choices.months == 0) return std::nullopt;
    days.months = choices.months;
  }
  // Every day of every month is no day of its own.
  return days.terms.empty() && days.months == 0 ? std::string() : EntryDaysText(days);
}

std::wstring EntryDaysPage::NextDaysText(const DaysChoices& choices,
                                         const std::array<std::wstring, 3>& numberTexts) {
  const std::optional<std::string> text = DaysText(choices, numberTexts);
  if (!text) return view_.LoadText(IDS_DAYS_NO_NEXT);
  // Every day the list opens is every month's: so is a line that cannot be
  // read, which the launcher passes over.
  const std::optional<EntryDays> days = ParseEntryDays(*text);
  const std::vector<std::chrono::year_month_day> next =
      EntryDaysFrom(days.value_or(EntryDays{{}, kEveryMonth}), calendar_, from_, 3);
  if (next.empty()) return view_.LoadText(IDS_DAYS_NO_NEXT);
  std::wstring shown = view_.LoadText(IDS_DAYS_NEXT);
  for (std::size_t i = 0; i < next.size(); ++i) {
    if (i > 0) shown += view_.LoadText(IDS_DAYS_LABEL_SEPARATOR);
    shown += DayText(next[i]);
  }
  return shown;
}

DaysAccepted EntryDaysPage::Accept(const DaysChoices& choices,
                                   const std::array<std::wstring, 3>& numberTexts) {
  if (std::optional<std::string> text = DaysText(choices, numberTexts)) {
    chosen_ = std::move(text);
    return {true};
  }
  DaysAccepted refused;
  const std::optional<DaysNumber> box = NumberBoxOf(choices.way);
  if (choices.way == DaysWay::kWeekdays && choices.weekdays == 0) {
    refused.wrong = DaysAccepted::Wrong::kWeekdays;
    view_.ShowMessage(MessageKind::kWarning, view_.LoadText(IDS_DAYS_NO_WEEKDAY));
  } else if (box && !NumberIn(*box, numberTexts)) {
    refused.wrong = DaysAccepted::Wrong::kNumber;
    refused.box = *box;
    const auto [low, high] = kDaysNumberRanges[static_cast<std::size_t>(*box)];
    view_.ShowMessage(MessageKind::kWarning, FillIn(view_.LoadText(IDS_DAYS_OUT_OF_RANGE), low, high));
  } else {
    refused.wrong = DaysAccepted::Wrong::kMonths;
    view_.ShowMessage(MessageKind::kWarning, view_.LoadText(IDS_DAYS_NO_MONTH));
  }
  return refused;
}

void Editor::EditSelectedEntryDays() {
  if (!SelectedEntryCanHaveDays()) return;
  const std::wstring entry = entries_[static_cast<std::size_t>(selected_)];
  EntryDaysPage page(view_, system_, policy_, folder_, entry, DaysOf(entry));
  view_.ShowEntryDays(page);
  if (page.Chosen()) SetDays(entry, *page.Chosen());
}

std::wstring Editor::DaysLabel(std::ptrdiff_t index) {
  if (index < 0 || static_cast<std::size_t>(index) >= entries_.size()) return {};
  const std::string* days = DaysOf(entries_[static_cast<std::size_t>(index)]);
  return days == nullptr ? std::wstring() : editor::DaysLabel(view_, *days);
}

}  // namespace ombrel::editor
