// Opening one entry: started as a program, or handed to the Windows shell,
// with a "Mailto:" retry for a bare mail address. The decisions live here; the
// platform only starts processes and calls the shell.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ombrel {

using WindowHandle = std::uintptr_t;

// How a program is started. With `application` empty, Windows finds the
// program from the command line's first word, as it does for a bare name such
// as notepad.exe; with it given, Windows starts exactly that file.
struct ProgramStart {
  std::wstring application;
  std::wstring commandLine;
  bool operator==(const ProgramStart&) const = default;
};

class OpenPort {
 public:
  OpenPort() = default;
  OpenPort(const OpenPort&) = delete;
  OpenPort& operator=(const OpenPort&) = delete;
  virtual ~OpenPort() = default;

  // Starts a program in a normal window with focus and returns at once. False
  // when it could not be started.
  [[nodiscard]] virtual bool StartProgram(const ProgramStart& program) = 0;

  // True when `path` names an existing file (not a folder).
  [[nodiscard]] virtual bool IsFile(const std::wstring& path) = 0;

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

// A bare mail address: exactly one "@", no blank, no "\", "/" or ":", and a
// dot after the "@". Never started as a program, even when it holds ".com".
[[nodiscard]] bool IsMailAddress(std::wstring_view entry);

// An entry holding ".exe", ".bat" or ".com" anywhere, letter case ignored,
// that is not a mail address.
[[nodiscard]] bool IsProgramEntry(std::wstring_view entry);

// True when the shell may retry `target` as a "Mailto:" link: a mail address,
// or, as always, a text with exactly one "@", no blank and two dots or more.
[[nodiscard]] bool MayBeMailLink(std::wstring_view target);

// How a program entry is started, or nothing when it cannot be started
// safely. An unquoted entry that names a folder and holds a blank starts the
// first prefix that ends with ".exe", ".bat" or ".com", is followed by a blank
// or the end, and is an existing file, with the rest as its arguments; never
// a shorter one, such as C:\Program.exe for C:\Program Files\App\app.exe.
// Every other program entry is its own command line, as always.
[[nodiscard]] std::optional<ProgramStart> PlanProgramStart(OpenPort& port, const std::wstring& entry);

// The shell's default action on `target`, and when that fails, on `retry`.
// True when either opened.
[[nodiscard]] bool OpenThroughShell(OpenPort& port, WindowHandle owner, ShellVariant variant,
                                    const std::wstring& target, const std::optional<std::wstring>& retry);

// The most characters a Windows command line, or a path in its long form, may
// hold; a longer entry cannot be opened.
inline constexpr std::size_t kLongestEntryToOpen = 32767;

// Opens one entry. A program entry that cannot be started still goes to the
// shell, so a web address that merely holds ".com" opens in the browser. True
// when the entry was opened; the launcher skips one that was not in silence,
// the editor says so.
[[nodiscard]] bool OpenEntry(OpenPort& port, OwnerWindow& owner, ShellVariant variant,
                             const std::wstring& entry);

}  // namespace ombrel
