// How a freshly written file takes the place of the old one, whatever step of
// the platform's replace fails. The list is the one thing the user must never
// lose: no failure may leave the folder without a list, and the only copy of
// one is never deleted.
#pragma once

#include <string>

namespace ombrel {

// The steps the platform offers. Each waits out a file that another program
// holds for a moment before it reports failure.
class ReplaceSteps {
 public:
  ReplaceSteps() = default;
  ReplaceSteps(const ReplaceSteps&) = delete;
  ReplaceSteps& operator=(const ReplaceSteps&) = delete;
  virtual ~ReplaceSteps() = default;

  enum class Outcome {
    kReplaced,
    // Failed, and every file kept its name: `target` still holds the old
    // content and `fresh` the new.
    kNothingMoved,
    // Failed half-way: the old content was moved to `backup` and `target` is
    // gone; `fresh` still holds the new content.
    kTargetMovedToBackup,
  };

  [[nodiscard]] virtual bool Exists(const std::wstring& path) = 0;
  // Puts `fresh` in place of the existing `target` in one step, moving the
  // old content to `backup`.
  [[nodiscard]] virtual Outcome Replace(const std::wstring& target, const std::wstring& fresh,
                                        const std::wstring& backup) = 0;
  // Renames `from` to `to`, replacing `to` when it exists.
  [[nodiscard]] virtual bool Move(const std::wstring& from, const std::wstring& to) = 0;
  virtual void Remove(const std::wstring& path) = 0;
};

// Puts the written file `fresh` in place of `target`; true when `target` now
// holds the new content. When it fails, `target` holds the old content (or,
// with no old list, does not exist), with one exception: when the old file
// was moved away half-way and neither file can be moved back into place,
// the old content stays in `backup` and the new in `fresh`, both kept.
[[nodiscard]] bool PutInPlace(ReplaceSteps& steps, const std::wstring& target, const std::wstring& fresh,
                              const std::wstring& backup);

}  // namespace ombrel
