// The team's list: a folder, as a rule on a share, laid out as a program
// folder is, whose OMBREL.DAT every PC of an office opens before its own
// list, each entry by the days the `[EntryDays]` of its OMBREL.CFG give it.
// Nothing else of that OMBREL.CFG counts: the pause, the gaps and the days
// the list opens stay each PC's own.
//
// A team folder that cannot be read on a new day's run costs no one the
// person's own list, and the team's entries are owed for the day rather than
// lost: OMBREL.TEAM in the program folder names the day, and a later start
// that day (an unlock, a wake) opens them once the folder answers.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/schedule/entry_days.h"
#include "common/schedule/settings.h"

namespace ombrel {

class NetworkProbe;
class SystemPort;

// The team folder the settings name, decoded as an `[EntryDays]` entry text
// is, without a trailing separator (a drive's root as "T:", as a program
// folder is kept); empty when none is set.
[[nodiscard]] std::wstring TeamFolderOf(SystemPort& system, const Settings& settings);

struct TeamList {
  enum class Status {
    kNotSet,      // the settings name no team folder
    kRead,        // an empty folder, or one without a list, is an empty list
    kUnreadable,  // a file of it exists but cannot be read, or the folder does not answer
  };
  Status status = Status::kNotSet;
  std::wstring folder;
  std::vector<std::wstring> entries;
  EntryDaysTable days;
  // Windows' code and text for why it could not be read.
  std::uint32_t error = 0;
  std::wstring reason;
};

// The team folder's list and its entries' days, read as the program
// folder's own are. A missing list is an empty one only where the folder
// itself answers: a share not there yet, or a drive letter not mapped yet,
// holds the list that matters.
[[nodiscard]] TeamList ReadTeamList(SystemPort& system, NetworkProbe& network,
                                    const std::wstring& teamFolder);

// One entry of a run, with how the run treats it.
struct DueEntry {
  std::wstring entry;
  EntryDue due;
  bool team = false;  // from the team's list
};

enum class TeamPart {
  // A new day's run: the team's entries, then the person's that the team's
  // list does not hold. An entry in both opens once, at the team's place,
  // when either list's days make it due (today before a missed day, the
  // later missed day before an earlier one).
  kWithOwnList,
  // The owed run later that day: the team's entries alone, but those of the
  // person's list that its days made due, which the first run opened.
  kOwedTeamEntries,
};

// The entries of a run, each judged by its own list's days. An unreadable
// or unset team list adds nothing.
[[nodiscard]] std::vector<DueEntry> MergeTeamList(DueDays& dueDays, const TeamList& team,
                                                  const std::vector<std::wstring>& own,
                                                  const EntryDaysTable& ownDays, TeamPart part);

// The team's run owed for `day`; `lastRun` is the run before that day's
// first, which the entries' missed days are counted from.
struct TeamOwed {
  std::chrono::year_month_day day;
  std::optional<std::chrono::year_month_day> lastRun;
  bool operator==(const TeamOwed&) const = default;
};

// Whether OMBREL.TEAM is there: one look at the file's attributes, all the
// same-day start pays for the team folder.
[[nodiscard]] bool TeamRunOwed(SystemPort& system, const std::wstring& folder);
// What OMBREL.TEAM holds (`MM-DD-YYYY,MM-DD-YYYY`: the day, the run before
// it or nothing); nothing when it is missing, unreadable or damaged.
[[nodiscard]] std::optional<TeamOwed> ReadTeamOwed(SystemPort& system, const std::wstring& folder);
// False when it could not be written: the team's entries are then lost for
// the day, and the record names the folder that could not be read.
[[nodiscard]] bool OweTeamRun(SystemPort& system, const std::wstring& folder, const TeamOwed& owed);
// Removes OMBREL.TEAM, when it is there.
void SettleTeamRun(SystemPort& system, const std::wstring& folder);

}  // namespace ombrel
