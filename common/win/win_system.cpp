#include "common/win/win_system.h"

#include <windows.h>

#include <algorithm>
#include <limits>
#include <memory>
#include <utility>
#include <vector>

#include "common/list/list_temporary.h"
#include "common/list/program_folder.h"
#include "common/win/error_text.h"
#include "common/win/final_path.h"
#include "common/win/scoped.h"

namespace ombrel {

std::wstring ProgramFolder() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length < buffer.size()) return FolderOf(std::wstring_view(buffer.data(), length));
    // Truncated: a long path; try again with room for it.
    buffer.resize(buffer.size() * 2);
  }
}

namespace win {

namespace {

// An indexer, a virus scanner or a save in progress holds a file for a
// moment; that is waited out before a step counts as failed.
constexpr ULONGLONG kSharingRetryMilliseconds = 2000;
constexpr DWORD kSharingRetryPause = 50;

// The attributes a save carries over from the old list to the new one.
constexpr DWORD kKeptAttributes =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// Temporaries tried when names of earlier ones are taken, before a save
// gives up.
constexpr unsigned kTemporaryAttempts = 100;

// The most bytes a code page needs for one UTF-16 unit: 2 in code page 932, 1
// in the single-byte code pages.
std::size_t BytesPerUnit(unsigned codePage) {
  CPINFO info{};
  return ::GetCPInfo(codePage, &info) && info.MaxCharSize > 0 ? static_cast<std::size_t>(info.MaxCharSize)
                                                              : 4;  // unknown: as much as UTF-8 may need
}

bool IsSharingConflict(DWORD error) {
  return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}

// A virus scanner that has the old list open denies its replacement rather
// than reporting a sharing violation.
bool IsSharingConflictOrDenied(DWORD error) {
  return IsSharingConflict(error) || error == ERROR_ACCESS_DENIED;
}

// Runs `step` (true on success, the reason in the last error otherwise) again
// while `passing` says the failure is another program holding a file for a
// moment, for about two seconds.
template <typename Step>
bool RetryWhile(bool (*passing)(DWORD), Step step) {
  const ULONGLONG start = ::GetTickCount64();
  for (;;) {
    if (step()) return true;
    const DWORD error = ::GetLastError();
    if (!passing(error) || ::GetTickCount64() - start >= kSharingRetryMilliseconds) {
      ::SetLastError(error);
      return false;
    }
    ::Sleep(kSharingRetryPause);
  }
}

ScopedFile OpenFile(const std::wstring& path, DWORD access, DWORD share, DWORD disposition,
                    DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
  ScopedFile file;
  RetryWhile(&IsSharingConflict, [&] {
    file.reset(::CreateFileW(path.c_str(), access, share, nullptr, disposition, attributes, nullptr));
    return file.valid();
  });
  return file;
}

FileMetadata MetadataOf(HANDLE file) {
  BY_HANDLE_FILE_INFORMATION info{};
  if (!::GetFileInformationByHandle(file, &info)) return {};
  return {(static_cast<std::uint64_t>(info.nFileSizeHigh) << 32U) | info.nFileSizeLow,
          (static_cast<std::uint64_t>(info.ftLastWriteTime.dwHighDateTime) << 32U) |
              info.ftLastWriteTime.dwLowDateTime};
}

// A new temporary beside `target` for `bytes`, created with the attributes the
// list keeps; its path in `path`. A name left over from an earlier save is
// never reused, whatever it holds or however it is marked.
ScopedFile CreateTemporary(const std::wstring& target, std::string_view bytes, DWORD attributes,
                           std::wstring& path) {
  for (unsigned attempt = 0; attempt < kTemporaryAttempts; ++attempt) {
    path = TemporaryPath(target, bytes, attempt);
    ScopedFile file = OpenFile(path, GENERIC_WRITE, 0, CREATE_NEW, attributes);
    if (file) return file;
    const DWORD error = ::GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) break;
  }
  return {};
}

bool WriteWhole(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1U << 30U));
    DWORD written = 0;
    if (!::WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
    bytes.remove_prefix(written);
  }
  return true;
}

enum class FilePart { kStart, kEnd };

