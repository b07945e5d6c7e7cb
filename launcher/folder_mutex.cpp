#include "launcher/folder_mutex.h"

#include "common/win/final_path.h"

namespace ombrel::launcher {

std::wstring FolderMutexName(const std::wstring& folder) {
  return FolderLockName(win::FolderIdentity(folder));
}

FolderLock::Acquired FolderMutex::Acquire(std::chrono::milliseconds wait) {
  if (!mutex_) mutex_.reset(::CreateMutexW(nullptr, FALSE, name_.c_str()));
  if (!mutex_) return Acquired::kFailed;
  switch (::WaitForSingleObject(mutex_.get(), static_cast<DWORD>(wait.count()))) {
    case WAIT_OBJECT_0:
    // The last holder ended without releasing it; the stamp it may or may not
    // have written decides what this run does.
    case WAIT_ABANDONED:
      held_ = true;
      return Acquired::kHeld;
    case WAIT_TIMEOUT:
      return Acquired::kBusy;
    default:
      return Acquired::kFailed;
  }
}

void FolderMutex::Release() {
  if (held_) ::ReleaseMutex(mutex_.get());
  held_ = false;
}

}  // namespace ombrel::launcher
