// Opening one entry: started as a program, or handed to the Windows shell,
// with a "Mailto:" retry for a bare mail address. The decisions live here; the
// platform only starts processes and calls the shell.
#pragma once

#include <cstdint>
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
  virtual bool StartProgram(const std::wstring& commandLine) = 0;

  // The shell's default action on `target` with the given working directory;
  // the shell's result, where a value above 32 means opened.
  virtual std::intptr_t ShellExecute(WindowHandle owner, const std::wstring& target,
                                     const std::wstring& directory) = 0;

  // The editor's warning that an entry could not be opened.
  virtual void ShowCannotOpen(WindowHandle owner, const std::wstring& text) = 0;
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

// The launcher is silent and hands the shell an empty working directory; the
// editor uses "c:\" and says when a target could not be opened.
enum class ShellVariant { Launcher, Editor };

// An entry holding ".exe", ".bat" or ".com" anywhere, letter case ignored.
bool IsProgramEntry(std::wstring_view entry);

// True when the shell may retry `target` as a mail link: exactly one "@", no
// blank and at least two dots.
bool LooksLikeMailAddress(std::wstring_view target);

void Shell_Open(OpenPort& port, ShellVariant variant, WindowHandle owner, const std::wstring& target);

// A program entry that cannot be started still goes to the shell, so a web
// address that merely holds ".com" opens in the browser.
void Entry_Open(OpenPort& port, ShellVariant variant, OwnerWindow& owner, const std::wstring& entry);

}  // namespace ombrel
