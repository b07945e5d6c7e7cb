// The real files, clock and ANSI code page of Windows. Touches kernel32 alone,
// which keeps the launcher's same-day start cheap.
#pragma once

#include "system_port.h"

namespace ombrel::win {

class WinSystem final : public SystemPort {
 public:
  std::optional<std::string> ReadAll(const std::wstring& path) override;
  bool WriteAll(const std::wstring& path, std::string_view bytes) override;
  bool ReplaceAll(const std::wstring& path, std::string_view bytes) override;
  bool IsOrdinaryFile(const std::wstring& path) override;
  LocalTime Now() override;
  std::string ToAnsi(const std::wstring& text) override;
  std::wstring FromAnsi(std::string_view bytes) override;
};

}  // namespace ombrel::win
