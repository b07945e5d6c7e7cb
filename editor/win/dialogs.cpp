#include "editor/win/dialogs.h"

#include <commdlg.h>

#include <algorithm>
#include <vector>

namespace ombrel::editor {

namespace {

// Room for any path the open-file dialog can give, long paths included.
constexpr DWORD kFileNameCapacity = 32 * 1024;

UINT MessageBoxStyle(MessageKind kind) {
  switch (kind) {
    case MessageKind::kWarning:
      return MB_ICONEXCLAMATION | MB_OK;
    case MessageKind::kLeaveQuestion:
      return MB_ICONEXCLAMATION | MB_YESNO;
    case MessageKind::kRunAgainQuestion:
      return MB_ICONQUESTION | MB_YESNO | MB_DEFBUTTON1;
    case MessageKind::kReplaceQuestion:
      return MB_ICONQUESTION | MB_YESNO | MB_DEFBUTTON2;
    case MessageKind::kInformation:
      return MB_ICONINFORMATION | MB_OK;
    case MessageKind::kOverwriteQuestion:
      // An Enter pressed without reading must not write over another
      // program's change.
      return MB_ICONEXCLAMATION | MB_YESNO | MB_DEFBUTTON2;
  }
  return MB_OK;
}

// "label|pattern|label|pattern" as the dialog wants it: each piece ended by a
// NUL, and one more NUL at the end.
std::wstring DialogFilter(const std::wstring& filter) {
  std::wstring pairs = filter;
  std::replace(pairs.begin(), pairs.end(), L'|', L'\0');
  pairs.push_back(L'\0');
  pairs.push_back(L'\0');
  return pairs;
}

}  // namespace

std::wstring LoadProgramText(HINSTANCE instance, int id) {
  // The resource itself, not a copy into a buffer of guessed size: long texts
  // and trailing spaces come through whole.
  const wchar_t* resource = nullptr;
  const int length = ::LoadStringW(instance, static_cast<UINT>(id), reinterpret_cast<LPWSTR>(&resource), 0);
  return length > 0 && resource != nullptr ? std::wstring(resource, static_cast<std::size_t>(length))
                                           : std::wstring();
}

Answer ShowMessageBox(HWND owner, MessageKind kind, const std::wstring& text, const std::wstring& caption) {
  switch (::MessageBoxW(owner, text.c_str(), caption.c_str(), MessageBoxStyle(kind))) {
    case IDYES:
      return Answer::kYes;
    case IDNO:
      return Answer::kNo;
    default:
      return Answer::kOk;
  }
}

std::optional<std::wstring> ShowOpenFileDialog(HWND owner, const std::wstring& title,
                                               const std::wstring& filter) {
  const std::wstring pairs = DialogFilter(filter);
  std::vector<wchar_t> fileName(kFileNameCapacity, L'\0');
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = pairs.c_str();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = fileName.data();
  dialog.nMaxFile = kFileNameCapacity;
  dialog.lpstrTitle = title.c_str();
  // The dialog's own defaults otherwise; opening "read-only" means nothing for
  // a path that only goes into the edit box. The current folder stays where it
  // was: left where the user browsed, it would be searched for a program of a
  // bare name before Windows' own.
  dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (!::GetOpenFileNameW(&dialog)) return std::nullopt;
  return std::wstring(fileName.data());
}

}  // namespace ombrel::editor
