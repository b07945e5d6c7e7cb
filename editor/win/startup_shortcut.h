// Ombrel at log-on on Windows: a shortcut in the user's Startup folder to the
// Ombrel.exe beside the editor, working folder the program folder, as the
// installer's check box makes it, and Windows' own switch of each such
// shortcut (common/startup/startup_approval.h).
#pragma once

#include <string>
#include <vector>

#include "editor/model/editor.h"

namespace ombrel::editor {

class StartupShortcut final : public LogOnStart {
 public:
  // `launcher` is the full path of the Ombrel.exe the shortcut starts.
  explicit StartupShortcut(std::wstring launcher) : launcher_(std::move(launcher)) {}

  [[nodiscard]] std::vector<StartupApproval> Shortcuts() override;
  [[nodiscard]] bool TurnOn() override;
  [[nodiscard]] bool SwitchOn() override;
  [[nodiscard]] bool TurnOff() override;
  [[nodiscard]] std::wstring ShortcutPath() override;

 private:
  struct Found {
    std::wstring path;
    std::wstring fileName;  // the name Windows' switch goes by
  };
  // The shortcuts in the Startup folder whose target is the launcher.
  [[nodiscard]] std::vector<Found> ShortcutsToLauncher();

  std::wstring launcher_;
};

}  // namespace ombrel::editor
