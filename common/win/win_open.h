// Starting programs and calling the shell on Windows.
//
// shell32 and ole32 are loaded on the first shell call, not imported: a
// program that imports them loads some fifteen more DLLs at every start,
// which the launcher's same-day start must not pay.
#pragma once

#include <functional>

#include "entry_open.h"
#include "scoped.h"

namespace ombrel::win {

class WinOpenPort final : public OpenPort {
 public:
  // `showCannotOpen` is the editor's warning; the launcher passes none.
  using Warning = std::function<void(WindowHandle owner, const std::wstring& text)>;
  explicit WinOpenPort(Warning showCannotOpen = {}) : showCannotOpen_(std::move(showCannotOpen)) {}
  ~WinOpenPort() override;

  bool StartProgram(const std::wstring& commandLine) override;
  std::intptr_t ShellExecute(WindowHandle owner, const std::wstring& target,
                             const std::wstring& directory) override;
  void ShowCannotOpen(WindowHandle owner, const std::wstring& text) override;

 private:
  bool LoadShell();

  Warning showCannotOpen_;
  // Never freed: the shell may leave threads of its own running in them.
  HMODULE ole32_ = nullptr;
  HMODULE shell32_ = nullptr;
  bool comInitialized_ = false;
  using ShellExecuteAFn = HINSTANCE(WINAPI*)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);
  ShellExecuteAFn shellExecuteA_ = nullptr;
};

}  // namespace ombrel::win
