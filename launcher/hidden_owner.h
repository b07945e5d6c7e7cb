// The launcher's one window, Form1: a message-only window, never shown and
// reached by no broadcast, that only gives the shell an owner for what it may
// show. It is made when the first shell entry asks for it, through a user32
// loaded then: a run of program entries alone, and every same-day start,
// never load user32 at all.
#pragma once

#include <windows.h>

#include "common/open/entry_open.h"

namespace ombrel::launcher {

class HiddenOwner final : public OwnerWindow {
 public:
  explicit HiddenOwner(HINSTANCE instance) : instance_(instance) {}
  HiddenOwner(const HiddenOwner&) = delete;
  HiddenOwner& operator=(const HiddenOwner&) = delete;
  ~HiddenOwner() override;

  // The window's handle, made on the first call; 0 when it could not be made,
  // and the shell then works without an owner.
  WindowHandle Handle() override;

 private:
  HINSTANCE instance_;
  bool tried_ = false;
  // Never freed: the window's procedure lives in it until the process ends.
  HMODULE user32_ = nullptr;
  HWND window_ = nullptr;
};

}  // namespace ombrel::launcher
