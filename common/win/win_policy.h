// The policy values of Windows' registry, under Software\Policies\Ombrel of
// the machine's hive and the user's. advapi32 is loaded at the first value
// asked for, from the system folder, so that a program that never asks (the
// launcher's same-day start) neither imports nor loads it.
#pragma once

#include <windows.h>

#include <array>

#include "common/schedule/policy.h"

namespace ombrel::win {

class WinPolicy final : public PolicyPort {
 public:
  WinPolicy() = default;
  WinPolicy(const WinPolicy&) = delete;
  WinPolicy& operator=(const WinPolicy&) = delete;
  ~WinPolicy() override;

  [[nodiscard]] PolicyValue Read(PolicyHive hive, std::string_view name) override;

 private:
  using GetValueFn = LSTATUS(WINAPI*)(HKEY, LPCWSTR, LPCWSTR, DWORD, LPDWORD, PVOID, LPDWORD);
  using CloseKeyFn = LSTATUS(WINAPI*)(HKEY);

  // Loads advapi32 and opens both keys, once.
  void Open();

  bool opened_ = false;
  GetValueFn getValue_ = nullptr;
  CloseKeyFn closeKey_ = nullptr;
  // Null for a hive without the key: each of its values is missing.
  std::array<HKEY, 2> keys_{};
};

}  // namespace ombrel::win
