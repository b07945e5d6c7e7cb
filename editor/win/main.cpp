// OmbrelSet: the window in which the user edits the list that Ombrel opens
// once a day, runs it on demand and resets the day's stamp.
#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "common/list/program_folder.h"
#include "common/win/com_apartment.h"
#include "editor/model/resume_switch.h"
#include "editor/win/main_window.h"
#include "editor/win/scheduled_task.h"
#include "editor/win/single_editor.h"

namespace {

// The program's arguments, its own path not among them.
std::vector<std::wstring> Arguments() {
  int count = 0;
  LPWSTR* list = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  std::vector<std::wstring> arguments;
  for (int i = 1; list != nullptr && i < count; ++i) arguments.emplace_back(list[i]);
  ::LocalFree(list);
  return arguments;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  // DLLs loaded later (the shell's, the dialog's) come from the system folder
  // only, never from the program folder, where anyone may drop a file.
  ::SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
  // The open-file dialog and the shell hand work to extensions that need COM;
  // files dropped from Explorer come through OLE.
  const ombrel::win::ComApartment com(ombrel::win::ComApartment::Kind::kComAndOle);
  // The installer's call: no window, only a status, and before anything that
  // could turn it away.
  ombrel::editor::ScheduledTask resumeTask(ombrel::ProgramFolder() + ombrel::kLauncherFileName);
  if (const std::optional<int> status = ombrel::editor::RunResumeTaskSwitch(Arguments(), resumeTask)) {
    return *status;
  }
  const std::vector<std::wstring> arguments = Arguments();
  const bool showRecord = std::ranges::any_of(arguments, [](const std::wstring& argument) {
    return ::CompareStringOrdinal(argument.c_str(), -1, ombrel::kRecordArgument, -1, TRUE) == CSTR_EQUAL;
  });
  const ombrel::editor::SingleEditor single(ombrel::ProgramFolder());
  if (single.HandedToFirst(showRecord)) return 0;
  const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                      ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES};
  ::InitCommonControlsEx(&controls);

  ombrel::editor::MainWindow window(instance);
  if (!window.Create()) return 1;
  if (!window.Show(showCommand, showRecord)) return 1;

  MSG message{};
  BOOL received = FALSE;
  while ((received = ::GetMessageW(&message, nullptr, 0, 0)) != 0) {
    if (received == -1) return 1;
    if (!window.PreTranslateMessage(message)) {
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
  }
  return static_cast<int>(message.wParam);
}
