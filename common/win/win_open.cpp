#include "win_open.h"

#include <vector>

#include "scoped.h"
#include "win_system.h"

namespace ombrel::win {

bool WinOpenPort::IsFile(const std::wstring& path) { return PathExists(path, FILE_ATTRIBUTE_DIRECTORY); }

bool WinOpenPort::StartProgram(const ProgramStart& program, const std::wstring& workingFolder) {
  // CreateProcessW may write into the command line, so it gets a copy.
  std::vector<wchar_t> line(program.commandLine.begin(), program.commandLine.end());
  line.push_back(L'\0');
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION process{};
  const wchar_t* application = program.application.empty() ? nullptr : program.application.c_str();
  const wchar_t* folder = workingFolder.empty() ? nullptr : workingFolder.c_str();
  if (!::CreateProcessW(application, line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder, &startup,
                        &process)) {
    return false;
  }
  // Nothing waits for the program: its handles are of no further use.
  const ScopedHandle thread(process.hThread);
  const ScopedHandle started(process.hProcess);
  return true;
}

bool WinOpenPort::LoadShell() {
  if (shellExecuteExW_) return true;
  // The shell may hand a target to extensions that need COM.
  if (!com_) com_.emplace(ComApartment::Kind::kCom);
  if (shell32_ == nullptr) shell32_ = LoadSystemLibrary(L"shell32.dll");
  shellExecuteExW_ = GetProc<ShellExecuteExWFn>(shell32_, "ShellExecuteExW");
  return shellExecuteExW_ != nullptr;
}

bool WinOpenPort::OpenWithShell(WindowHandle owner, const std::wstring& target,
                                const std::wstring& workingFolder) {
  if (!LoadShell()) return false;
  // The wide form: an entry in any script reaches the shell as it is.
  SHELLEXECUTEINFOW execute{};
  execute.cbSize = sizeof execute;
  // What ShellExecuteW asks for itself (no message box or dialog of the
  // shell's own: nobody is there to answer one at log-on), and a hand-over
  // finished before the call returns, since the launcher ends right after its
  // last entry: a document opened by DDE or a program started on one of the
  // shell's threads would otherwise be cut off.
  execute.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
  execute.hwnd = reinterpret_cast<HWND>(owner);
  execute.lpFile = target.c_str();
  execute.lpDirectory = workingFolder.c_str();
  execute.nShow = SW_SHOWNORMAL;
  return shellExecuteExW_(&execute) != FALSE;
}

}  // namespace ombrel::win
