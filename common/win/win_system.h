// The real files, clock and ANSI code page of Windows. Touches kernel32 alone,
// which keeps the launcher's same-day start cheap.
#pragma once

#include "common/port/system_port.h"

namespace ombrel {

// The folder of the running program.
[[nodiscard]] std::wstring ProgramFolder();

namespace win {

// Whether something is at `path` that has none of the attributes in
// `excluded` (FILE_ATTRIBUTE_*): a file, with FILE_ATTRIBUTE_DIRECTORY; an
// ordinary file, with hidden and system too; any name taken, with none.
[[nodiscard]] bool PathExists(const std::wstring& path, unsigned long excluded);

class WinSystem final : public SystemPort {
 public:
  [[nodiscard]] FileRead ReadAll(const std::wstring& path) override;
  [[nodiscard]] FileRead ReadStart(const std::wstring& path, std::size_t limit) override;
  [[nodiscard]] FileRead ReadEnd(const std::wstring& path, std::size_t limit) override;
  [[nodiscard]] bool WriteAll(const std::wstring& path, std::string_view bytes) override;
  [[nodiscard]] SaveResult ReplaceAll(const std::wstring& path, std::string_view bytes) override;
  [[nodiscard]] std::unique_ptr<FileAppender> OpenForAppend(const std::wstring& path) override;
  [[nodiscard]] bool HeldByWriter(const std::wstring& path) override;
  [[nodiscard]] std::vector<std::wstring> FindFiles(const std::wstring& pattern) override;
  [[nodiscard]] bool RemoveFile(const std::wstring& path) override;
  [[nodiscard]] bool IsOrdinaryFile(const std::wstring& path) override;
  [[nodiscard]] LocalTime Now() override;
  [[nodiscard]] std::uint32_t ProcessId() override;
  [[nodiscard]] std::wstring ErrorText(std::uint32_t code) override;
  [[nodiscard]] unsigned AnsiCodePage() override;
  [[nodiscard]] std::optional<std::string> ToCodePage(unsigned codePage, const std::wstring& text) override;
  [[nodiscard]] std::wstring FromCodePage(unsigned codePage, std::string_view bytes) override;
};

}  // namespace win
}  // namespace ombrel
