#include "list_box.h"

namespace ombrel::editor {

std::ptrdiff_t ListBox::Count() const {
  const LRESULT count = ::SendMessageW(control_, LB_GETCOUNT, 0, 0);
  return count == LB_ERR ? 0 : count;
}

std::wstring ListBox::Item(std::ptrdiff_t index) const {
  const LRESULT length = ::SendMessageW(control_, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length == LB_ERR) return {};
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const LRESULT copied =
      ::SendMessageW(control_, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  text.resize(copied == LB_ERR ? 0 : static_cast<std::size_t>(copied));
  return text;
}

void ListBox::Insert(std::ptrdiff_t index, const std::wstring& text) const {
  const std::ptrdiff_t selected = Selection();
  ::SendMessageW(control_, LB_INSERTSTRING, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(text.c_str()));
  // A list box does not promise to keep its selection on the same entry
  // when one is inserted in front of it.
  if (selected >= 0 && selected >= index) Select(selected + 1);
}

bool ListBox::Append(const std::wstring& text) const {
  return ::SendMessageW(control_, LB_INSERTSTRING, static_cast<WPARAM>(-1),
                        reinterpret_cast<LPARAM>(text.c_str())) >= 0;
}

void ListBox::Remove(std::ptrdiff_t index) const {
  ::SendMessageW(control_, LB_DELETESTRING, static_cast<WPARAM>(index), 0);
}

std::ptrdiff_t ListBox::Selection() const {
  const LRESULT selected = ::SendMessageW(control_, LB_GETCURSEL, 0, 0);
  return selected == LB_ERR ? -1 : selected;
}

void ListBox::Select(std::ptrdiff_t index) const {
  ::SendMessageW(control_, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void ListBox::Reserve(std::size_t count, std::size_t characters) const {
  ::SendMessageW(control_, LB_INITSTORAGE, count,
                 static_cast<LPARAM>((characters + count) * sizeof(wchar_t)));
}

void ListBox::SetRedraw(bool redraw) const {
  ::SendMessageW(control_, WM_SETREDRAW, redraw ? TRUE : FALSE, 0);
  if (redraw) ::InvalidateRect(control_, nullptr, TRUE);
}

}  // namespace ombrel::editor
