// What holds after each way the platform's replace can fail: the list is
// never lost and its only copy never deleted.
#include "file_replace.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace ombrel {
namespace {

const std::wstring kTarget = L"C:\\T\\OMBREL.DAT";
const std::wstring kFresh = L"C:\\T\\OMBREL.DAT.new";
const std::wstring kBackup = L"C:\\T\\OMBREL.DAT.bak";

// Files as a map from name to content; the replace fails as it is told to,
// leaving the files as the platform documents for that failure.
class FakeSteps final : public ReplaceSteps {
 public:
  std::map<std::wstring, std::string> files;
  Outcome replaceOutcome = Outcome::kReplaced;
  std::set<std::pair<std::wstring, std::wstring>> failingMoves;

  bool Exists(const std::wstring& path) override { return files.count(path) != 0; }
  Outcome Replace(const std::wstring& target, const std::wstring& fresh,
                  const std::wstring& backup) override {
    switch (replaceOutcome) {
      case Outcome::kReplaced:
        files[backup] = files[target];
        files[target] = files[fresh];
        files.erase(fresh);
        break;
      case Outcome::kNothingMoved:
        break;
      case Outcome::kTargetMovedToBackup:
        files[backup] = files[target];
        files.erase(target);
        break;
    }
    return replaceOutcome;
  }
  bool Move(const std::wstring& from, const std::wstring& to) override {
    if (failingMoves.count({from, to}) != 0 || files.count(from) == 0) return false;
    files[to] = files[from];
    files.erase(from);
    return true;
  }
  void Remove(const std::wstring& path) override { files.erase(path); }
};

struct ReplaceCase {
  const char* name;
  bool oldExists;
  bool saved;
  ReplaceSteps::Outcome outcome;
  std::set<std::pair<std::wstring, std::wstring>> failingMoves;
  std::map<std::wstring, std::string> after;
};

TEST(PutInPlaceTest, EveryFailureKeepsAList) {
  using Outcome = ReplaceSteps::Outcome;
  const std::pair<std::wstring, std::wstring> freshIn{kFresh, kTarget};
  const std::pair<std::wstring, std::wstring> backupIn{kBackup, kTarget};
  const ReplaceCase cases[] = {
      {"replaced", true, true, Outcome::kReplaced, {}, {{kTarget, "new"}}},
      {"first_save", false, true, Outcome::kReplaced, {}, {{kTarget, "new"}}},
      {"first_save_cannot_move", false, false, Outcome::kReplaced, {freshIn}, {}},
      // Nothing moved: a rename still puts the new list in place...
      {"nothing_moved_then_renamed", true, true, Outcome::kNothingMoved, {}, {{kTarget, "new"}}},
      // ...and when it cannot, the old list is unchanged.
      {"nothing_moved_at_all", true, false, Outcome::kNothingMoved, {freshIn}, {{kTarget, "old"}}},
      // The old list was moved away half-way: the new one goes in its place...
      {"moved_away_then_new_in_place", true, true, Outcome::kTargetMovedToBackup, {}, {{kTarget, "new"}}},
      // ...or else the old one goes back...
      {"moved_away_old_back", true, false, Outcome::kTargetMovedToBackup, {freshIn}, {{kTarget, "old"}}},
      // ...and when neither can, both stay where they are, never deleted.
      {"moved_away_both_stuck",
       true,
       false,
       Outcome::kTargetMovedToBackup,
       {freshIn, backupIn},
       {{kBackup, "old"}, {kFresh, "new"}}},
  };
  for (const ReplaceCase& c : cases) {
    FakeSteps steps;
    steps.files[kFresh] = "new";
    if (c.oldExists) steps.files[kTarget] = "old";
    steps.files[kBackup] = "stale";  // from a save cut short long ago
    steps.replaceOutcome = c.outcome;
    steps.failingMoves = c.failingMoves;
    EXPECT_EQ(PutInPlace(steps, kTarget, kFresh, kBackup), c.saved) << c.name;
    if (!c.oldExists) steps.files.erase(kBackup);  // never touched without an old list
    EXPECT_EQ(steps.files, c.after) << c.name;
  }
}

}  // namespace
}  // namespace ombrel
