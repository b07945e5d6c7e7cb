// List1 as the editor sees it: a single-selection, unsorted list box of
// entries. Positions count from 0; -1 is "nothing selected".
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

namespace ombrel::editor {

class ListBox {
 public:
  void Attach(HWND control) { control_ = control; }

  [[nodiscard]] std::ptrdiff_t Count() const;
  [[nodiscard]] std::wstring Item(std::ptrdiff_t index) const;
  // Keeps the selection on the entry it was on.
  void Insert(std::ptrdiff_t index, const std::wstring& text) const;
  // At the end, where no selection can move: one message an entry, half of
  // what Insert sends, for the tens of thousands a long list loads. False
  // when the list box refused it (LB_ERR, LB_ERRSPACE).
  [[nodiscard]] bool Append(const std::wstring& text) const;
  void Remove(std::ptrdiff_t index) const;
  [[nodiscard]] std::ptrdiff_t Selection() const;
  void Select(std::ptrdiff_t index) const;
  // Room for a whole list at once, rather than a few entries at a time while
  // a long one loads.
  void Reserve(std::size_t count, std::size_t characters) const;
  // A long list is drawn once, when it is complete.
  void SetRedraw(bool redraw) const;

 private:
  HWND control_ = nullptr;
};

}  // namespace ombrel::editor
