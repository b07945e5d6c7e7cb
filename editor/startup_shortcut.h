// Ombrel at log-on on Windows: a shortcut in the user's Startup folder to the
// Ombrel.exe beside the editor, working folder the program folder, as the
// installer's check box makes it.
#pragma once

#include <string>
#include <vector>

#include "editor.h"

namespace ombrel::editor {

class StartupShortcut final : public LogOnStart {
 public:
  // `launcher` is the full path of the Ombrel.exe the shortcut starts.
  explicit StartupShortcut(std::wstring launcher) : launcher_(std::move(launcher)) {}

  [[nodiscard]] bool IsOn() override;
  [[nodiscard]] bool TurnOn() override;
  [[nodiscard]] bool TurnOff() override;
  [[nodiscard]] std::wstring ShortcutPath() override;

 private:
  // The shortcuts in the Startup folder whose target is the launcher.
  [[nodiscard]] std::vector<std::wstring> ShortcutsToLauncher();

  std::wstring launcher_;
};

}  // namespace ombrel::editor
