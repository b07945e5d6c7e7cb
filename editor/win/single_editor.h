// One editor a program folder. Two editors of one list would each save over
// the other's changes; a second start (from the Start menu while the
// installer's finish page has one open, say) brings the first one's window to
// the front instead.
#pragma once

#include <windows.h>

#include <string>

#include "common/win/scoped.h"

namespace ombrel::editor {

// The mutex of the editors of `folder`: named after the folder's final path,
// as the launcher's lock is, but apart from it.
[[nodiscard]] std::wstring EditorMutexName(const std::wstring& folder);

class SingleEditor {
 public:
  // Takes the folder's mutex, or finds it taken by another editor.
  explicit SingleEditor(const std::wstring& folder);

  // True when another editor of the folder runs: its window has been brought
  // to the front, restored if it was minimised, with its run record's window
  // when `showRecord`, and this one must end. When the mutex could not be
  // made at all, this editor opens as editors always did.
  [[nodiscard]] bool HandedToFirst(bool showRecord = false) const;

 private:
  std::wstring name_;
  win::ScopedHandle mutex_;
  bool another_ = false;
};

}  // namespace ombrel::editor
