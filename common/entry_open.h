// Opening one entry: started as a program, or handed to the Windows shell,
// with a "Mailto:" retry for a bare mail address. The decisions live here; the
// platform only starts processes and calls the shell.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ombrel {

using WindowHandle = std::uintptr_t;

class OpenPort {
 public:
  OpenPort() = default;
  OpenPort(const OpenPort&) = delete;
  OpenPort& operator=(const OpenPort&) = delete;
  virtual ~OpenPort() = default;

  // Starts the whole text as a command line in a normal window with focus and
  // returns at once. False when the program could not be started.
  [[nodiscard]] virtual bool StartProgram(const std::wstring& commandLine) = 0;

  // The shell's default action on `target`, in a normal window, with the given
  // working folder. True when the shell reports the target opened.
  [[nodiscard]] virtual bool OpenWithShell(WindowHandle owner, const std::wstring& target,
                                           const std::wstring& workingFolder) = 0;
};

// The window that owns what the shell shows. Asked for its handle only when an
// entry goes to the shell, so a launcher run of program entries alone never
// creates one.
class OwnerWindow {
 public:
  OwnerWindow() = default;
  OwnerWindow(const OwnerWindow&) = delete;
  OwnerWindow& operator=(const OwnerWindow&) = delete;
  virtual ~OwnerWindow() = default;
  virtual WindowHandle Handle() = 0;
};

// Who asks the shell. The launcher hands it an empty working folder; the
// editor "c:\", so that a document never opens in the folder a file dialog
// happened to leave current.
enum class ShellVariant { kLauncher, kEditor };

[[nodiscard]] std::wstring ShellWorkingFolder(ShellVariant variant);

// An entry holding ".exe", ".bat" or ".com" anywhere, letter case ignored.
[[nodiscard]] bool IsProgramEntry(std::wstring_view entry);

// True when the shell may retry `target` as a mail link: exactly one "@", no
// blank and at least two dots.
[[nodiscard]] bool LooksLikeMailAddress(std::wstring_view target);

// The shell's default action on `target`, and when that fails, on `retry`.
// True when either opened.
[[nodiscard]] bool OpenThroughShell(OpenPort& port, WindowHandle owner, ShellVariant variant,
                                    const std::wstring& target, const std::optional<std::wstring>& retry);

// Opens one entry. A program entry that cannot be started still goes to the
// shell, so a web address that merely holds ".com" opens in the browser. True
// when the entry was opened; the launcher skips one that was not in silence,
// the editor says so.
[[nodiscard]] bool OpenEntry(OpenPort& port, OwnerWindow& owner, ShellVariant variant,
                             const std::wstring& entry);

}  // namespace ombrel
