// Writes what ProgramFolder gives for the program's own place, as UTF-8, into
// the file named on its command line; a test copies it into a drive's root.
#include <windows.h>

#include <string>

#include "common/list/program_folder.h"
#include "common/win/win_system.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
  ombrel::win::WinSystem system;
  const std::wstring folder = ombrel::ProgramFolder();
  std::string bytes;
  for (const wchar_t c : folder + ombrel::kEntryListFileName) {
    bytes += static_cast<char>(c < 128 ? c : '?');
  }
  return system.WriteAll(commandLine, bytes) ? 0 : 1;
}
