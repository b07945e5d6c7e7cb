// Saves two lists into one file in turn, for ever, through the very code the
// editor saves with, and releases the named semaphore once after each save it
// finished; a test kills it at random moments and looks at what the file
// holds.
//
//   save_loop.exe SEMAPHORE PATH
#include <windows.h>

#include <string>
#include <vector>

#include "common/list/entry_list.h"
#include "common/win/scoped.h"
#include "common/win/win_system.h"
#include "save_lists.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
  const std::wstring arguments = commandLine;
  const std::size_t blank = arguments.find(L' ');
  if (blank == std::wstring::npos) return 2;
  const ombrel::win::ScopedHandle saved(
      ::OpenSemaphoreW(SEMAPHORE_MODIFY_STATE, FALSE, arguments.substr(0, blank).c_str()));
  if (!saved) return 2;
  const std::wstring path = arguments.substr(blank + 1);
  ombrel::win::WinSystem system;
  const std::vector<std::wstring> lists[] = {ombrel::testing::OldList(), ombrel::testing::NewList()};
  for (unsigned turn = 0;; ++turn) {
    if (!ombrel::WriteEntryList(system, path, lists[turn % 2])) return 1;
    ::ReleaseSemaphore(saved.get(), 1, nullptr);
  }
}
