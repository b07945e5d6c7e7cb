// Files and folders dropped on the window from Explorer, taken through OLE
// (an IDropTarget of the window), the way Explorer hands a drag to another
// program. Over the list or the edit box the pointer offers a link; anywhere
// else it shows that nothing can be dropped.
#pragma once

#include <windows.h>

#include "editor/model/editor.h"

namespace ombrel::editor {

// The window's drop target, registered while this object lives. Windows
// refuses it when the thread has no OLE: then nothing can be dropped.
class FileDrop {
 public:
  FileDrop(HWND window, HWND list, HWND editBox, Editor& editor);
  ~FileDrop();
  FileDrop(const FileDrop&) = delete;
  FileDrop& operator=(const FileDrop&) = delete;

  class Target;

 private:
  HWND window_;
  Target* target_;
  bool registered_;
};

}  // namespace ombrel::editor
