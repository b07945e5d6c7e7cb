// COM on the calling thread, for as long as the object lives: a
// single-threaded apartment without OLE1 DDE, as the shell asks of a thread
// that hands it work (its extensions may need COM); with OLE on top where
// the thread takes files dropped from Explorer. ole32 is loaded when one is
// made, not imported, so that the launcher's same-day start never loads it.
#pragma once

#include <windows.h>

namespace ombrel::win {

class ComApartment {
 public:
  enum class Kind { kCom, kComAndOle };

  explicit ComApartment(Kind kind);
  ~ComApartment();
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

 private:
  // Never freed: the shell may leave threads of its own running in it.
  HMODULE ole32_ = nullptr;
  bool comJoined_ = false;
  bool oleJoined_ = false;
};

}  // namespace ombrel::win
