#include "launcher/failure_balloon.h"

#include <shellapi.h>

#include "common/list/program_folder.h"
#include "common/win/scoped.h"
#include "launcher/resource.h"

namespace ombrel::launcher {

namespace {

constexpr UINT kCallbackMessage = WM_APP + 1;
constexpr UINT kIconId = 1;
constexpr UINT_PTR kShownTimer = 1;

// What the notification needs of user32 and shell32, loaded as it is shown:
// Ombrel.exe imports neither (docs/design.md, "Start cost").
struct Shell {
  decltype(&::RegisterClassExW) registerClass = nullptr;
  decltype(&::CreateWindowExW) createWindow = nullptr;
  decltype(&::DestroyWindow) destroyWindow = nullptr;
  decltype(&::DefWindowProcW) defaultProcedure = nullptr;
  decltype(&::GetMessageW) getMessage = nullptr;
  decltype(&::DispatchMessageW) dispatchMessage = nullptr;
  decltype(&::PostQuitMessage) postQuit = nullptr;
  decltype(&::SetTimer) setTimer = nullptr;
  decltype(&::LoadImageW) loadImage = nullptr;
  decltype(&::GetSystemMetrics) systemMetrics = nullptr;
  decltype(&::DestroyIcon) destroyIcon = nullptr;
  decltype(&::AllowSetForegroundWindow) allowForeground = nullptr;
  decltype(&::Shell_NotifyIconW) notifyIcon = nullptr;

  [[nodiscard]] bool Load() {
    // Never freed: the window's procedure calls into them until the
    // process ends.
    const HMODULE user32 = win::LoadSystemLibrary(L"user32.dll");
    const HMODULE shell32 = win::LoadSystemLibrary(L"shell32.dll");
    registerClass = win::GetProc<decltype(registerClass)>(user32, "RegisterClassExW");
    createWindow = win::GetProc<decltype(createWindow)>(user32, "CreateWindowExW");
    destroyWindow = win::GetProc<decltype(destroyWindow)>(user32, "DestroyWindow");
    defaultProcedure = win::GetProc<decltype(defaultProcedure)>(user32, "DefWindowProcW");
    getMessage = win::GetProc<decltype(getMessage)>(user32, "GetMessageW");
    dispatchMessage = win::GetProc<decltype(dispatchMessage)>(user32, "DispatchMessageW");
    postQuit = win::GetProc<decltype(postQuit)>(user32, "PostQuitMessage");
    setTimer = win::GetProc<decltype(setTimer)>(user32, "SetTimer");
    loadImage = win::GetProc<decltype(loadImage)>(user32, "LoadImageW");
    systemMetrics = win::GetProc<decltype(systemMetrics)>(user32, "GetSystemMetrics");
    destroyIcon = win::GetProc<decltype(destroyIcon)>(user32, "DestroyIcon");
    allowForeground = win::GetProc<decltype(allowForeground)>(user32, "AllowSetForegroundWindow");
    notifyIcon = win::GetProc<decltype(notifyIcon)>(shell32, "Shell_NotifyIconW");
    return registerClass && createWindow && destroyWindow && defaultProcedure && getMessage &&
           dispatchMessage && postQuit && setTimer && loadImage && systemMetrics && destroyIcon &&
           allowForeground && notifyIcon;
  }
};

// The one notification of the process, for the window's procedure.
struct Showing {
  Shell shell;
  std::wstring folder;
  HWND window = nullptr;
  bool iconAdded = false;

  [[nodiscard]] NOTIFYICONDATAW Data() const {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = window;
    data.uID = kIconId;
    return data;
  }

  // The icon goes at once, however the notification ends: the shell keeps
  // an icon whose program has gone until the pointer passes over it.
  void RemoveIcon() {
    if (!iconAdded) return;
    NOTIFYICONDATAW data = Data();
    shell.notifyIcon(NIM_DELETE, &data);
    iconAdded = false;
  }

  void End() {
    RemoveIcon();
    shell.postQuit(0);
  }

