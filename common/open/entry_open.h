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

// What one call to start a program or to the shell came to.
struct OpenAttempt {
  bool opened = false;
  // Windows' error code when nothing opened (GetLastError's).
  std::uint32_t error = 0;
  // A started program's file, as Windows found it; empty when it cannot say.
  std::wstring file;
  bool operator==(const OpenAttempt&) const = default;
};

class OpenPort {
 public:
  OpenPort() = default;
  OpenPort(const OpenPort&) = delete;
  OpenPort& operator=(const OpenPort&) = delete;
  virtual ~OpenPort() = default;

  // Starts a program in a normal window with focus, in the given working
  // folder, and returns at once.
  [[nodiscard]] virtual OpenAttempt StartProgram(const ProgramStart& program,
                                                 const std::wstring& workingFolder) = 0;

  // True when `path` names an existing file (not a folder).
  [[nodiscard]] virtual bool IsFile(const std::wstring& path) = 0;

  // The entry that opens a file or folder dropped on the editor the way it was
  // dropped. A path with a blank that opening would start as a program is
  // quoted, so that no shorter path in front of a blank is ever tried; any
  // other path stays as it is, a shortcut (.lnk) included, which the shell
  // opens as a shortcut.
  [[nodiscard]] std::wstring EntryForDroppedPath(OpenPort& port, const std::wstring& path);

  // The shell's default action on `target`, in a normal window, with the given
  // working folder. Opened when the shell reports the target opened; it has
  // handed the target over by then, so the caller may end at once.
  [[nodiscard]] virtual OpenAttempt OpenWithShell(WindowHandle owner, const std::wstring& target,
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

// The working folders a caller hands on. Programs start in the program
// folder in both programs, so that the editor's run opens exactly what the
// launcher opens, wherever a file dialog left the editor's current folder.
// The shell keeps what each program always gave it: the launcher an empty
// text, the editor "c:\".
struct WorkingFolders {
  std::wstring program;
  std::wstring shell;
};

// A bare mail address: exactly one "@", no blank, no "\", "/" or ":", and a
// dot after the "@". Never started as a program, even when it holds ".com".
[[nodiscard]] bool IsMailAddress(std::wstring_view entry);

// True when the shell may retry `target` as a "Mailto:" link: a mail address,
// or, as always, a text with exactly one "@", no blank and two dots or more.
[[nodiscard]] bool MayBeMailLink(std::wstring_view target);

// Empty, or spaces and tabs alone: nothing to open.
[[nodiscard]] bool IsBlankEntry(std::wstring_view entry);

// How an entry is started as a program, or nothing when it goes to the shell
// as it is. The program part is the quoted part of a quoted entry; of an
// unquoted entry with blanks, the first prefix that ends with ".exe", ".bat"
// or ".com", is followed by a blank or the end and, when it names a folder,
// is an existing file (never a shorter one, such as C:\Program.exe for
// C:\Program Files\App\app.exe); otherwise the whole entry. Only a program
// part that ends in one of the three (letter case ignored) makes a program.
// One that names a folder (holds "\", "/" or ":") is started only as that
// existing file, so Windows never searches or appends anything; a bare name
// is found the way Windows finds it (quoted when it holds a blank, so that
// My.exe is never tried for My App.exe), unless it ends in ".com" with
// another dot before it (www.example.com), which is a web address.
[[nodiscard]] std::optional<ProgramStart> PlanProgramStart(OpenPort& port, const std::wstring& entry);

// The entry that opens a file or folder dropped on the editor the way it was
// dropped. A path with a blank that opening would start as a program is
// quoted, so that no shorter path in front of a blank is ever tried; any
// other path stays as it is, a shortcut (.lnk) included, which the shell
// opens as a shortcut.
[[nodiscard]] std::wstring EntryForDroppedPath(OpenPort& port, const std::wstring& path);

// The shell's default action on `target`, and when that fails, on `retry`.
// True when either opened.
[[nodiscard]] bool OpenThroughShell(OpenPort& port, WindowHandle owner, const std::wstring& workingFolder,
                                    const std::wstring& target, const std::optional<std::wstring>& retry);

// The most characters a Windows command line, or a path in its long form, may
// hold; a longer entry cannot be opened.
inline constexpr std::size_t kLongestEntryToOpen = 32767;
// Windows' code for a name too long (ERROR_FILENAME_EXCED_RANGE), given for
// such an entry, which never reaches Windows.
inline constexpr std::uint32_t kEntryTooLongError = 206;

// What opening one entry came to, as the run's record tells it.
struct OpenResult {
  enum class Outcome {
    kOpened,
    // Blank: nothing was handed to the system, and no message says so.
    kSkippedBlank,
    // Neither started nor opened by the shell; an entry too long for any
    // command line included.
    kNotOpened,
  };
  // How an entry that opened was opened.
  enum class Way {
    kNone,
    kProgram,   // started as a program
    kShell,     // handed to the shell as it is
    kMailLink,  // opened by the shell as "Mailto:" and the entry
  };
  Outcome outcome = Outcome::kNotOpened;
  Way way = Way::kNone;
  // The program's file, when started as a program.
  std::wstring file;
  // Windows' error code of the last attempt, when not opened.
  std::uint32_t error = 0;
  bool operator==(const OpenResult&) const = default;
};

// Opens one entry. A program that cannot be started still goes to the shell,
// as it always did. The launcher skips an entry that was not opened without a
// message, the editor says so; both keep the result in the run's record.
[[nodiscard]] OpenResult OpenEntry(OpenPort& port, OwnerWindow& owner, const WorkingFolders& folders,
                                   const std::wstring& entry);

}  // namespace ombrel

namespace ombrel {

// The path whose answer tells whether an entry on a network can open yet:
// the program part of an entry that names a program (the quoted part, or the
// first part ending in ".exe", ".bat" or ".com" before a blank), the whole
// entry of one that goes to the shell. Chosen from the text alone: the share
// that does not answer yet could not say which file exists. Nothing for a
// blank entry, a bare mail address or an address with a scheme ("https:",
// "mailto:", "file:"), which no path stands for.
[[nodiscard]] std::optional<std::wstring> PathToProbe(std::wstring_view entry);

}  // namespace ombrel
