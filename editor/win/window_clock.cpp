#include "editor/win/window_clock.h"

#include <algorithm>
#include <atomic>
#include <limits>
#include <memory>
#include <string>

#include "common/win/scoped.h"

namespace ombrel::editor {

namespace {

// One question to the network, shared by the window's thread and the one that
// asks, so that either may go first.
struct Question {
  std::wstring path;
  std::atomic<bool> answered{false};
  win::ScopedHandle done;  // set once asked
};

DWORD WINAPI Ask(void* parameter) {
  const std::unique_ptr<std::shared_ptr<Question>> handed(static_cast<std::shared_ptr<Question>*>(parameter));
  Question& question = **handed;
  question.answered = win::PathAnswersNow(question.path);
  ::SetEvent(question.done.get());
  return 0;
}

}  // namespace

std::chrono::milliseconds WindowClock::Elapsed() {
  return std::chrono::milliseconds{static_cast<std::chrono::milliseconds::rep>(::GetTickCount64())};
}

bool WindowClock::Sleep(std::chrono::milliseconds duration) {
  return Wait(nullptr, ::GetTickCount64() + static_cast<ULONGLONG>(duration.count()));
}

bool WindowClock::WaitFor(HANDLE done) { return Wait(done, std::numeric_limits<ULONGLONG>::max()); }

bool WindowClock::Wait(HANDLE done, ULONGLONG end) {
  const auto window = reinterpret_cast<HWND>(view_.Handle());
  const HWND focus = ::GetFocus();
  bool windowStays = true;
  for (ULONGLONG now = ::GetTickCount64(); windowStays && now < end; now = ::GetTickCount64()) {
    // Again each time: a message box shown meanwhile (the session's end asks
    // about unsaved changes) enables its owner when it closes.
    ::EnableWindow(window, FALSE);
    const auto timeout = static_cast<DWORD>(std::min<ULONGLONG>(end - now, INFINITE));
    const DWORD woke = ::MsgWaitForMultipleObjectsEx(done != nullptr ? 1 : 0, &done, timeout, QS_ALLINPUT,
                                                     MWMO_INPUTAVAILABLE);
    if (done != nullptr && woke == WAIT_OBJECT_0) break;
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

PathReply WindowNetworkProbe::AskPath(const std::wstring& path) {
  auto question = std::make_shared<Question>();
  question->path = path;
  question->done.reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!question->done) return direct_.AskPath(path);
  auto handed = std::make_unique<std::shared_ptr<Question>>(question);
  const win::ScopedHandle asking(::CreateThread(nullptr, 0, &Ask, handed.get(), 0, nullptr));
  if (!asking) return direct_.AskPath(path);
  // The thread owns its share now.
  static_cast<void>(handed.release());
  if (!clock_.WaitFor(question->done.get())) return PathReply::kProgramEnding;
  return question->answered ? PathReply::kAnswered : PathReply::kSilent;
}

}  // namespace ombrel::editor
