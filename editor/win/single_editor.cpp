#include "editor/win/single_editor.h"

#include <chrono>
#include <iterator>
#include <string_view>
#include <thread>

#include "common/list/program_folder.h"
#include "common/win/final_path.h"
#include "editor/win/main_window.h"

namespace ombrel::editor {

namespace {

// The first editor may still be loading a long list before its window shows.
constexpr auto kWindowWait = std::chrono::seconds(5);
constexpr auto kWindowPoll = std::chrono::milliseconds(50);

// The folder of a process's program, or nothing when it cannot be had.
std::wstring ProgramFolderOf(DWORD processId) {
  const win::ScopedHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
  if (!process) return {};
  std::wstring image(32 * 1024, L'\0');
  DWORD length = static_cast<DWORD>(image.size());
  if (!::QueryFullProcessImageNameW(process.get(), 0, image.data(), &length)) return {};
  image.resize(length);
  return FolderOf(image);
}

struct Search {
  const std::wstring* name;
  HWND found;
};

// The visible main window of an editor whose folder has the mutex `name`.
BOOL CALLBACK FindEditorWindow(HWND window, LPARAM context) {
  auto& search = *reinterpret_cast<Search*>(context);
  wchar_t className[64] = {};
  ::GetClassNameW(window, className, static_cast<int>(std::size(className)));
  if (std::wstring_view(className) != MainWindow::kClassName || !::IsWindowVisible(window)) return TRUE;
  DWORD processId = 0;
  ::GetWindowThreadProcessId(window, &processId);
  const std::wstring folder = ProgramFolderOf(processId);
  if (folder.empty() || EditorMutexName(folder) != *search.name) return TRUE;
  search.found = window;
  return FALSE;
}

}  // namespace

std::wstring EditorMutexName(const std::wstring& folder) {
  return FolderObjectName(kEditorInstancePrefix, win::FolderIdentity(folder));
}

SingleEditor::SingleEditor(const std::wstring& folder)
    : name_(EditorMutexName(folder)), mutex_(::CreateMutexW(nullptr, FALSE, name_.c_str())) {
  another_ = mutex_ && ::GetLastError() == ERROR_ALREADY_EXISTS;
}

bool SingleEditor::HandedToFirst(bool showRecord) const {
  if (!another_) return false;
  Search search{&name_, nullptr};
  const auto deadline = std::chrono::steady_clock::now() + kWindowWait;
  for (;;) {
    ::EnumWindows(&FindEditorWindow, reinterpret_cast<LPARAM>(&search));
    if (search.found != nullptr || std::chrono::steady_clock::now() >= deadline) break;
    std::this_thread::sleep_for(kWindowPoll);
  }
  if (search.found != nullptr) {
    // Asynchronous: a first editor that hangs must not hang this one.
    if (::IsIconic(search.found)) ::ShowWindowAsync(search.found, SW_RESTORE);
    // A message box or dialog of the first editor, if one is open, is what
    // the user must answer.
    ::SetForegroundWindow(::GetLastActivePopup(search.found));
    if (showRecord) {
      // The first editor opens a window of its own: let it take the front.
      DWORD processId = 0;
      ::GetWindowThreadProcessId(search.found, &processId);
      ::AllowSetForegroundWindow(processId);
      ::PostMessageW(search.found, MainWindow::kShowRecordMessage, 0, 0);
    }
  }
  return true;
}

}  // namespace ombrel::editor
