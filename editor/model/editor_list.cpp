// The editor's list commands: every change of the entries and the selection
// is decided here, then shown through the view's mirror of the list.
#include <algorithm>
#include <utility>

#include "common/schedule/entry_days.h"
#include "editor/model/editor.h"

namespace ombrel::editor {

namespace {

std::size_t At(std::ptrdiff_t index) { return static_cast<std::size_t>(index); }

}  // namespace

void Editor::Select(std::ptrdiff_t index) {
  selected_ = index >= 0 && At(index) < entries_.size() ? index : -1;
  view_.ShowSelection(selected_);
}

void Editor::InsertAt(std::ptrdiff_t index, std::wstring entry) {
  entries_.insert(entries_.begin() + index, std::move(entry));
  view_.ShowInserted(index, entries_[At(index)]);
  modified_ = true;
}

void Editor::SelectEntry(std::ptrdiff_t index) { Select(index); }

void Editor::InsertEntry() {
  // With entries but none selected, nothing the user typed is dropped: the
  // text goes to the end and becomes the selected entry.
  const std::ptrdiff_t at = selected_ >= 0 ? selected_ : std::ssize(entries_);
  InsertAt(at, view_.EditText());
  Select(at);
}

void Editor::RemoveAt(std::ptrdiff_t index) {
  const std::wstring entry = std::move(entries_[At(index)]);
  entries_.erase(entries_.begin() + index);
  view_.ShowRemoved(index);
  modified_ = true;
  // The last entry of its text gone, its days go too: put back with 挿入, it
  // is a new entry. A line of the file that names no entry of the list at
  // all was never the editor's to drop.
  if (std::ranges::find(entries_, entry) == entries_.end()) SetDays(entry, {});
}

void Editor::DeleteEntry() {
  if (selected_ < 0) return;
  const std::ptrdiff_t at = selected_;
  view_.SetEditText(entries_[At(at)]);
  RemoveAt(at);
  // The entry that followed takes the place; after the last, the new last.
  Select(std::min(at, std::ssize(entries_) - 1));
}

void Editor::ReplaceSelectedEntry() {
  if (selected_ < 0) return;
  const std::ptrdiff_t at = selected_;
  std::wstring text = view_.EditText();
  if (text == entries_[At(at)]) return;
  const std::string* own = DaysOf(entries_[At(at)]);
  const std::optional<std::string> kept = own != nullptr ? std::optional(*own) : std::nullopt;
  RemoveAt(at);
  // Without days of its own, it takes those its new text may have.
  if (kept) SetDays(text, *kept);
  InsertAt(at, std::move(text));
  Select(at);
}

const std::string* Editor::DaysOf(const std::wstring& entry) const {
  const auto days = days_.find(entry);
  return days == days_.end() ? nullptr : &days->second;
}

bool Editor::SelectedEntryCanHaveDays() const {
  return selected_ >= 0 && CanHaveOwnDays(entries_[At(selected_)]);
}

void Editor::SetDays(const std::wstring& entry, const std::string& days) {
  const std::string* now = DaysOf(entry);
  if (now == nullptr ? days.empty() : *now == days) return;
  if (days.empty()) {
    days_.erase(entry);
  } else {
    days_[entry] = days;
  }
  daysChanged_.insert(entry);
  modified_ = true;
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (entries_[i] == entry) view_.ShowDaysChanged(static_cast<std::ptrdiff_t>(i));
  }
}

void Editor::AppendEntry() { InsertAt(std::ssize(entries_), view_.EditText()); }

void Editor::CopySelectedEntryToEditBox() {
  if (selected_ >= 0) view_.SetEditText(entries_[At(selected_)]);
}

bool Editor::SelectedEntryCanMove(Direction direction) const {
  const std::ptrdiff_t to = selected_ + static_cast<std::ptrdiff_t>(direction);
  return selected_ >= 0 && to >= 0 && to < std::ssize(entries_);
}

void Editor::MoveSelectedEntry(Direction direction) {
  if (!SelectedEntryCanMove(direction)) return;
  const std::ptrdiff_t from = selected_;
  const std::ptrdiff_t to = from + static_cast<std::ptrdiff_t>(direction);
  std::swap(entries_[At(from)], entries_[At(to)]);
  view_.ShowMoved(from, to);
  modified_ = true;
  Select(to);
}

void Editor::DropOnList(const std::vector<std::wstring>& paths) {
  if (paths.empty()) return;
  // In front of the selected entry, as an insert puts it, keeping the order
  // they were dropped in.
  std::ptrdiff_t at = selected_ >= 0 ? selected_ : std::ssize(entries_);
  for (const std::wstring& path : paths) InsertAt(at++, EntryForDroppedPath(open_, path));
  Select(at - 1);
}

void Editor::DropOnEditBox(const std::vector<std::wstring>& paths) {
  if (!paths.empty()) view_.SetEditText(EntryForDroppedPath(open_, paths.front()));
}

}  // namespace ombrel::editor
