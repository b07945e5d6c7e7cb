// The editor's list commands: every change of the entries and the selection
// is decided here, then shown through the view's mirror of the list.
#include <algorithm>
#include <utility>

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

void Editor::DeleteEntry() {
  if (selected_ < 0) return;
  const std::ptrdiff_t at = selected_;
  view_.SetEditText(entries_[At(at)]);
  entries_.erase(entries_.begin() + at);
  view_.ShowRemoved(at);
  modified_ = true;
  // The entry that followed takes the place; after the last, the new last.
  Select(std::min(at, std::ssize(entries_) - 1));
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
