#include "launcher/hidden_owner.h"

#include "common/win/scoped.h"

namespace ombrel::launcher {

namespace {

constexpr wchar_t kClassName[] = L"OmbrelHiddenOwner";
constexpr wchar_t kCaption[] = L"Form1";

using RegisterClassExWFn = ATOM(WINAPI*)(const WNDCLASSEXW*);
using CreateWindowExWFn = HWND(WINAPI*)(DWORD, LPCWSTR, LPCWSTR, DWORD, int, int, int, int, HWND, HMENU,
                                        HINSTANCE, LPVOID);
using DestroyWindowFn = BOOL(WINAPI*)(HWND);

}  // namespace

WindowHandle HiddenOwner::Handle() {
  if (tried_) return reinterpret_cast<WindowHandle>(window_);
  tried_ = true;
  user32_ = win::LoadSystemLibrary(L"user32.dll");
  const auto registerClass = win::GetProc<RegisterClassExWFn>(user32_, "RegisterClassExW");
  const auto createWindow = win::GetProc<CreateWindowExWFn>(user32_, "CreateWindowExW");
  // The window has no code of its own: every message gets the default.
  const auto defaultProcedure = win::GetProc<WNDPROC>(user32_, "DefWindowProcW");
  if (registerClass == nullptr || createWindow == nullptr || defaultProcedure == nullptr) return 0;

  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = defaultProcedure;
  windowClass.hInstance = instance_;
  windowClass.lpszClassName = kClassName;
  if (registerClass(&windowClass) == 0) return 0;
  // A message-only window: a top-level one, even hidden, is sent every
  // broadcast (DDE's WM_DDE_INITIATE among them), and the launcher's thread
  // answers none while it waits (the pause, the gaps, a network path, the
  // shell), so the programs just opened would hang until it ends. No
  // broadcast reaches a message-only window; the shell still takes it as
  // the owner, and messages sent to its handle still arrive.
  window_ = createWindow(0, kClassName, kCaption, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance_, nullptr);
  return reinterpret_cast<WindowHandle>(window_);
}

HiddenOwner::~HiddenOwner() {
  if (window_ == nullptr) return;
  if (const auto destroy = win::GetProc<DestroyWindowFn>(user32_, "DestroyWindow")) destroy(window_);
}

}  // namespace ombrel::launcher
