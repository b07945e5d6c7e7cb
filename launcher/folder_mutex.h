// The program folder's lock on Windows: a named mutex, so launchers of one
// folder take turns, and an ended or crashed holder frees it by itself.
#pragma once

#include <windows.h>

#include <string>

#include "common/win/scoped.h"
#include "launcher/launcher_run.h"

namespace ombrel::launcher {

// The mutex name for a folder, named after its final path (falling back to the
// path as given when that cannot be had), letter case ignored.
[[nodiscard]] std::wstring FolderMutexName(const std::wstring& folder);

class FolderMutex final : public FolderLock {
 public:
  explicit FolderMutex(const std::wstring& folder) : name_(FolderMutexName(folder)) {}

  [[nodiscard]] Acquired Acquire(std::chrono::milliseconds wait) override;
  void Release() override;

 private:
  std::wstring name_;
  win::ScopedHandle mutex_;
  bool held_ = false;
};

}  // namespace ombrel::launcher
