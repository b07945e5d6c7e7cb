// Saves two lists into one file in turn, for ever, through the very code the
// editor saves with; a test kills it at random moments and looks at what the
// file holds.
//
//   save_loop.exe PATH
#include <windows.h>

#include <string>
#include <vector>

#include "common/list/entry_list.h"
#include "common/win/win_system.h"
#include "save_lists.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
  const std::wstring path = commandLine;
  ombrel::win::WinSystem system;
  const std::vector<std::wstring> lists[] = {ombrel::testing::OldList(), ombrel::testing::NewList()};
  for (unsigned turn = 0;; ++turn) {
    if (!ombrel::WriteEntryList(system, path, lists[turn % 2])) return 1;
  }
}
