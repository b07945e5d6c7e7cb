// The launcher's session as Windows reports it, through a wtsapi32 loaded
// when first asked: the same-day start never asks, and never loads it.
#pragma once

#include "launcher/session_presence.h"

namespace ombrel::launcher {

class WinSession final : public SessionPort {
 public:
  [[nodiscard]] SessionReport Report() override;
};

}  // namespace ombrel::launcher
