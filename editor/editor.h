// What OmbrelSet does, apart from drawing it: every command of the window as
// plain code over a small view interface, so that each decision (list and
// selection, the modified flag, saving and leaving, running the entries, help)
// is tested without a window. Form1 implements the view with real controls.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "entry_open.h"

namespace ombrel {
class SystemPort;
struct LocalTime;
}  // namespace ombrel

namespace ombrel::editor {

// The kinds of message box; each has its fixed icon and buttons.
enum class MessageKind {
  kWarning,           // exclamation mark, OK
  kLeaveQuestion,     // exclamation mark, Yes and No
  kRunAgainQuestion,  // question mark, Yes and No, Yes the default
  kInformation,       // information sign, OK
};

enum class Answer { kOk, kYes, kNo };

// The window as the editor's commands see it. Positions count from 0; -1 is
// "nothing selected".
class EditorView {
 public:
  EditorView() = default;
  EditorView(const EditorView&) = delete;
  EditorView& operator=(const EditorView&) = delete;
  virtual ~EditorView() = default;

  // List1. Inserting keeps the selection on the entry it was on.
  virtual std::ptrdiff_t ListCount() = 0;
  virtual std::wstring ListItem(std::ptrdiff_t index) = 0;
  virtual void InsertListItem(std::ptrdiff_t index, const std::wstring& text) = 0;
  virtual void RemoveListItem(std::ptrdiff_t index) = 0;
  virtual std::ptrdiff_t ListSelection() = 0;
  virtual void SetListSelection(std::ptrdiff_t index) = 0;
  // Told before a whole list is loaded, so that a long one loads fast.
  virtual void ReserveListItems(std::size_t /*count*/, std::size_t /*characters*/) {}

  // Text1.
  virtual std::wstring EditText() = 0;
  virtual void SetEditText(const std::wstring& text) = 0;

  // A text of the program's string table, by its IDS_ id.
  virtual std::wstring LoadText(int id) = 0;

  // A modal message box with the program's title as caption.
  virtual Answer ShowMessage(MessageKind kind, const std::wstring& text) = 0;

  // The open-file dialog; the chosen full path, or nothing when cancelled or
  // failed. `filter` is pairs of label and pattern separated by "|".
  virtual std::optional<std::wstring> ShowOpenFileDialog(const std::wstring& title,
                                                         const std::wstring& filter) = 0;

  virtual WindowHandle Handle() = 0;

  // Ends the program at once; no handler runs after it.
  virtual void EndProgram() = 0;
};

class Editor final : public OwnerWindow {
 public:
  Editor(EditorView& view, SystemPort& system, OpenPort& open, std::wstring programFolder);

  // The window title for a load at `now`.
  std::wstring Title(const LocalTime& now);

  // Loading, saving and leaving.
  void Dat_Get();
  // False when the file could not be written: the user was warned, and the
  // list and the modified flag are kept.
  bool Dat_Put();
  // Asks to save when the list changed, then ends the program. False only
  // when the user chose to save and the save failed: the window then stays.
  bool End_Rtn();

  // The commands, named after the controls and menu items that give them.
  void Command1_Click() { Sansyou(); }
  void Sansyou();
  void Command2_Click();
  void Command3_Click();
  void Command6_Click();
  void List1_DblClick();
  void Command4_Click();
  void Command5_Click();
  void Save_Click() { Dat_Put(); }
  void CAN_Click() { Command5_Click(); }
  void END_Click() { End_Rtn(); }
  // Closing the window by its close box or Alt+F4. False: the window stays.
  bool Form_Unload() { return End_Rtn(); }
  void Command7_Click();
  void Command8_Click() { Run_rtn(); }
  void Run_rtn();
  void HELP_Click();
  void Help_Open(WindowHandle owner, const std::wstring& pagePath);
  void ABOUT_Click();

  [[nodiscard]] int modified() const { return modified_; }
  [[nodiscard]] const std::wstring& entryListPath() const { return entryListPath_; }

  // The owner of what the shell shows while entries run: the editor window.
  WindowHandle Handle() override;

 private:
  void Warn(const std::wstring& text);

  EditorView& view_;
  SystemPort& system_;
  OpenPort& open_;
  std::wstring folder_;
  std::wstring entryListPath_;
  int modified_ = 0;
};

}  // namespace ombrel::editor
