// List1 as the editor's view shows it: a single-selection, unsorted list box
// that mirrors the editor's entries. Positions count from 0; -1 is "nothing
// selected".
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

namespace ombrel::editor {

class ListBox {
 public:
  void Attach(HWND control) { control_ = control; }
  [[nodiscard]] HWND control() const { return control_; }

  // A whole list at once, drawn when it is complete: room for all of it is
  // reserved first, and each entry goes to the end with one message. False
  // when the list box refused one (LB_ERR, LB_ERRSPACE).
  [[nodiscard]] bool Fill(const std::vector<std::wstring>& entries) const;
  void Insert(std::ptrdiff_t index, const std::wstring& text) const;
  void Remove(std::ptrdiff_t index) const;
  void Move(std::ptrdiff_t from, std::ptrdiff_t to) const;
  [[nodiscard]] std::ptrdiff_t Selection() const;
  void Select(std::ptrdiff_t index) const;
  // The entry at a point of the screen, or -1 where there is none.
  [[nodiscard]] std::ptrdiff_t ItemAt(POINT screen) const;
  // The middle of the selected entry, or of the list when it shows none, on
  // the screen: where a menu opened from the keyboard stands.
  [[nodiscard]] POINT SelectionPoint() const;

  // The list is drawn by its window: an entry's text as the list box would
  // draw it, and its days' short form in grey at the right, the text cut
  // short before it.
  void Draw(const DRAWITEMSTRUCT& item, const std::wstring& daysLabel) const;
  // The entry drawn again.
  void Redraw(std::ptrdiff_t index) const;
  // An entry's height in this font, as the list box gives it to one it draws.
  [[nodiscard]] UINT FontHeight(HFONT font) const;
  void SetItemHeight(UINT height) const;

 private:
  [[nodiscard]] std::wstring Item(std::ptrdiff_t index) const;
  // A long list is drawn once, when it is complete.
  void SetRedraw(bool redraw) const;

  HWND control_ = nullptr;
};

}  // namespace ombrel::editor
