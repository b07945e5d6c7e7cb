#include "editor/win/list_box.h"

#include "common/win/scoped.h"

namespace ombrel::editor {

bool ListBox::Fill(const std::vector<std::wstring>& entries) const {
  std::size_t characters = 0;
  for (const std::wstring& entry : entries) characters += entry.size();
  SetRedraw(false);
  ::SendMessageW(control_, LB_RESETCONTENT, 0, 0);
  ::SendMessageW(control_, LB_INITSTORAGE, entries.size(),
                 static_cast<LPARAM>((characters + entries.size()) * sizeof(wchar_t)));
  bool taken = true;
  for (const std::wstring& entry : entries) {
    // At the end, where no selection can move: one message an entry.
    if (::SendMessageW(control_, LB_INSERTSTRING, static_cast<WPARAM>(-1),
                       reinterpret_cast<LPARAM>(entry.c_str())) < 0) {
      taken = false;
      break;
    }
  }
  SetRedraw(true);
  return taken;
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
  ::SendMessageW(control_, LB_INSERTSTRING, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(text.c_str()));
}

void ListBox::Remove(std::ptrdiff_t index) const {
  ::SendMessageW(control_, LB_DELETESTRING, static_cast<WPARAM>(index), 0);
}

void ListBox::Move(std::ptrdiff_t from, std::ptrdiff_t to) const {
  const std::wstring text = Item(from);
  Remove(from);
  Insert(to, text);
}

std::ptrdiff_t ListBox::Selection() const {
  const LRESULT selected = ::SendMessageW(control_, LB_GETCURSEL, 0, 0);
  return selected == LB_ERR ? -1 : selected;
}

void ListBox::Select(std::ptrdiff_t index) const {
  ::SendMessageW(control_, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

std::ptrdiff_t ListBox::ItemAt(POINT screen) const {
  POINT client = screen;
  ::ScreenToClient(control_, &client);
  RECT inside{};
  ::GetClientRect(control_, &inside);
  const LRESULT height = ::SendMessageW(control_, LB_GETITEMHEIGHT, 0, 0);
  if (::PtInRect(&inside, client) == FALSE || height <= 0) return -1;
  // Every entry has the same height. Counted from the top one shown rather
  // than through LB_ITEMFROMPOINT, whose answer holds 16 bits of position.
  const LRESULT index = ::SendMessageW(control_, LB_GETTOPINDEX, 0, 0) + client.y / height;
  return index < ::SendMessageW(control_, LB_GETCOUNT, 0, 0) ? index : -1;
}

POINT ListBox::SelectionPoint() const {
  RECT inside{};
  ::GetClientRect(control_, &inside);
  RECT item{};
  RECT shown{};
  const bool visible = ::SendMessageW(control_, LB_GETITEMRECT, static_cast<WPARAM>(Selection()),
                                      reinterpret_cast<LPARAM>(&item)) != LB_ERR &&
                       Selection() >= 0 && ::IntersectRect(&shown, &item, &inside) != FALSE;
  const RECT& area = visible ? shown : inside;
  POINT middle{(area.left + area.right) / 2, (area.top + area.bottom) / 2};
  ::ClientToScreen(control_, &middle);
  return middle;
}

void ListBox::Draw(const DRAWITEMSTRUCT& item, const std::wstring& daysLabel) const {
  if (item.itemID == static_cast<UINT>(-1)) {
    // An empty list with the focus shows where the caret would be.
    if ((item.itemState & ODS_FOCUS) != 0) ::DrawFocusRect(item.hDC, &item.rcItem);
    return;
  }
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  const bool disabled = (item.itemState & ODS_DISABLED) != 0;
  ::FillRect(item.hDC, &item.rcItem, ::GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  const int mode = ::SetBkMode(item.hDC, TRANSPARENT);
  RECT text = item.rcItem;
  // As the list box itself indents its text.
  text.left += 2;
  text.right -= 2;
  constexpr UINT kFormat = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
  if (!daysLabel.empty()) {
    RECT label = text;
    ::DrawTextW(item.hDC, daysLabel.c_str(), static_cast<int>(daysLabel.size()), &label,
                kFormat | DT_CALCRECT);
    const int width = label.right - label.left;
    label = {text.right - width, text.top, text.right, text.bottom};
    // Grey on the window's colour, the highlight's text colour when selected.
    ::SetTextColor(item.hDC, ::GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_GRAYTEXT));
    ::DrawTextW(item.hDC, daysLabel.c_str(), static_cast<int>(daysLabel.size()), &label, kFormat);
    text.right = label.left - 8;
  }
  const std::wstring entry = Item(static_cast<std::ptrdiff_t>(item.itemID));
  const int color = disabled ? COLOR_GRAYTEXT : selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT;
  ::SetTextColor(item.hDC, ::GetSysColor(color));
  ::DrawTextW(item.hDC, entry.c_str(), static_cast<int>(entry.size()), &text,
              kFormat | (daysLabel.empty() ? 0U : static_cast<UINT>(DT_END_ELLIPSIS)));
  ::SetBkMode(item.hDC, mode);
  if ((item.itemState & ODS_FOCUS) != 0) ::DrawFocusRect(item.hDC, &item.rcItem);
}

void ListBox::Redraw(std::ptrdiff_t index) const {
  RECT item{};
  if (::SendMessageW(control_, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)) !=
      LB_ERR) {
    ::InvalidateRect(control_, &item, TRUE);
  }
}

UINT ListBox::FontHeight(HFONT font) const {
  const win::ScopedWindowDC dc(control_);
  const win::ScopedSelect selected(dc.get(), font);
  TEXTMETRICW metrics{};
  ::GetTextMetricsW(dc.get(), &metrics);
  return static_cast<UINT>(metrics.tmHeight);
}

void ListBox::SetItemHeight(UINT height) const {
  ::SendMessageW(control_, LB_SETITEMHEIGHT, 0, MAKELPARAM(height, 0));
}

void ListBox::SetRedraw(bool redraw) const {
  ::SendMessageW(control_, WM_SETREDRAW, redraw ? TRUE : FALSE, 0);
  if (redraw) ::InvalidateRect(control_, nullptr, TRUE);
}

}  // namespace ombrel::editor