  // This folder's editor, with its record in front. The user chose the
  // notification, so the editor may take the foreground from the shell.
  void OpenRecord() {
    shell.allowForeground(ASFW_ANY);
    const std::wstring editor = folder + kEditorFileName;
    std::wstring commandLine = L"\"" + editor + L"\" " + kRecordArgument;
    const std::wstring workingFolder = FolderAsPath(folder);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (::CreateProcessW(editor.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                         workingFolder.c_str(), &startup, &process)) {
      const win::ScopedHandle thread(process.hThread);
      const win::ScopedHandle started(process.hProcess);
    }
  }
};

Showing* showing = nullptr;

LRESULT CALLBACK NoticeProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Showing& self = *showing;
  switch (message) {
    case kCallbackMessage:
      // NOTIFYICON_VERSION_4: the event in the low word.
      switch (LOWORD(lParam)) {
        case NIN_BALLOONUSERCLICK:  // the balloon or toast
        case NIN_SELECT:            // the icon, by the mouse
        case NIN_KEYSELECT:         // the icon, by the keyboard
          self.OpenRecord();
          self.End();
          break;
        case NIN_BALLOONTIMEOUT:  // dismissed, or gone by itself
        case NIN_BALLOONHIDE:
          self.End();
          break;
        default:
          break;
      }
      return 0;
    case WM_TIMER:
      if (wParam == kShownTimer) self.End();
      return 0;
    // A log-off: nothing to keep, nothing to ask.
    case WM_QUERYENDSESSION:
      self.End();
      return TRUE;
    case WM_ENDSESSION:
      if (wParam != FALSE) self.End();
      return 0;
    default:
      return self.shell.defaultProcedure(window, message, wParam, lParam);
  }
}

DWORD InfoFlags(NoticeIcon icon) { return icon == NoticeIcon::kError ? NIIF_ERROR : NIIF_WARNING; }

void Show(HINSTANCE instance, const Notice& notice, Showing& self) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = &NoticeProcedure;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = kNoticeWindowClass;
  if (self.shell.registerClass(&windowClass) == 0) return;
  // A hidden top-level window rather than a message-only one: only
  // top-level windows are told that the session ends. Its thread answers
  // every message while it is there, so a broadcast never waits on it.
  self.window = self.shell.createWindow(WS_EX_TOOLWINDOW, kNoticeWindowClass, notice.title.c_str(), WS_POPUP,
                                        0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
  if (self.window == nullptr) return;

  const auto icon = static_cast<HICON>(
      self.shell.loadImage(instance, MAKEINTRESOURCEW(IDI_OMBREL), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
  NOTIFYICONDATAW data = self.Data();
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_SHOWTIP | NIF_INFO;
  data.uCallbackMessage = kCallbackMessage;
  data.hIcon = icon;
  notice.title.copy(data.szTip, std::size(data.szTip) - 1);
  notice.title.copy(data.szInfoTitle, std::size(data.szInfoTitle) - 1);
  notice.body.copy(data.szInfo, std::size(data.szInfo) - 1);
  data.dwInfoFlags = InfoFlags(notice.icon);
  self.iconAdded = self.shell.notifyIcon(NIM_ADD, &data) != FALSE;
  if (icon != nullptr) self.shell.destroyIcon(icon);
  if (self.iconAdded) {
    data.uVersion = NOTIFYICON_VERSION_4;
    if (self.shell.notifyIcon(NIM_SETVERSION, &data) &&
        self.shell.setTimer(self.window, kShownTimer,
                            static_cast<UINT>(std::chrono::milliseconds(kNoticeShownMost).count()),
                            nullptr)) {
      MSG message{};
      while (self.shell.getMessage(&message, nullptr, 0, 0) > 0) self.shell.dispatchMessage(&message);
    }
  }
  self.RemoveIcon();
  self.shell.destroyWindow(self.window);
}

}  // namespace

void ShowFailureNotice(HINSTANCE instance, const RunFailures& failures, const std::wstring& folder) noexcept {
  // The run's exit status stands whatever happens here.
  try {
    Showing self;
    if (!self.shell.Load()) return;
    self.folder = folder;
    showing = &self;
    Show(instance, NoticeText(failures), self);
    showing = nullptr;
  } catch (...) {
    showing = nullptr;
  }
}

}  // namespace ombrel::launcher
