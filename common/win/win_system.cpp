#include "win_system.h"

#include <windows.h>

#include <limits>
#include <vector>

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

std::optional<std::string> WinSystem::ReadAll(const std::wstring& path) {
  // Others may read, write or replace the file meanwhile: the editor's save
  // puts a whole new file in place, so a read sees the old file or the new one.
  ScopedFile file(::CreateFileW(path.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return std::nullopt;
  std::string bytes;
  LARGE_INTEGER size{};
  if (::GetFileSizeEx(file.get(), &size) && size.QuadPart > 0 &&
      static_cast<unsigned long long>(size.QuadPart) < std::numeric_limits<std::size_t>::max() / 2) {
    bytes.reserve(static_cast<std::size_t>(size.QuadPart));
  }
  char chunk[64 * 1024];
  for (;;) {
    DWORD read = 0;
    // A read that fails half-way keeps what came before it.
    if (!::ReadFile(file.get(), chunk, sizeof chunk, &read, nullptr) || read == 0) break;
    bytes.append(chunk, read);
  }
  return bytes;
}

bool WinSystem::WriteAll(const std::wstring& path, std::string_view bytes) {
  ScopedFile file(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  const bool written = WriteWhole(file.get(), bytes);
  return file.close() && written;
}

bool WinSystem::ReplaceAll(const std::wstring& path, std::string_view bytes) {
  const std::wstring fresh = path + L".new";
  {
    ScopedFile file(::CreateFileW(fresh.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    // Flushed before it takes the old file's place, so that a crash cannot
    // leave a list whose name is new but whose data never reached the disk.
    const bool written = WriteWhole(file.get(), bytes) && ::FlushFileBuffers(file.get());
    if (!file.close() || !written) {
      ::DeleteFileW(fresh.c_str());
      return false;
    }
  }
  const bool exists = ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
  const bool replaced = exists ? ::ReplaceFileW(path.c_str(), fresh.c_str(), nullptr,
                                                REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) != 0
                               : ::MoveFileExW(fresh.c_str(), path.c_str(),
                                               MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
  if (!replaced) ::DeleteFileW(fresh.c_str());
  return replaced;
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

std::string WinSystem::ToAnsi(const std::wstring& text) {
  if (text.empty()) return {};
  // No best fit: it would turn characters such as U+201A into a comma or a
  // quotation mark, which the entry list reader treats as structure.
  const int size = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(),
                                         static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<std::size_t>(size), '\0');
  ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()),
                        bytes.data(), size, nullptr, nullptr);
  return bytes;
}

std::wstring WinSystem::FromAnsi(std::string_view bytes) {
  if (bytes.empty()) return {};
  const int size = ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring text(static_cast<std::size_t>(size), L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), size);
  return text;
}

}  // namespace win
}  // namespace ombrel
