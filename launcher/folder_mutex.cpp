#include "folder_mutex.h"

#include "program_folder.h"

namespace ombrel::launcher {

namespace {

// The folder as the file system knows it, whichever way it was reached: a
// short 8.3 name, a second drive letter or a link all give the same path.
// Empty when the system cannot tell.
std::wstring FinalPath(const std::wstring& folder) {
  const win::ScopedFile handle(::CreateFileW(folder.c_str(), FILE_READ_ATTRIBUTES,
                                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                             OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!handle) return {};
  // The volume's device name rather than a drive letter, which a folder may
  // have several of.
  constexpr DWORD kFlags = FILE_NAME_NORMALIZED | VOLUME_NAME_NT;
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        ::GetFinalPathNameByHandleW(handle.get(), path.data(), static_cast<DWORD>(path.size()), kFlags);
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(length);
  }
}

}  // namespace

std::wstring FolderMutexName(const std::wstring& folder) {
  // A program in a drive's root has "C:" as its folder, which alone would
  // name whatever folder of that drive is current.
  const std::wstring path = FolderAsPath(folder);
  const std::wstring finalPath = FinalPath(path);
  const std::wstring& name = finalPath.empty() ? path : finalPath;
  std::wstring upper = name;
  // The invariant upper case of kernel32, not user32's CharUpper: the
  // same-day start touches no DLL beyond kernel32.
  if (!upper.empty()) {
    const int length =
        ::LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, name.data(), static_cast<int>(name.size()),
                        upper.data(), static_cast<int>(upper.size()), nullptr, nullptr, 0);
    if (length != static_cast<int>(name.size())) upper = name;
  }
  return FolderLockName(upper);
}

FolderLock::Acquired FolderMutex::Acquire() {
  mutex_.reset(::CreateMutexW(nullptr, FALSE, name_.c_str()));
  if (!mutex_) return Acquired::kFailed;
  switch (::WaitForSingleObject(mutex_.get(), wait_)) {
    case WAIT_OBJECT_0:
    // The last holder ended without releasing it; the stamp it may or may not
    // have written decides what this run does.
    case WAIT_ABANDONED:
      held_ = true;
      return Acquired::kHeld;
    case WAIT_TIMEOUT:
      return Acquired::kTimedOut;
    default:
      return Acquired::kFailed;
  }
}

void FolderMutex::Release() {
  if (held_) ::ReleaseMutex(mutex_.get());
  held_ = false;
}

}  // namespace ombrel::launcher
