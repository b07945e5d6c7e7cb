#include "editor/win/window_clock.h"

namespace ombrel::editor {

std::chrono::milliseconds WindowClock::Elapsed() {
  return std::chrono::milliseconds{static_cast<std::chrono::milliseconds::rep>(::GetTickCount64())};
}

bool WindowClock::Sleep(std::chrono::milliseconds duration) {
  const auto window = reinterpret_cast<HWND>(view_.Handle());
  const HWND focus = ::GetFocus();
  const ULONGLONG end = ::GetTickCount64() + static_cast<ULONGLONG>(duration.count());
  bool windowStays = true;
  for (ULONGLONG now = ::GetTickCount64(); windowStays && now < end; now = ::GetTickCount64()) {
    // Again each time: a message box shown meanwhile (the session's end asks
    // about unsaved changes) enables its owner when it closes.
    ::EnableWindow(window, FALSE);
    ::MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(end - now), QS_ALLINPUT,
                                  MWMO_INPUTAVAILABLE);
    MSG message{};
    while (windowStays && ::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        // The program's own loop ends on it, once the run has stopped.
        ::PostQuitMessage(static_cast<int>(message.wParam));
        windowStays = false;
      } else {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
      }
    }
    windowStays = windowStays && ::IsWindow(window);
  }
  if (!::IsWindow(window)) return false;
  ::EnableWindow(window, TRUE);
  if (focus != nullptr && ::IsWindow(focus)) ::SetFocus(focus);
  return windowStays;
}

}  // namespace ombrel::editor
