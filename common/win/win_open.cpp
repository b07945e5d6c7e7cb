#include "common/win/win_open.h"

#include <vector>

#include "common/win/scoped.h"
#include "common/win/win_system.h"

namespace ombrel::win {

namespace {

// The file a started process runs, as Windows found it (a bare name searched
// along the path included); empty when Windows cannot say.
std::wstring ImageOf(HANDLE process) {
  std::vector<wchar_t> path(MAX_PATH);
  for (;;) {
    auto size = static_cast<DWORD>(path.size());
    if (::QueryFullProcessImageNameW(process, 0, path.data(), &size)) return {path.data(), size};
    if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER || path.size() > 32768) return {};
    path.resize(path.size() * 2);
  }
}

// Windows' error code for a failed ShellExecuteExW: the thread's last error,
// which the shell sets; else the older code it leaves in hInstApp, as the
// error that code stands for.
DWORD ShellError(const SHELLEXECUTEINFOW& execute) {
  if (const DWORD error = ::GetLastError(); error != ERROR_SUCCESS) return error;
  switch (static_cast<DWORD>(reinterpret_cast<INT_PTR>(execute.hInstApp))) {
    case SE_ERR_NOASSOC:
    case SE_ERR_ASSOCINCOMPLETE:
      return ERROR_NO_ASSOCIATION;
    case SE_ERR_DDETIMEOUT:
    case SE_ERR_DDEFAIL:
    case SE_ERR_DDEBUSY:
      return ERROR_DDE_FAIL;
    case SE_ERR_SHARE:
      return ERROR_SHARING_VIOLATION;
    case SE_ERR_DLLNOTFOUND:
      return ERROR_DLL_NOT_FOUND;
    default:
      // The rest (file or path not found, access denied, out of memory) are
      // Windows' own codes already.
      return static_cast<DWORD>(reinterpret_cast<INT_PTR>(execute.hInstApp));
  }
}

}  // namespace

bool WinOpenPort::IsFile(const std::wstring& path) { return PathExists(path, FILE_ATTRIBUTE_DIRECTORY); }

OpenAttempt WinOpenPort::StartProgram(const ProgramStart& program, const std::wstring& workingFolder) {
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
    return {false, ::GetLastError(), {}};
  }
  // Nothing waits for the program: its handles are of no further use once
  // it is known which file it runs.
  const ScopedHandle thread(process.hThread);
  const ScopedHandle started(process.hProcess);
  return {true, ERROR_SUCCESS, ImageOf(started.get())};
}

bool WinOpenPort::LoadShell() {
  if (shellExecuteExW_) return true;
  // The shell may hand a target to extensions that need COM.
  if (!com_) com_.emplace(ComApartment::Kind::kCom);
  if (shell32_ == nullptr) shell32_ = LoadSystemLibrary(L"shell32.dll");
  shellExecuteExW_ = GetProc<ShellExecuteExWFn>(shell32_, "ShellExecuteExW");
  return shellExecuteExW_ != nullptr;
}

OpenAttempt WinOpenPort::OpenWithShell(WindowHandle owner, const std::wstring& target,
                                       const std::wstring& workingFolder) {
  if (!LoadShell()) return {false, ::GetLastError(), {}};
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
  ::SetLastError(ERROR_SUCCESS);
  if (shellExecuteExW_(&execute)) return {true, ERROR_SUCCESS, {}};
  return {false, ShellError(execute), {}};
}

}  // namespace ombrel::win