// The first or the last `limit` bytes of the file (all of a shorter one).
FileRead ReadPart(const std::wstring& path, std::size_t limit, FilePart part) {
  // Others may read, write or replace the file meanwhile: the editor's save
  // puts a whole new file in place, so a read sees the old file or the new one.
  const ScopedFile file =
      OpenFile(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_EXISTING);
  if (!file) {
    const DWORD error = ::GetLastError();
    const bool missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    return {missing ? ReadStatus::kMissing : ReadStatus::kUnreadable, {}, {}, error};
  }
  // What tells this version of the file from a later one comes from this
  // open, not from a second look at the path.
  FileRead read{ReadStatus::kRead, {}, MetadataOf(file.get())};
  const std::uint64_t size = read.metadata.size;
  if (part == FilePart::kEnd && size > limit) {
    LARGE_INTEGER start{};
    start.QuadPart = static_cast<LONGLONG>(size - limit);
    if (!::SetFilePointerEx(file.get(), start, nullptr, FILE_BEGIN))
      return {ReadStatus::kUnreadable, {}, {}, ::GetLastError()};
  }
  if (size > 0 && size < std::numeric_limits<std::size_t>::max() / 2) {
    read.bytes.reserve(std::min(static_cast<std::size_t>(size), limit));
  }
  std::vector<char> chunk(std::min<std::size_t>(64 * 1024, limit));
  while (read.bytes.size() < limit) {
    const auto wanted = static_cast<DWORD>(std::min(chunk.size(), limit - read.bytes.size()));
    DWORD got = 0;
    if (!::ReadFile(file.get(), chunk.data(), wanted, &got, nullptr)) {
      // Half a list is no list: whatever came before the failure is dropped.
      return {ReadStatus::kUnreadable, {}, {}, ::GetLastError()};
    }
    if (got == 0) break;
    read.bytes.append(chunk.data(), got);
  }
  return read;
}

}  // namespace

FileRead WinSystem::ReadAll(const std::wstring& path) {
  return ReadStart(path, std::numeric_limits<std::size_t>::max());
}

FileRead WinSystem::ReadStart(const std::wstring& path, std::size_t limit) {
  return ReadPart(path, limit, FilePart::kStart);
}

FileRead WinSystem::ReadEnd(const std::wstring& path, std::size_t limit) {
  return ReadPart(path, limit, FilePart::kEnd);
}

bool WinSystem::WriteAll(const std::wstring& path, std::string_view bytes) {
  // Opened as it is and cut to the new length, never created anew: Windows
  // refuses CREATE_ALWAYS with normal attributes on a hidden or system file,
  // so such a stamp could never be renewed, and would drop "not indexed".
  // Written before it is cut, a stamp read meanwhile or left by a power cut
  // holds no date but the new one or the old.
  ScopedFile file = OpenFile(path, GENERIC_WRITE, FILE_SHARE_READ, OPEN_ALWAYS);
  if (!file) return false;
  const bool written = WriteWhole(file.get(), bytes) && ::SetEndOfFile(file.get());
  return file.close() && written;
}

SaveResult WinSystem::ReplaceAll(const std::wstring& path, std::string_view bytes) {
  // A link named like the list is followed to its final target, which is
  // replaced in its own folder: the link stays a link (into a synced folder,
  // say). Without a file yet, the path is the target.
  std::wstring target = FinalPath(path, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
  if (target.empty()) target = path;
  const DWORD old = ::GetFileAttributesW(target.c_str());
  const bool exists = old != INVALID_FILE_ATTRIBUTES;
  // Wine lets a rename replace a read-only file, Windows refuses: told
  // apart here, the same on both, before anything is written.
  if (exists && (old & FILE_ATTRIBUTE_READONLY) != 0) return {SaveStatus::kReadOnly, {}};
  const DWORD kept = exists ? old & kKeptAttributes : 0;

  std::wstring temporary;
  {
    ScopedFile file = CreateTemporary(target, bytes, kept != 0 ? kept : FILE_ATTRIBUTE_NORMAL, temporary);
    if (!file) return {};
    // Flushed before it takes the old file's place, so that a crash cannot
    // leave a list whose name is new but whose data never reached the disk.
    const bool written = WriteWhole(file.get(), bytes) && ::FlushFileBuffers(file.get());
    if (!file.close() || !written) {
      ::DeleteFileW(temporary.c_str());
      return {};
    }
  }
  // One rename that replaces the old file: at every moment, a kill or a power
  // cut included, the name holds the old list or the new one. ReplaceFileW,
  // which keeps more of the old file's metadata, moves the old file away and
  // the new one in as two steps, and a save stopped between them left no list.
  if (!RetryWhile(&IsSharingConflictOrDenied, [&] {
        return ::MoveFileExW(temporary.c_str(), target.c_str(),
                             MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
      })) {
    // A rename that fails changes nothing: the old list stands.
    ::DeleteFileW(temporary.c_str());
    return {};
  }
  // As a read of the list will find it; the content is known.
  const ScopedFile saved = OpenFile(target, FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_EXISTING);
  return {SaveStatus::kSaved, saved ? MetadataOf(saved.get()) : FileMetadata{}};
}

std::vector<std::wstring> WinSystem::FindFiles(const std::wstring& pattern) {
  std::vector<std::wstring> paths;
  const std::wstring folder = FolderOf(pattern) + L"\\";
  WIN32_FIND_DATAW found{};
  const ScopedFindFile search(
      ::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0));
  if (!search) return paths;
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) paths.push_back(folder + found.cFileName);
  } while (::FindNextFileW(search.get(), &found));
  return paths;
}

