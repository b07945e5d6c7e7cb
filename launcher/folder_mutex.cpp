#include "folder_mutex.h"

namespace ombrel::launcher {

std::wstring FolderMutexName(const std::wstring& folder) {
  std::wstring upper = folder;
  // The invariant upper case of kernel32, not user32's CharUpper: the
  // same-day start touches no DLL beyond kernel32.
  if (!upper.empty()) {
    const int length = ::LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, folder.data(),
                                       static_cast<int>(folder.size()), upper.data(),
                                       static_cast<int>(upper.size()), nullptr, nullptr, 0);
    if (length != static_cast<int>(folder.size())) upper = folder;
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
