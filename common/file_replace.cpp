#include "file_replace.h"

namespace ombrel {

bool PutInPlace(ReplaceSteps& steps, const std::wstring& target, const std::wstring& fresh,
                const std::wstring& backup) {
  if (!steps.Exists(target)) {
    if (steps.Move(fresh, target)) return true;
    steps.Remove(fresh);
    return false;
  }
  // Left over from a save that was cut short; the replace needs the name.
  steps.Remove(backup);
  switch (steps.Replace(target, fresh, backup)) {
    case ReplaceSteps::Outcome::kReplaced:
      steps.Remove(backup);
      return true;
    case ReplaceSteps::Outcome::kNothingMoved:
      // The one-step replace could not move the new file in; a rename still
      // can, for instance where the file system cannot keep the old one's
      // attributes.
      if (steps.Move(fresh, target)) return true;
      steps.Remove(fresh);
      return false;
    case ReplaceSteps::Outcome::kTargetMovedToBackup:
      if (steps.Move(fresh, target)) {
        steps.Remove(backup);
        return true;
      }
      if (steps.Move(backup, target)) {
        steps.Remove(fresh);
        return false;
      }
      // Neither file could be put in place: both stay, each the only copy.
      return false;
  }
  return false;
}

}  // namespace ombrel
