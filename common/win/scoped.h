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
  [[nodiscard]] bool close() {
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
inline HFONT NullFont() { return nullptr; }
inline HBITMAP NullBitmap() { return nullptr; }
inline HBRUSH NullBrush() { return nullptr; }
inline HDC NullDC() { return nullptr; }
inline HMENU NullMenu() { return nullptr; }
inline BOOL CloseFind(HANDLE find) { return ::FindClose(find); }
inline BOOL FreeFont(HFONT font) { return ::DeleteObject(font); }
inline BOOL FreeBitmap(HBITMAP bitmap) { return ::DeleteObject(bitmap); }
inline BOOL FreeBrush(HBRUSH brush) { return ::DeleteObject(brush); }
}  // namespace detail

// CreateFileW reports failure as INVALID_HANDLE_VALUE.
using ScopedFile = Scoped<HANDLE, &::CloseHandle, &detail::InvalidFile>;
// Processes, threads, mutexes and events report failure as null.
using ScopedHandle = Scoped<HANDLE, &::CloseHandle, &detail::NullHandle>;
using ScopedLibrary = Scoped<HMODULE, &::FreeLibrary, &detail::NullModule>;
// A search from FindFirstFileW, which reports failure as INVALID_HANDLE_VALUE.
using ScopedFindFile = Scoped<HANDLE, &detail::CloseFind, &detail::InvalidFile>;
// GDI objects the program created itself (never stock objects).
using ScopedFont = Scoped<HFONT, &detail::FreeFont, &detail::NullFont>;
using ScopedBitmap = Scoped<HBITMAP, &detail::FreeBitmap, &detail::NullBitmap>;
using ScopedBrush = Scoped<HBRUSH, &detail::FreeBrush, &detail::NullBrush>;
// A memory DC from CreateCompatibleDC; a window's DC is ScopedWindowDC below.
using ScopedMemoryDC = Scoped<HDC, &::DeleteDC, &detail::NullDC>;
// A menu no window owns yet; release() it once a window takes it over.
using ScopedMenu = Scoped<HMENU, &::DestroyMenu, &detail::NullMenu>;

// A window's DC from GetDC, which must go back to the same window.
class ScopedWindowDC {
 public:
  explicit ScopedWindowDC(HWND window) : window_(window), dc_(::GetDC(window)) {}
  ScopedWindowDC(const ScopedWindowDC&) = delete;
  ScopedWindowDC& operator=(const ScopedWindowDC&) = delete;
  ~ScopedWindowDC() {
    if (dc_ != nullptr) ::ReleaseDC(window_, dc_);
  }
  [[nodiscard]] HDC get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

 private:
  HWND window_;
  HDC dc_;
};

// Selects a GDI object into a DC for one scope and puts the old one back, so
// the object can be deleted safely afterwards.
class ScopedSelect {
 public:
  ScopedSelect(HDC dc, HGDIOBJ object) : dc_(dc), old_(::SelectObject(dc, object)) {}
  ScopedSelect(const ScopedSelect&) = delete;
  ScopedSelect& operator=(const ScopedSelect&) = delete;
  ~ScopedSelect() {
    if (old_ != nullptr && old_ != HGDI_ERROR) ::SelectObject(dc_, old_);
  }

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// Owns one reference to a COM object.
template <typename Interface>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ComPtr(ComPtr&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
  ComPtr& operator=(ComPtr&& other) noexcept {
    if (this != &other) *put() = std::exchange(other.object_, nullptr);
    return *this;
  }
  ~ComPtr() {
    if (object_ != nullptr) object_->Release();
  }
  [[nodiscard]] Interface* get() const { return object_; }
  Interface* operator->() const { return object_; }
  explicit operator bool() const { return object_ != nullptr; }
  // Where a creating call puts the object; the one held so far is released.
  Interface** put() {
    if (object_ != nullptr) object_->Release();
    object_ = nullptr;
    return &object_;
  }
  // Another interface of the same object, or an empty pointer.
  template <typename Other>
  [[nodiscard]] ComPtr<Other> As() const {
    ComPtr<Other> other;
    if (object_ != nullptr) object_->QueryInterface(__uuidof(Other), reinterpret_cast<void**>(other.put()));
    return other;
  }

 private:
  Interface* object_ = nullptr;
};

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
