#include "common/record/run_record.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <map>
#include <tuple>
#include <unordered_map>
#include <utility>

#include "common/list/entry_list.h"
#include "common/list/utf8.h"

namespace ombrel {

namespace {

struct EventWord {
  RecordEvent event;
  std::string_view word;
  std::size_t fields;
};
constexpr EventWord kEventWords[] = {
    {RecordEvent::kRunStart, "run", 2},
    {RecordEvent::kProgram, "program", 2},
    {RecordEvent::kShell, "shell", 1},
    {RecordEvent::kMailLink, "mailto", 1},
    {RecordEvent::kFailed, "failed", 3},
    {RecordEvent::kSkipped, "skipped", 2},
    {RecordEvent::kRunEnd, "end", 2},
    {RecordEvent::kShown, "shown", 2},
    {RecordEvent::kCatchUp, "catch-up", 2},
    {RecordEvent::kTeamUnreadable, "team-unreadable", 3},
    {RecordEvent::kPolicyIgnored, "policy-ignored", 2},
};

struct StarterWords {
  RunStarter starter;
  std::wstring_view program;
  std::wstring_view why;
};
constexpr StarterWords kStarterWords[] = {
    {RunStarter::kLauncher, L"Ombrel", L"start"},
    {RunStarter::kRunNow, L"OmbrelSet", L"run-now"},
};

struct EndWord {
  RunEnd end;
  std::wstring_view word;
};
constexpr EndWord kRunEndWords[] = {
    {RunEnd::kDone, L"done"},
    {RunEnd::kStampNotWritten, L"stamp-not-written"},
    {RunEnd::kListUnreadable, L"list-unreadable"},
    {RunEnd::kLockHeld, L"lock-held"},
    {RunEnd::kLockFailed, L"lock-failed"},
    {RunEnd::kDayClosed, L"day-closed"},
};

// What a line break inside the last field is written as: the symbols for
// CR and LF, which show in Notepad and in the editor's one-line cells.
constexpr wchar_t kCrSymbol = L'\u240D';
constexpr wchar_t kLfSymbol = L'\u240A';

const EventWord& WordOf(RecordEvent event) {
  return *std::ranges::find(kEventWords, event, &EventWord::event);
}

const StarterWords& WordsOf(RunStarter starter) {
  return *std::ranges::find(kStarterWords, starter, &StarterWords::starter);
}

template <typename Char>
std::optional<LocalTime> ParseTime(std::basic_string_view<Char> text) {
  constexpr std::string_view kForm = "0000-00-00 00:00:00";
  if (text.size() != kForm.size()) return std::nullopt;
  for (std::size_t i = 0; i < kForm.size(); ++i) {
    const bool digit = text[i] >= '0' && text[i] <= '9';
    if (kForm[i] == '0' ? !digit : text[i] != static_cast<Char>(kForm[i])) return std::nullopt;
  }
  const auto number = [text](std::size_t at, std::size_t length) {
    int value = 0;
    for (std::size_t i = at; i < at + length; ++i) value = value * 10 + static_cast<int>(text[i] - '0');
    return value;
  };
  const LocalTime time{number(0, 4), number(5, 2), number(8, 2), number(11, 2), number(14, 2), number(17, 2)};
  if (time.month < 1 || time.month > 12 || time.day < 1 || time.day > 31 || time.hour > 23 ||
      time.minute > 59 || time.second > 59) {
    return std::nullopt;
  }
  return time;
}

// Decimal digits alone, up to the largest 32-bit value.
template <typename Char>
std::optional<std::uint32_t> ParseNumber(std::basic_string_view<Char> text) {
  if (text.empty() || text.size() > 10) return std::nullopt;
  std::uint64_t value = 0;
  for (const Char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
  }
  if (value > 0xFFFFFFFFULL) return std::nullopt;
  return static_cast<std::uint32_t>(value);
}

std::wstring InnerField(std::wstring field) {
  std::ranges::replace_if(
      field, [](wchar_t c) { return c == L'\t' || c == L'\r' || c == L'\n'; }, L' ');
  return field;
}

std::wstring LastField(std::wstring field) {
  std::ranges::replace(field, L'\r', kCrSymbol);
  std::ranges::replace(field, L'\n', kLfSymbol);
  return field;
}

// What goes in front of the first line a program adds to a record whose end
// is `tail`: the mark when the record is new, a line end when its last line
// was cut off, so that the line added always starts a line of its own.
std::string LinePrefix(const FileRead& tail) {
  if (tail.metadata.size == 0) return std::string(kUtf8Mark);
  const bool onlyTheMark = tail.metadata.size == kUtf8Mark.size() && tail.bytes == kUtf8Mark;
  if (onlyTheMark || (!tail.bytes.empty() && tail.bytes.back() == '\n')) return {};
  return "\r\n";
}

// The record's lines in the part read: a read that starts inside the file
// starts inside a line, which is no line of the record.
std::string_view WholeLines(const FileRead& read) {
  std::string_view bytes = read.bytes;
  if (read.metadata.size <= bytes.size()) return bytes;
  const std::size_t end = bytes.find('\n');
  return end == std::string_view::npos ? std::string_view() : bytes.substr(end + 1);
}

// The runs of a record, its lines in file order with the run each belongs
// to, and the bytes each run's lines take, line ends included.
struct Grouped {
  struct Line {
    std::string_view text;  // without its line end
    std::size_t run;
  };
  std::vector<RecordedRun> runs;
  std::vector<Line> lines;
  std::vector<std::size_t> runBytes;
};

// What names a run in a `shown` line: its start and its process.
using RunKey = std::pair<std::uint64_t, std::uint32_t>;

RunKey KeyOf(const LocalTime& start, std::uint32_t process) {
  std::uint64_t time = 0;
  for (const int part : {start.year, start.month, start.day, start.hour, start.minute, start.second})
    time = time * 100 + static_cast<std::uint64_t>(part);
  return {time, process};
}

// The run a process started last and has not ended.
struct Running {
  std::size_t run;
  // A catch-up line waiting for the line of its entry's outcome: the day,
  // then the entry.
  std::vector<std::wstring> catchUp;
};

// While the lines are placed: the running run of each process, and the newest
// run of each name. Both are looked up, never searched, so that a record is
// read in one pass however many runs it holds.
struct Placing {
  std::unordered_map<std::uint32_t, Running> running;
  std::map<RunKey, std::size_t> named;
};

void AddEntry(RecordedRun& run, Running& running, const RecordLine& line, std::uint32_t error) {
  const std::vector<std::wstring>& f = line.fields;
  // The entry is always the last field; the one before it, if any, is the
  // detail.
  RecordedEntry entry{line.event, line.time, f.back(), f.size() > 1 ? f[f.size() - 2] : std::wstring(),
                      error,      {}};
  if (running.catchUp.size() == 2 && running.catchUp[1] == entry.entry) entry.catchUpDay = running.catchUp[0];
  running.catchUp.clear();
  run.entries.push_back(std::move(entry));
}

// Adds a line to the run it belongs to, and gives that run; nothing when it
// belongs to none or holds a value this version does not know.
std::optional<std::size_t> Place(Grouped& grouped, Placing& placing, const RecordLine& line) {
  const std::vector<std::wstring>& f = line.fields;
  if (line.event == RecordEvent::kRunStart) {
    const auto* words = std::ranges::find_if(
        kStarterWords, [&f](const StarterWords& w) { return w.program == f[0] && w.why == f[1]; });
    if (words == std::end(kStarterWords)) return std::nullopt;
    const std::size_t index = grouped.runs.size();
    placing.running[line.process] = {index, {}};
    placing.named[KeyOf(line.time, line.process)] = index;
    grouped.runs.push_back({line.time, line.process, words->starter, {}, std::nullopt, {}, false});
    return index;
  }
  if (line.event == RecordEvent::kShown) {
    const std::optional<LocalTime> start = ParseTime(std::wstring_view(f[0]));
    const std::optional<std::uint32_t> process = ParseNumber(std::wstring_view(f[1]));
    if (!start || !process) return std::nullopt;
    const auto named = placing.named.find(KeyOf(*start, *process));
    if (named == placing.named.end()) return std::nullopt;
    grouped.runs[named->second].shown = true;
    return named->second;
  }
  const auto process = placing.running.find(line.process);
  if (process == placing.running.end()) return std::nullopt;
  const std::size_t index = process->second.run;
  RecordedRun& run = grouped.runs[index];
  if (line.event == RecordEvent::kRunEnd) {
    const auto* end = std::ranges::find(kRunEndWords, std::wstring_view(f[0]), &EndWord::word);
    if (end == std::end(kRunEndWords)) return std::nullopt;
    run.end = end->end;
    run.endDetail = f[1];
    placing.running.erase(process);
  } else if (line.event == RecordEvent::kCatchUp) {
    process->second.catchUp = f;
  } else if (line.event == RecordEvent::kPolicyIgnored) {
    // The run's, for people and scripts; the editor shows entries alone.
  } else if (line.event == RecordEvent::kFailed || line.event == RecordEvent::kTeamUnreadable) {
    const std::optional<std::uint32_t> code = ParseNumber(std::wstring_view(f[0]));
    if (!code) return std::nullopt;
    AddEntry(run, process->second, line, *code);
  } else {
    AddEntry(run, process->second, line, 0);
  }
  return index;
}

Grouped Group(std::string_view bytes) {
  Grouped grouped;
  Placing placing;
  std::size_t at = bytes.starts_with(kUtf8Mark) ? kUtf8Mark.size() : 0;
  // A last line without its line end was cut off: it is never read.
  for (std::size_t end = bytes.find('\n', at); end != std::string_view::npos;
       at = end + 1, end = bytes.find('\n', at)) {
    std::string_view text = bytes.substr(at, end - at);
    if (text.ends_with('\r')) text.remove_suffix(1);
    const std::optional<RecordLine> line = ParseRecordLine(text);
    const std::optional<std::size_t> run = line ? Place(grouped, placing, *line) : std::nullopt;
    if (!run) continue;
    grouped.lines.push_back({text, *run});
    grouped.runBytes.resize(grouped.runs.size());
    grouped.runBytes[*run] += text.size() + 2;
  }
  return grouped;
}

// What a run's reading and writing can meet that no step provides for,
// memory running out above all, ends the record's part in the run, never the
// program: `step` is tried, and `otherwise` is what stands when it throws.
template <typename Step, typename Result>
Result OrOnFailure(Step step, Result otherwise) noexcept {
  try {
    return step();
  } catch (...) {
    return otherwise;
  }
}

}  // namespace

std::wstring RecordTimeText(const LocalTime& time) {
  wchar_t text[32] = {};
  std::swprintf(text, std::size(text), L"%04d-%02d-%02d %02d:%02d:%02d", time.year, time.month, time.day,
                time.hour, time.minute, time.second);
  return text;
}

std::string FormatRecordLine(const RecordLine& line) {
  const EventWord& word = WordOf(line.event);
  std::string text = ToUtf8(RecordTimeText(line.time)) + '\t' + std::to_string(line.process) + '\t';
  text += word.word;
  for (std::size_t i = 0; i < word.fields; ++i) {
    std::wstring field = i < line.fields.size() ? line.fields[i] : std::wstring();
    field = i + 1 < word.fields ? InnerField(field) : LastField(field);
    text += '\t';
    text += ToUtf8(field);
  }
  return text + "\r\n";
}

std::optional<RecordLine> ParseRecordLine(std::string_view text) {
  // A stretch of zero bytes is what a power cut may leave where a line was.
  if (text.find('\0') != std::string_view::npos) return std::nullopt;
  if (text.starts_with(kUtf8Mark)) text.remove_prefix(kUtf8Mark.size());
  std::array<std::string_view, 3> head;
  for (std::string_view& part : head) {
    const std::size_t tab = text.find('\t');
    if (tab == std::string_view::npos) return std::nullopt;
    part = text.substr(0, tab);
    text.remove_prefix(tab + 1);
  }
  const std::optional<LocalTime> time = ParseTime(head[0]);
  const std::optional<std::uint32_t> process = ParseNumber(head[1]);
  const auto* word = std::ranges::find(kEventWords, head[2], &EventWord::word);
  if (!time || !process || word == std::end(kEventWords)) return std::nullopt;
  RecordLine line{*time, *process, word->event, {}};
  for (std::size_t i = 0; i + 1 < word->fields; ++i) {
    const std::size_t tab = text.find('\t');
    if (tab == std::string_view::npos) return std::nullopt;
    line.fields.push_back(FromUtf8(text.substr(0, tab)));
    text.remove_prefix(tab + 1);
  }
  line.fields.push_back(FromUtf8(text));
  return line;
}

RecordLine EntryRecordLine(const std::wstring& entry, const OpenResult& result,
                           const std::wstring& errorText) {
  using Outcome = OpenResult::Outcome;
  using Way = OpenResult::Way;
  if (result.outcome == Outcome::kSkippedBlank)
    return {{}, 0, RecordEvent::kSkipped, {kSkippedAsBlank, entry}};
  if (result.outcome == Outcome::kNotOpened) {
    return {{}, 0, RecordEvent::kFailed, {std::to_wstring(result.error), errorText, entry}};
  }
  switch (result.way) {
    case Way::kProgram:
      return {{}, 0, RecordEvent::kProgram, {result.file, entry}};
    case Way::kMailLink:
      return {{}, 0, RecordEvent::kMailLink, {entry}};
    default:
      return {{}, 0, RecordEvent::kShell, {entry}};
  }
}

std::size_t RecordedRun::Failures() const {
  return static_cast<std::size_t>(std::ranges::count_if(entries, [](const RecordedEntry& entry) {
    return entry.event == RecordEvent::kFailed || entry.event == RecordEvent::kTeamUnreadable;
  }));
}

std::vector<RecordedRun> ParseRunRecord(std::string_view bytes) { return Group(bytes).runs; }

RunRecordRead ReadRunRecord(SystemPort& system, const std::wstring& folder) noexcept {
  return OrOnFailure(
      [&]() -> RunRecordRead {
        const FileRead read = system.ReadEnd(folder + kRunRecordFileName, kRecordReadLimit);
        if (read.status != ReadStatus::kRead) return {read.status, {}};
        return {ReadStatus::kRead, ParseRunRecord(WholeLines(read))};
      },
      RunRecordRead{ReadStatus::kUnreadable, {}});
}

namespace {

// The trim of `bytes`, the whole record or, when `wholeFile` is false, the
// lines of its last part, whose older lines go in any case.
std::optional<std::string> Trimmed(std::string_view bytes, bool wholeFile) {
  const Grouped grouped = Group(bytes);
  const std::size_t runs = grouped.runs.size();
  if (wholeFile && runs <= kRecordMostRuns && bytes.size() <= kRecordMostBytes) return std::nullopt;
  // A part in which no run starts is one run's lines, begun before it: which
  // run they are is not known, and they are not thrown away for it.
  if (runs == 0 && !wholeFile) return std::nullopt;
  // The newest runs that fit both bounds, counting back from the newest,
  // which is kept whatever its size; the first that does not fit ends them.
  std::size_t bytesKept = kUtf8Mark.size();
  std::size_t first = runs;
  while (first > 0) {
    const std::size_t size = grouped.runBytes[first - 1];
    if (first < runs && (runs - first + 1 > kRecordMostRuns || bytesKept + size > kRecordMostBytes)) break;
    bytesKept += size;
    --first;
  }
  // In the order they stood, so that the lines of runs that overlapped stay
  // as they were written.
  std::string trimmed(kUtf8Mark);
  trimmed.reserve(bytesKept);
  for (const Grouped::Line& line : grouped.lines) {
    if (line.run < first) continue;
    trimmed += line.text;
    trimmed += "\r\n";
  }
  if (wholeFile && trimmed == bytes) return std::nullopt;
  return trimmed;
}

// Runs `step`; whatever it throws ends the run's record, which then stops
// short, as one whose write failed does.
template <typename Step>
void Guarded(std::unique_ptr<FileAppender>& file, Step step) noexcept {
  try {
    step();
  } catch (...) {
    file.reset();
  }
}

}  // namespace

std::optional<std::string> TrimRunRecord(std::string_view bytes) { return Trimmed(bytes, true); }

RunRecord::RunRecord(SystemPort& system, const std::wstring& folder, RunStarter starter) noexcept
    : system_(system) {
  Guarded(file_, [&] {
    path_ = folder + kRunRecordFileName;
    const FileRead read = system_.ReadEnd(path_, kRecordReadLimit);
    // A record that cannot be read could be neither continued nor trimmed.
    if (read.status == ReadStatus::kUnreadable) return;
    prefix_ = LinePrefix(read);
    // More than is read is more than the bounds, whatever this run adds.
    overBounds_ = read.metadata.size > read.bytes.size();
    before_ = WholeLines(read);
    file_ = system_.OpenForAppend(path_);
    const StarterWords& words = WordsOf(starter);
    Append(RecordEvent::kRunStart, {std::wstring(words.program), std::wstring(words.why)});
  });
}

void RunRecord::Append(RecordEvent event, std::vector<std::wstring> fields) {
  if (!file_) return;
  std::string line = FormatRecordLine({system_.Now(), system_.ProcessId(), event, std::move(fields)});
  if (written_.empty()) line.insert(0, prefix_);
  if (!file_->Append(line)) {
    file_.reset();
    return;
  }
  written_ += line;
}

void RunRecord::Entry(const std::wstring& entry, const OpenResult& result) noexcept {
  Guarded(file_, [&] {
    if (!file_) return;
    const std::wstring text =
        result.outcome == OpenResult::Outcome::kNotOpened ? system_.ErrorText(result.error) : std::wstring();
    RecordLine line = EntryRecordLine(entry, result, text);
    Append(line.event, std::move(line.fields));
  });
}

void RunRecord::Skipped(const std::wstring& entry, std::wstring_view why) noexcept {
  Guarded(file_, [&] { Append(RecordEvent::kSkipped, {std::wstring(why), entry}); });
}

void RunRecord::CatchUp(const std::wstring& entry, std::wstring_view dayText) noexcept {
  Guarded(file_, [&] { Append(RecordEvent::kCatchUp, {std::wstring(dayText), entry}); });
}

void RunRecord::TeamUnreadable(const std::wstring& teamFolder, std::uint32_t error,
                               const std::wstring& errorText) noexcept {
  Guarded(file_, [&] {
    Append(RecordEvent::kTeamUnreadable, {std::to_wstring(error), errorText, teamFolder});
  });
}

void RunRecord::PolicyIgnored(std::wstring_view hive, std::string_view name) noexcept {
  Guarded(file_, [&] { Append(RecordEvent::kPolicyIgnored, {std::wstring(hive), FromUtf8(name)}); });
}

void RunRecord::End(RunEnd end, std::wstring_view detail) noexcept {
  Guarded(file_, [&] {
    const auto* word = std::ranges::find(kRunEndWords, end, &EndWord::end);
    Append(RecordEvent::kRunEnd, {std::wstring(word->word), std::wstring(detail)});
    if (!file_) return;
    // Closed first: Windows may refuse to replace a file that is open.
    file_.reset();
    // Decided on what the run knows; the trim itself reads the record again,
    // so that lines another program added meanwhile are not lost.
    if (!overBounds_ && !TrimRunRecord(before_ + written_)) return;
    // Another run still adding to the record would go on writing into the
    // file the trim replaces, and its later lines would be lost where a
    // rename may replace an open file (Wine, some file servers). It passed
    // the bound too, so it trims once it has ended.
    if (system_.HeldByWriter(path_)) return;
    const FileRead now = system_.ReadEnd(path_, kRecordReadLimit);
    if (now.status != ReadStatus::kRead) return;
    const bool wholeFile = now.metadata.size <= now.bytes.size();
    if (const std::optional<std::string> trimmed = Trimmed(WholeLines(now), wholeFile)) {
      std::ignore = system_.ReplaceAll(path_, *trimmed);
    }
  });
}

bool MarkRunShown(SystemPort& system, const std::wstring& folder, const RecordedRun& run) noexcept {
  return OrOnFailure(
      [&] {
        const std::wstring path = folder + kRunRecordFileName;
        // Its last bytes tell what the line added needs in front of it.
        const FileRead end = system.ReadEnd(path, kUtf8Mark.size());
        if (end.status == ReadStatus::kUnreadable) return false;
        const RecordLine line{system.Now(),
                              system.ProcessId(),
                              RecordEvent::kShown,
                              {RecordTimeText(run.start), std::to_wstring(run.process)}};
        const std::unique_ptr<FileAppender> file = system.OpenForAppend(path);
        return file && file->Append(LinePrefix(end) + FormatRecordLine(line));
      },
      false);
}

bool ClearRunRecord(SystemPort& system, const std::wstring& folder) noexcept {
  return OrOnFailure(
      [&] { return static_cast<bool>(system.ReplaceAll(folder + kRunRecordFileName, kUtf8Mark)); }, false);
}

}  // namespace ombrel
