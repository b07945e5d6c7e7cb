#include "common/startup/startup_approval.h"

namespace ombrel {

StartupApproval ReadStartupApproval(const std::optional<std::string>& binaryValue) {
  if (!binaryValue || binaryValue->empty()) return StartupApproval::kOn;
  // The low bit alone: Windows writes 02 or 06 for on and 03 for off.
  return (static_cast<unsigned char>(binaryValue->front()) & 1U) != 0 ? StartupApproval::kOff
                                                                      : StartupApproval::kOn;
}

}  // namespace ombrel
