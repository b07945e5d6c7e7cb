// Starting programs and calling the shell on Windows.
//
// shell32 and ole32 are loaded on the first shell call, not imported: a
// program that imports them loads some fifteen more DLLs at every start,
// which the launcher's same-day start must not pay.
#pragma once

#include <windows.h>

#include <shellapi.h>

#include <optional>

#include "common/open/entry_open.h"
#include "common/win/com_apartment.h"

namespace ombrel::win {

class WinOpenPort final : public OpenPort {
 public:
  WinOpenPort() = default;

  [[nodiscard]] OpenAttempt StartProgram(const ProgramStart& program,
                                         const std::wstring& workingFolder) override;
  [[nodiscard]] bool IsFile(const std::wstring& path) override;
  [[nodiscard]] OpenAttempt OpenWithShell(WindowHandle owner, const std::wstring& target,
                                          const std::wstring& workingFolder) override;

 private:
  [[nodiscard]] bool LoadShell();

  // Never freed: the shell may leave threads of its own running in it.
  HMODULE shell32_ = nullptr;
  std::optional<ComApartment> com_;
  using ShellExecuteExWFn = BOOL(WINAPI*)(SHELLEXECUTEINFOW*);
  ShellExecuteExWFn shellExecuteExW_ = nullptr;
};

}  // namespace ombrel::win
