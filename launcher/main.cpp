// Ombrel.exe: opens the day's entries at the first start of the day. A GUI
// program that never shows a window or a message; its exit status tells what
// happened (see README).
#include <windows.h>

#include "common/list/program_folder.h"
#include "common/win/win_open.h"
#include "common/win/win_pacing.h"
#include "common/win/win_policy.h"
#include "common/win/win_system.h"
#include "launcher/failure_balloon.h"
#include "launcher/folder_mutex.h"
#include "launcher/hidden_owner.h"
#include "launcher/launcher_run.h"
#include "launcher/win_session.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  // Before anything can load a DLL: from the system folder only, never from
  // the program folder, which users write to and where a planted DLL would
  // run with their rights at every log-on.
  ::SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);

  std::wstring folder;
  ombrel::RunFailures failures;
  const ombrel::LauncherExit status = ombrel::ExitStatusOf([instance, &folder, &failures] {
    folder = ombrel::ProgramFolder();
    ombrel::win::WinSystem system;
    ombrel::launcher::FolderMutex lock(folder);
    ombrel::launcher::HiddenOwner owner(instance);
    ombrel::win::WinOpenPort open;
    ombrel::win::WinClock clock(static_cast<unsigned>(ombrel::LauncherExit::kStepHung));
    ombrel::win::WinNetworkProbe network;
    ombrel::launcher::WinSession session;
    ombrel::win::WinPolicy policy;
    return ombrel::LauncherRun(system, {open, owner, lock, session, clock, network, policy}, folder,
                               failures);
  });
  // After the run: its last entry has been handed to Windows, the folder's
  // lock is free and the step watch has ended.
  if (ombrel::NoticeDue(failures)) ombrel::launcher::ShowFailureNotice(instance, failures, folder);
  return static_cast<int>(status);
}
