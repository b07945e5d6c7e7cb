#include "win_system.h"

#include <windows.h>

#include <algorithm>
#include <limits>
#include <memory>
#include <utility>
#include <vector>

#include "error_text.h"
#include "program_folder.h"
#include "scoped.h"

namespace ombrel {

std::wstring ProgramFolder() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length < buffer.size()) return FolderOfModule(std::wstring_view(buffer.data(), length));
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

// The most bytes the ANSI code page needs for one UTF-16 unit: 2 in code
// page 932, 1 in the single-byte code pages.
std::size_t AnsiBytesPerUnit() {
  static const std::size_t bytes = [] {
    CPINFO info{};
    return ::GetCPInfo(CP_ACP, &info) && info.MaxCharSize > 0 ? static_cast<std::size_t>(info.MaxCharSize)
                                                              : 4;  // unknown: as much as UTF-8 may need
  }();
  return bytes;
}

bool IsSharingConflict(DWORD error) {
  return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}

// Runs `step` (true on success, the reason in the last error otherwise) again
// while another program holds a file it needs, for about two seconds.
template <typename Step>
bool RetryWhileShared(Step step) {
  const ULONGLONG start = ::GetTickCount64();
  for (;;) {
    if (step()) return true;
    const DWORD error = ::GetLastError();
    if (!IsSharingConflict(error) || ::GetTickCount64() - start >= kSharingRetryMilliseconds) {
      ::SetLastError(error);
      return false;
    }
    ::Sleep(kSharingRetryPause);
  }
}

ScopedFile OpenFile(const std::wstring& path, DWORD access, DWORD share, DWORD disposition) {
  ScopedFile file;
  RetryWhileShared([&] {
    file.reset(
        ::CreateFileW(path.c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.valid();
  });
  return file;
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

}  // namespace

FileRead WinSystem::ReadAll(const std::wstring& path) {
  return ReadStart(path, std::numeric_limits<std::size_t>::max());
}

FileRead WinSystem::ReadStart(const std::wstring& path, std::size_t limit) {
  // Others may read, write or replace the file meanwhile: the editor's save
  // puts a whole new file in place, so a read sees the old file or the new one.
  const ScopedFile file =
      OpenFile(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_EXISTING);
  if (!file) {
    const DWORD error = ::GetLastError();
    const bool missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    return {missing ? ReadStatus::kMissing : ReadStatus::kUnreadable, {}};
  }
  FileRead read{ReadStatus::kRead, {}};
  LARGE_INTEGER size{};
  if (::GetFileSizeEx(file.get(), &size) && size.QuadPart > 0 &&
      static_cast<unsigned long long>(size.QuadPart) < std::numeric_limits<std::size_t>::max() / 2) {
    read.bytes.reserve(std::min(static_cast<std::size_t>(size.QuadPart), limit));
  }
  std::vector<char> chunk(std::min<std::size_t>(64 * 1024, limit));
  while (read.bytes.size() < limit) {
    const auto wanted = static_cast<DWORD>(std::min(chunk.size(), limit - read.bytes.size()));
    DWORD got = 0;
    if (!::ReadFile(file.get(), chunk.data(), wanted, &got, nullptr)) {
      // Half a list is no list: whatever came before the failure is dropped.
      return {ReadStatus::kUnreadable, {}};
    }
    if (got == 0) break;
    read.bytes.append(chunk.data(), got);
  }
  return read;
}

bool WinSystem::WriteAll(const std::wstring& path, std::string_view bytes) {
  ScopedFile file = OpenFile(path, GENERIC_WRITE, FILE_SHARE_READ, CREATE_ALWAYS);
  if (!file) return false;
  const bool written = WriteWhole(file.get(), bytes);
  return file.close() && written;
}

bool WinSystem::ReplaceAll(const std::wstring& path, std::string_view bytes) {
  const std::wstring fresh = path + L".new";
  {
    ScopedFile file = OpenFile(fresh, GENERIC_WRITE, 0, CREATE_ALWAYS);
    if (!file) return false;
    // Flushed before it takes the old file's place, so that a crash cannot
    // leave a list whose name is new but whose data never reached the disk.
    const bool written = WriteWhole(file.get(), bytes) && ::FlushFileBuffers(file.get());
    if (!file.close() || !written) {
      ::DeleteFileW(fresh.c_str());
      return false;
    }
  }
  // One rename that replaces the old file: at every moment, a kill or a power
  // cut included, the name holds the old list or the new one. ReplaceFileW,
  // which keeps more of the old file's metadata, moves the old file away and
  // the new one in as two steps, and a save stopped between them left no list.
  if (RetryWhileShared([&] {
        return ::MoveFileExW(fresh.c_str(), path.c_str(),
                             MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
      })) {
    return true;
  }
  // A rename that fails changes nothing: the old list stands.
  ::DeleteFileW(fresh.c_str());
  return false;
}

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
  // Append-only access: each write lands at the file's end as one piece, even
  // when another program adds to the file at the same time.
  ScopedFile file =
      OpenFile(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_ALWAYS);
  if (!file) return nullptr;
  return std::make_unique<WinFileAppender>(std::move(file));
}

bool WinSystem::IsOrdinaryFile(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  constexpr DWORD kNotOrdinary = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & kNotOrdinary) == 0;
}

LocalTime WinSystem::Now() {
  SYSTEMTIME now{};
  ::GetLocalTime(&now);
  return LocalTime{now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

std::uint32_t WinSystem::ProcessId() { return ::GetCurrentProcessId(); }

std::wstring WinSystem::ErrorText(std::uint32_t code) { return WindowsErrorText(code); }

std::optional<std::string> WinSystem::ToAnsi(const std::wstring& text) {
  if (text.empty()) return std::string();
  // No best fit: it would turn characters such as U+201A into a comma or a
  // quotation mark, which the entry list reader treats as structure.
  constexpr DWORD kFlags = WC_NO_BEST_FIT_CHARS;
  const int length = static_cast<int>(text.size());
  // One conversion into room for the longest result: a save converts every
  // entry, and asking for the size first doubles what that costs.
  std::string bytes(text.size() * AnsiBytesPerUnit(), '\0');
  int size = ::WideCharToMultiByte(CP_ACP, kFlags, text.data(), length, bytes.data(),
                                   static_cast<int>(bytes.size()), nullptr, nullptr);
  if (size <= 0) {
    size = ::WideCharToMultiByte(CP_ACP, kFlags, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return std::nullopt;
    bytes.assign(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_ACP, kFlags, text.data(), length, bytes.data(), size, nullptr, nullptr);
  }
  bytes.resize(static_cast<std::size_t>(size));
  // Exact only if it reads back the same: this catches the default character
  // put in for one the code page lacks, and the few characters that share
  // their bytes with another.
  if (FromAnsi(bytes) != text) return std::nullopt;
  return bytes;
}

std::wstring WinSystem::FromAnsi(std::string_view bytes) {
  if (bytes.empty()) return {};
  const int length = static_cast<int>(bytes.size());
  // No code page gives more UTF-16 units than it was given bytes, so one
  // conversion does; the size is asked for only if one ever proved that wrong.
  std::wstring text(bytes.size(), L'\0');
  int size = ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, text.data(), length);
  if (size <= 0) {
    size = ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, nullptr, 0);
    if (size <= 0) return {};
    text.assign(static_cast<std::size_t>(size), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, text.data(), size);
  }
  text.resize(static_cast<std::size_t>(size));
  return text;
}

}  // namespace win
}  // namespace ombrel