bool WinSystem::RemoveFile(const std::wstring& path) { return ::DeleteFileW(path.c_str()) != 0; }

namespace {

class WinFileAppender final : public FileAppender {
 public:
  explicit WinFileAppender(ScopedFile file) : file_(std::move(file)) {}
  [[nodiscard]] bool Append(std::string_view bytes) override { return WriteWhole(file_.get(), bytes); }

 private:
  ScopedFile file_;
};

}  // namespace

std::unique_ptr<FileAppender> WinSystem::OpenForAppend(const std::wstring& path) {
  // Append-only access: on Windows each write lands at the file's end as one piece, even
  // when another program adds to the file at the same time.
  ScopedFile file =
      OpenFile(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_ALWAYS);
  if (!file) return nullptr;
  return std::make_unique<WinFileAppender>(std::move(file));
}

bool WinSystem::HeldByWriter(const std::wstring& path) {
  // An open that lets nobody else write fails while anyone has the file open
  // for writing; it is let go at once, and is not retried: a writer holds the
  // record for its whole run.
  const ScopedFile probe(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                       nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  return !probe && IsSharingConflict(::GetLastError());
}

bool PathExists(const std::wstring& path, unsigned long excluded) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & excluded) == 0;
}

bool WinSystem::IsOrdinaryFile(const std::wstring& path) {
  return PathExists(path, FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
}

LocalTime WinSystem::Now() {
  SYSTEMTIME now{};
  ::GetLocalTime(&now);
  return LocalTime{now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

std::uint32_t WinSystem::ProcessId() { return ::GetCurrentProcessId(); }

std::wstring WinSystem::ErrorText(std::uint32_t code) { return WindowsErrorText(code); }

unsigned WinSystem::AnsiCodePage() { return ::GetACP(); }

std::optional<std::string> WinSystem::ToCodePage(unsigned codePage, const std::wstring& text) {
  if (text.empty()) return std::string();
  // No best fit: it would turn characters such as U+201A into a comma or a
  // quotation mark, which the entry list reader treats as structure.
  constexpr DWORD kFlags = WC_NO_BEST_FIT_CHARS;
  const int length = static_cast<int>(text.size());
  // One conversion into room for the longest result: a save converts every
  // entry, and asking for the size first doubles what that costs.
  std::string bytes(text.size() * BytesPerUnit(codePage), '\0');
  int size = ::WideCharToMultiByte(codePage, kFlags, text.data(), length, bytes.data(),
                                   static_cast<int>(bytes.size()), nullptr, nullptr);
  if (size <= 0) {
    size = ::WideCharToMultiByte(codePage, kFlags, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return std::nullopt;
    bytes.assign(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(codePage, kFlags, text.data(), length, bytes.data(), size, nullptr, nullptr);
  }
  bytes.resize(static_cast<std::size_t>(size));
  // Exact only if it reads back the same: this catches the default character
  // put in for one the code page lacks, and the few characters that share
  // their bytes with another.
  if (FromCodePage(codePage, bytes) != text) return std::nullopt;
  return bytes;
}

std::wstring WinSystem::FromCodePage(unsigned codePage, std::string_view bytes) {
  if (bytes.empty()) return {};
  const int length = static_cast<int>(bytes.size());
  // No code page gives more UTF-16 units than it was given bytes, so one
  // conversion does; the size is asked for only if one ever proved that wrong.
  std::wstring text(bytes.size(), L'\0');
  int size = ::MultiByteToWideChar(codePage, 0, bytes.data(), length, text.data(), length);
  if (size <= 0) {
    size = ::MultiByteToWideChar(codePage, 0, bytes.data(), length, nullptr, 0);
    if (size <= 0) return {};
    text.assign(static_cast<std::size_t>(size), L'\0');
    ::MultiByteToWideChar(codePage, 0, bytes.data(), length, text.data(), size);
  }
  text.resize(static_cast<std::size_t>(size));
  return text;
}

}  // namespace win
}  // namespace ombrel
