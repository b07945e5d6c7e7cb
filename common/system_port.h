// What the shared code needs from the operating system besides opening
// entries: whole-file reads and writes, the local clock and the ANSI code
// page. Windows supplies the real one; tests supply a fake, so every decision
// built on top can be checked without Windows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace ombrel {

struct LocalTime {
  int year = 0;
  int month = 0;  // 1..12
  int day = 0;    // 1..31
  int hour = 0;   // 0..23
  int minute = 0;
  int second = 0;
};

// What reading a whole file found. Only "no such file or path" is a missing
// file; a file that exists but cannot be opened or read to its end is never
// mistaken for a missing or a shorter one, so nothing is saved over it.
enum class ReadStatus { kRead, kMissing, kUnreadable };

struct FileRead {
  ReadStatus status = ReadStatus::kMissing;
  std::string bytes;  // the whole file, when read
};

// A file open for adding to its end; others may read it, add to it or
// replace it meanwhile. Closed when destroyed.
class FileAppender {
 public:
  FileAppender() = default;
  FileAppender(const FileAppender&) = delete;
  FileAppender& operator=(const FileAppender&) = delete;
  virtual ~FileAppender() = default;
  // Adds the bytes at the file's end in one piece. False on any failure.
  [[nodiscard]] virtual bool Append(std::string_view bytes) = 0;
};

class SystemPort {
 public:
  SystemPort() = default;
  SystemPort(const SystemPort&) = delete;
  SystemPort& operator=(const SystemPort&) = delete;
  virtual ~SystemPort() = default;

  // The file's whole content. Another program holding the file for a moment
  // is waited out for about two seconds before the file counts as unreadable.
  [[nodiscard]] virtual FileRead ReadAll(const std::wstring& path) = 0;
  // The same for the file's first `limit` bytes (all of a shorter file), so
  // that a file meant to be small costs no more when it is not.
  [[nodiscard]] virtual FileRead ReadStart(const std::wstring& path, std::size_t limit) = 0;

  // Creates the file or replaces its content in place. False on any failure.
  [[nodiscard]] virtual bool WriteAll(const std::wstring& path, std::string_view bytes) = 0;

  // Writes a new file beside `path` and then puts it in place of `path` in one
  // step, so that a reader, or a save cut short at any moment, sees the old
  // content or the new. False on any failure, and `path` then keeps its old
  // content.
  [[nodiscard]] virtual bool ReplaceAll(const std::wstring& path, std::string_view bytes) = 0;

  // Opens the file for adding to its end, creating it when missing; nothing
  // when it cannot be. One open serves a run's many small additions.
  [[nodiscard]] virtual std::unique_ptr<FileAppender> OpenForAppend(const std::wstring& path) = 0;

  // True for a plain file: a folder, a hidden or a system file counts as
  // missing, as does nothing at all.
  [[nodiscard]] virtual bool IsOrdinaryFile(const std::wstring& path) = 0;

  [[nodiscard]] virtual LocalTime Now() = 0;

  // The running process's id, which tells one program's lines from
  // another's in a file both write.
  [[nodiscard]] virtual std::uint32_t ProcessId() = 0;
  // Windows' text for one of its error codes, in the language it speaks to
  // the user; empty when it has none.
  [[nodiscard]] virtual std::wstring ErrorText(std::uint32_t code) = 0;

  // Conversion between Unicode text and the system's ANSI code page. ToAnsi
  // gives nothing when the text holds a character the code page cannot hold
  // exactly: no "?" and no look-alike ever stands in for one.
  [[nodiscard]] virtual std::optional<std::string> ToAnsi(const std::wstring& text) = 0;
  [[nodiscard]] virtual std::wstring FromAnsi(std::string_view bytes) = 0;
};

}  // namespace ombrel
