// RAII owners for the Windows handles the programs hold, so that no early
// return can leak one.
#pragma once

#include <windows.h>

#include <utility>

namespace ombrel::win {

// Owns a handle closed by Close(handle), where Invalid is the value that
// means "none" for that kind of handle.
template <typename Handle, auto Close, auto Invalid>
class Scoped {
 public:
  Scoped() = default;
  explicit Scoped(Handle handle) : handle_(handle) {}
  Scoped(const Scoped&) = delete;
  Scoped& operator=(const Scoped&) = delete;
  Scoped(Scoped&& other) noexcept : handle_(std::exchange(other.handle_, Invalid())) {}
  Scoped& operator=(Scoped&& other) noexcept {
    if (this != &other) reset(std::exchange(other.handle_, Invalid()));
    return *this;
  }
  ~Scoped() { reset(); }

  [[nodiscard]] Handle get() const { return handle_; }
  [[nodiscard]] bool valid() const { return handle_ != Invalid(); }
  explicit operator bool() const { return valid(); }

  // Closes the handle now and reports whether closing succeeded, for callers
  // that must know their data reached the file.
  bool close() {
    if (!valid()) return true;
    return Close(std::exchange(handle_, Invalid())) != 0;
  }
  void reset(Handle handle = Invalid()) {
    if (valid()) Close(handle_);
    handle_ = handle;
  }
  Handle release() { return std::exchange(handle_, Invalid()); }

 private:
  Handle handle_ = Invalid();
};

namespace detail {
inline HANDLE InvalidFile() { return INVALID_HANDLE_VALUE; }
inline HANDLE NullHandle() { return nullptr; }
inline HMODULE NullModule() { return nullptr; }
}  // namespace detail

// CreateFileW reports failure as INVALID_HANDLE_VALUE.
using ScopedFile = Scoped<HANDLE, &::CloseHandle, &detail::InvalidFile>;
// Processes, threads, mutexes and events report failure as null.
using ScopedHandle = Scoped<HANDLE, &::CloseHandle, &detail::NullHandle>;
using ScopedLibrary = Scoped<HMODULE, &::FreeLibrary, &detail::NullModule>;

// Loads a DLL from the system folder only, so that a DLL planted beside the
// program is never picked up.
inline HMODULE LoadSystemLibrary(const wchar_t* name) {
  return ::LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
}

// A function of a loaded DLL, typed. Null when the DLL or the name is missing.
template <typename Function>
Function GetProc(HMODULE library, const char* name) {
  if (library == nullptr) return nullptr;
  // Through a plain function pointer type: the cast GCC accepts without a
  // warning between unrelated function types.
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(::GetProcAddress(library, name)));
}

}  // namespace ombrel::win
