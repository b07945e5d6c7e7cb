#include "common/win/final_path.h"

#include "common/list/program_folder.h"
#include "common/win/scoped.h"

namespace ombrel::win {

std::wstring FinalPath(const std::wstring& path, DWORD flags) {
  // Attributes only, and shared every way: nothing the user does with the
  // file is held up. Backup semantics open folders too.
  const ScopedFile handle(::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!handle) return {};
  std::wstring final(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        ::GetFinalPathNameByHandleW(handle.get(), final.data(), static_cast<DWORD>(final.size()), flags);
    if (length == 0) return {};
    if (length < final.size()) {
      final.resize(length);
      return final;
    }
    final.resize(length);
  }
}

std::wstring FolderIdentity(const std::wstring& folder) {
  // A program in a drive's root has "C:" as its folder, which alone would
  // name whatever folder of that drive is current.
  const std::wstring path = FolderAsPath(folder);
  const std::wstring finalPath = FinalPath(path, FILE_NAME_NORMALIZED | VOLUME_NAME_NT);
  const std::wstring& name = finalPath.empty() ? path : finalPath;
  std::wstring upper = name;
  // The invariant upper case of kernel32, not user32's CharUpper: the
  // launcher's same-day start touches no DLL beyond kernel32.
  if (!upper.empty()) {
    const int length =
        ::LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, name.data(), static_cast<int>(name.size()),
                        upper.data(), static_cast<int>(upper.size()), nullptr, nullptr, 0);
    if (length != static_cast<int>(name.size())) upper = name;
  }
  return upper;
}

namespace {

// The path made whole (current folder, "." and ".."), as Windows would open it.
std::wstring FullPath(const std::wstring& path) {
  std::wstring full(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        ::GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length == 0) return path;
    if (length < full.size()) {
      full.resize(length);
      return full;
    }
    full.resize(length);
  }
}

bool SameName(const std::wstring& a, const std::wstring& b) {
  return ::CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()),
                                TRUE) == CSTR_EQUAL;
}

}  // namespace

bool SameFile(const std::wstring& a, const std::wstring& b) {
  constexpr DWORD kFlags = FILE_NAME_NORMALIZED | VOLUME_NAME_NT;
  const std::wstring finalA = FinalPath(a, kFlags);
  const std::wstring finalB = finalA.empty() ? std::wstring() : FinalPath(b, kFlags);
  if (!finalA.empty() && !finalB.empty()) return SameName(finalA, finalB);
  // One of them is not there (a copy deleted, a share away): only its name
  // can tell.
  return SameName(FullPath(a), FullPath(b));
}

}  // namespace ombrel::win
