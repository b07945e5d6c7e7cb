// The run record OMBREL.LOG: what each run of the list opened, and how, or why
// it opened nothing. Both programs write it and the editor shows it; a person
// reads it in Notepad and a script splits its lines at tabs (docs/design.md
// gives the format).
//
// Each run appends its lines as they happen, so a run cut short leaves the
// runs before it whole and at most its own last line cut off. The record is
// rewritten whole, in one step as the list is saved, only when a run passes
// one of its bounds. A record that cannot be read or written changes nothing
// else in a run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/open/entry_open.h"
#include "common/port/system_port.h"

namespace ombrel {

inline constexpr wchar_t kRunRecordFileName[] = L"\\OMBREL.LOG";

// The record keeps the newest runs within both bounds; the oldest go first.
inline constexpr std::size_t kRecordMostRuns = 100;
inline constexpr std::size_t kRecordMostBytes = std::size_t{256} * 1024;
// What is read of a record: its last part, the bounds and room for a newest
// run beyond them, so that a record grown huge by hand or by a trim that
// could not be written costs no more to read than one within its bounds. A
// run that alone passes it (some 5,000 entries) is not shown, since its
// start is not read.
inline constexpr std::size_t kRecordReadLimit = std::size_t{1024} * 1024;

// Which program ran the list, and why.
enum class RunStarter {
  kLauncher,  // Ombrel, started by Windows at log-on, unlock or wake, or by hand
  kRunNow,    // OmbrelSet's run-now command
};

// How a run ended. A run that opened nothing says why here; a new reason
// gets a value and a word in the record (kRunEndWords in run_record.cpp).
enum class RunEnd {
  kDone,             // every entry was tried
  kStampNotWritten,  // every entry was tried, but the stamp could not be written
  kListUnreadable,   // the list exists but could not be read: nothing was opened
  kLockHeld,         // another launcher of the folder held the lock all along: nothing was opened
  kLockFailed,       // the lock could not be made: nothing was opened
  // The settings keep the list closed today: nothing was opened, the stamp
  // was renewed; the detail says why (ClosedDayReasons, day_rule.h).
  kDayClosed,
};

// Why an entry was skipped, as a `skipped` line says it: it was blank, or
// none of its own days has come since the last run.
inline constexpr wchar_t kSkippedAsBlank[] = L"blank";
inline constexpr wchar_t kSkippedNotToday[] = L"not-today";

// What one line tells.
enum class RecordEvent {
  kRunStart,
  kProgram,
  kShell,
  kMailLink,
  kFailed,
  kSkipped,
  kRunEnd,
  kShown,
  kCatchUp,
  kTeamUnreadable,
  kPolicyIgnored
};

// One line: when, by which process, what, and the event's fields in their
// fixed order:
//   kRunStart  program ("Ombrel", "OmbrelSet"), why ("start", "run-now")
//   kProgram   the program's file, the entry
//   kShell     the entry
//   kMailLink  the entry
//   kFailed    Windows' code (decimal), Windows' text, the entry
//   kSkipped   why ("blank"), the entry
//   kRunEnd    how it ended (a word), a detail (may be empty)
//   kShown     the start time and process of the run an editor showed
//   kCatchUp   the day (YYYY-MM-DD) the entry was for, the entry; right
//              before the line of that entry's outcome, which an older
//              reader, passing over a word it does not know, reads alone
//   kTeamUnreadable  Windows' code (decimal), Windows' text, the team folder
//   kPolicyIgnored  the hive ("HKLM", "HKCU"), the policy value passed over
struct RecordLine {
  LocalTime time;
  std::uint32_t process = 0;
  RecordEvent event = RecordEvent::kRunStart;
  std::vector<std::wstring> fields;
};

// A time as the record writes it, YYYY-MM-DD hh:mm:ss: it sorts as it reads.
[[nodiscard]] std::wstring RecordTimeText(const LocalTime& time);

// The line as written: UTF-8, fields separated by tabs, ended by CR LF. A
// field but the last has its tabs and line breaks written as blanks; the last
// runs to the line's end, tabs included, with a CR as U+240D and an LF as
// U+240A, so that the line stays one line.
[[nodiscard]] std::string FormatRecordLine(const RecordLine& line);
// A line without its line end, or nothing when it is none of the record's:
// cut off, damaged, or of a kind this version does not know.
[[nodiscard]] std::optional<RecordLine> ParseRecordLine(std::string_view text);

// The line that tells what opening `entry` came to; `errorText` is Windows'
// text for the code of a failure.
[[nodiscard]] RecordLine EntryRecordLine(const std::wstring& entry, const OpenResult& result,
                                         const std::wstring& errorText);

struct RecordedEntry {
  // kProgram, kShell, kMailLink, kFailed, kSkipped, or kTeamUnreadable (the
  // team folder as the entry, a failure as kFailed is)
  RecordEvent event = RecordEvent::kShell;
  LocalTime time;
  std::wstring entry;
  std::wstring detail;      // the program's file; Windows' text of a failure; why it was skipped
  std::uint32_t error = 0;  // Windows' code of a failure
  // The missed day (YYYY-MM-DD) it was opened for; empty for today's.
  std::wstring catchUpDay;
};

struct RecordedRun {
  LocalTime start;
  std::uint32_t process = 0;
  RunStarter starter = RunStarter::kLauncher;
  std::vector<RecordedEntry> entries;  // in list order
  // Nothing when the run's lines stop before its end: cut short, or still
  // running.
  std::optional<RunEnd> end;
  std::wstring endDetail;
  bool shown = false;  // an editor has shown it

