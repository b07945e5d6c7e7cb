#include "common/win/error_text.h"

namespace ombrel::win {

std::wstring WindowsErrorText(DWORD code, HMODULE messages) {
  wchar_t* text = nullptr;
  const DWORD length = ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                            FORMAT_MESSAGE_IGNORE_INSERTS |
                                            (messages != nullptr ? FORMAT_MESSAGE_FROM_HMODULE : 0),
                                        messages, code, 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
  std::wstring words = length > 0 ? std::wstring(text, length) : std::wstring();
  ::LocalFree(text);
  while (!words.empty() && (words.back() == L'\r' || words.back() == L'\n' || words.back() == L' ')) {
    words.pop_back();
  }
  return words;
}

}  // namespace ombrel::win
