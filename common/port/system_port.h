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
#include <vector>

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

// What tells one version of a file from another besides its content.
struct FileMetadata {
  std::uint64_t size = 0;
  std::uint64_t lastWriteTime = 0;  // in the system's own units: only ever compared
  bool operator==(const FileMetadata&) const = default;
};

struct FileRead {
  ReadStatus status = ReadStatus::kMissing;
  std::string bytes;      // the whole file, when read
  FileMetadata metadata;  // when read, through the same open as the bytes
  // Windows' error code when not read (missing or unreadable), 0 when read:
  // what a caller that reports the failure names.
  std::uint32_t error = 0;
  // The same file as far as a reader can tell: a missing file equals a
  // missing one, whatever Windows said of it.
  bool operator==(const FileRead& other) const {
    return status == other.status && bytes == other.bytes && metadata == other.metadata;
  }
};

enum class SaveStatus {
  kSaved,
  kFailed,
  // The file carries the read-only attribute: nothing was written.
  kReadOnly,
};

struct SaveResult {
  SaveStatus status = SaveStatus::kFailed;
  FileMetadata metadata;  // of the file as written, when saved
  explicit operator bool() const { return status == SaveStatus::kSaved; }
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
  // The same for the file's last `limit` bytes (all of a shorter file). The
  // metadata's size is the whole file's: larger than the bytes, they start
  // inside it, most likely in the middle of a line.
  [[nodiscard]] virtual FileRead ReadEnd(const std::wstring& path, std::size_t limit) = 0;

  // Creates the file or replaces its content in place, keeping its
  // attributes (hidden, system). False on any failure.
  [[nodiscard]] virtual bool WriteAll(const std::wstring& path, std::string_view bytes) = 0;

  // Writes a new file beside `path` and then puts it in place of `path` in one
  // step, so that a reader, or a save cut short at any moment, sees the old
  // content or the new. The new file is a temporary named by TemporaryPath
  // (list_temporary.h), created new; `path` keeps its hidden, system and
  // not-indexed attributes, and a link named `path` stays a link to a target
  // that gets the content. On any failure `path` keeps its old content and
  // the temporary is gone.
  [[nodiscard]] virtual SaveResult ReplaceAll(const std::wstring& path, std::string_view bytes) = 0;

  // The files (not folders) whose paths match `pattern`, a path whose last
  // part ends with "*"; the folder part as given.
  [[nodiscard]] virtual std::vector<std::wstring> FindFiles(const std::wstring& pattern) = 0;

  // Deletes a file; false when it could not be.
  [[nodiscard]] virtual bool RemoveFile(const std::wstring& path) = 0;

  // Opens the file for adding to its end, creating it when missing; nothing
  // when it cannot be. One open serves a run's many small additions.
  [[nodiscard]] virtual std::unique_ptr<FileAppender> OpenForAppend(const std::wstring& path) = 0;
  // True while another program (or another open of this one) has the file open
  // for writing, as a run that is still adding to it does.
  [[nodiscard]] virtual bool HeldByWriter(const std::wstring& path) = 0;

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

  // The system's ANSI code page (932 on Japanese Windows, 65001 where Windows
  // uses UTF-8 for it).
  [[nodiscard]] virtual unsigned AnsiCodePage() = 0;

  // Conversion between Unicode text and a code page. ToCodePage gives nothing
  // when the text holds a character the code page cannot hold exactly: no "?"
  // and no look-alike ever stands in for one.
  [[nodiscard]] virtual std::optional<std::string> ToCodePage(unsigned codePage,
                                                              const std::wstring& text) = 0;
  [[nodiscard]] virtual std::wstring FromCodePage(unsigned codePage, std::string_view bytes) = 0;
};

}  // namespace ombrel