  [[nodiscard]] std::size_t Failures() const;
};

// The runs of a record's bytes, oldest first, in one pass. A line belongs to
// the run its process started last; a line that is cut off (no line end),
// damaged or belongs to no run is passed over.
[[nodiscard]] std::vector<RecordedRun> ParseRunRecord(std::string_view bytes);

struct RunRecordRead {
  ReadStatus status = ReadStatus::kMissing;
  std::vector<RecordedRun> runs;  // oldest first
};
// The record's last kRecordReadLimit bytes, from the first line that starts
// in them. Whatever the file holds, it never throws: a record that cannot
// be read or taken apart reads as unreadable.
[[nodiscard]] RunRecordRead ReadRunRecord(SystemPort& system, const std::wstring& folder) noexcept;

// The record without its oldest runs, so that at most kRecordMostRuns runs
// and kRecordMostBytes remain, the newest run always whole, even alone beyond
// the bytes; nothing when it is within both already. Lines that are passed
// over in reading are left out.
[[nodiscard]] std::optional<std::string> TrimRunRecord(std::string_view bytes);

// One run's record as it happens: its first line when made, a line for each
// entry, and a last one. The first write that fails ends the run's record,
// which then stops short; nothing else of the run changes, and nothing the
// record holds or lacks (memory running out over it included) ever ends the
// run: no step throws.
class RunRecord {
 public:
  RunRecord(SystemPort& system, const std::wstring& folder, RunStarter starter) noexcept;
  RunRecord(const RunRecord&) = delete;
  RunRecord& operator=(const RunRecord&) = delete;

  void Entry(const std::wstring& entry, const OpenResult& result) noexcept;
  // An entry that was not handed to Windows, and why.
  void Skipped(const std::wstring& entry, std::wstring_view why) noexcept;
  // The entry whose outcome the next line tells was opened for a missed day.
  void CatchUp(const std::wstring& entry, std::wstring_view dayText) noexcept;
  // The team folder could not be read: its entries did not open.
  void TeamUnreadable(const std::wstring& teamFolder, std::uint32_t error,
                      const std::wstring& errorText) noexcept;
  // A policy value that is no value of its setting was passed over.
  void PolicyIgnored(std::wstring_view hive, std::string_view name) noexcept;
  // The last line; then the record is trimmed when the run passed a bound,
  // unless another run is still adding to it: that one trims at its end.
  void End(RunEnd end, std::wstring_view detail = {}) noexcept;

 private:
  void Append(RecordEvent event, std::vector<std::wstring> fields);

  SystemPort& system_;
  std::wstring path_;
  std::string before_;       // the record's lines as the run found them, as far as read
  bool overBounds_ = false;  // more of it than is read
  std::string prefix_;       // in front of the run's first line
  std::string written_;
  // Open for the whole run: one open, then one write a line.
  std::unique_ptr<FileAppender> file_;
};

// Adds the line that marks `run` as shown by an editor, so that no editor
// shows its failures by itself again. False when the record could not be
// written.
[[nodiscard]] bool MarkRunShown(SystemPort& system, const std::wstring& folder,
                                const RecordedRun& run) noexcept;

// Empties the record. False when it could not be written.
[[nodiscard]] bool ClearRunRecord(SystemPort& system, const std::wstring& folder) noexcept;

}  // namespace ombrel
