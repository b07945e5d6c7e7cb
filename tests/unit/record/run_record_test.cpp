// The run record: its lines (narrow literals are UTF-8, as the source is), reading it back as runs, trimming
// it at both bounds, and a run's writes over the fake files.
#include "common/record/run_record.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <new>

#include "common/list/entry_list.h"
#include "common/list/utf8.h"
#include "fakes.h"

namespace ombrel {
namespace {

using testing::FakeSystem;
using Outcome = OpenResult::Outcome;
using Way = OpenResult::Way;

const std::wstring kFolder = L"C:\\Tools";
const std::wstring kRecord = L"C:\\Tools\\OMBREL.LOG";
const LocalTime kTime{2026, 4, 7, 9, 5, 7};
const std::string kHead = "2026-04-07 09:05:07\t4321\t";

struct LineCase {
  const char* name;
  std::wstring entry;
  OpenResult result;
  std::wstring errorText;
  std::string line;          // as written, UTF-8
  std::wstring readAsEntry;  // the entry as read back
};

TEST(RecordLineTest, EachOutcomeAndAnyEntryAsOneLine) {
  const LineCase cases[] = {
      {"program",
       L"app.exe /min",
       {Outcome::kOpened, Way::kProgram, L"C:\\Tools\\app.exe", 0},
       L"",
       kHead + "program\tC:\\Tools\\app.exe\tapp.exe /min\r\n",
       L"app.exe /min"},
      {"shell",
       L"C:\\a.txt",
       {Outcome::kOpened, Way::kShell, L"", 0},
       L"",
       kHead + "shell\tC:\\a.txt\r\n",
       L"C:\\a.txt"},
      {"mail_link",
       L"taro@example.jp",
       {Outcome::kOpened, Way::kMailLink, L"", 0},
       L"",
       kHead + "mailto\ttaro@example.jp\r\n",
       L"taro@example.jp"},
      {"failed",
       L"C:\\gone.exe",
       {Outcome::kNotOpened, Way::kNone, L"", 2},
       L"指定されたファイルが見つかりません。",
       kHead + "failed\t2\t指定されたファイルが見つかりません。\tC:\\gone.exe\r\n",
       L"C:\\gone.exe"},
      // Windows' texts of two lines stay on the record's one.
      {"failure_text_of_two_lines",
       L"x@y.example.jp",
       {Outcome::kNotOpened, Way::kNone, L"", 1155},
       L"one\r\ntwo\tthree",
       kHead + "failed\t1155\tone  two three\tx@y.example.jp\r\n",
       L"x@y.example.jp"},
      {"skipped_blank_keeps_its_blanks",
       L" \t",
       {Outcome::kSkippedBlank, Way::kNone, L"", 0},
       L"",
       kHead + "skipped\tblank\t \t\r\n",
       L" \t"},
      // The entry is the last field: its tabs stay as they are.
      {"entry_with_tabs",
       L"a\tb.txt\t",
       {Outcome::kOpened, Way::kShell, L"", 0},
       L"",
       kHead + "shell\ta\tb.txt\t\r\n",
       L"a\tb.txt\t"},
      // Line breaks would end the line: written as the signs for them.
      {"entry_with_line_breaks",
       L"a\r\nb\nc",
       {Outcome::kNotOpened, Way::kNone, L"", 2},
       L"t",
       kHead + "failed\t2\tt\ta␍␊b␊c\r\n",
       L"a\u240D\u240Ab\u240Ac"},
      {"japanese",
       L"C:\\メモ\\予定.txt",
       {Outcome::kOpened, Way::kShell, L"", 0},
       L"",
       kHead + "shell\tC:\\メモ\\予定.txt\r\n",
       L"C:\\メモ\\予定.txt"},
      {"beyond_code_page_932",
       L"C:\\사진\\\U0001F600 é.png",
       {Outcome::kOpened, Way::kShell, L"", 0},
       L"",
       kHead + "shell\tC:\\사진\\😀 é.png\r\n",
       L"C:\\사진\\\U0001F600 é.png"},
  };
  for (const LineCase& c : cases) {
    SCOPED_TRACE(c.name);
    RecordLine line = EntryRecordLine(c.entry, c.result, c.errorText);
    line.time = kTime;
    line.process = 4321;
    const std::string written = FormatRecordLine(line);
    EXPECT_EQ(written, c.line);
    const std::optional<RecordLine> read =
        ParseRecordLine(std::string_view(written).substr(0, written.size() - 2));
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->event, line.event);
    EXPECT_EQ(read->process, 4321U);
    EXPECT_EQ(read->fields.back(), c.readAsEntry);
  }
}

TEST(RecordLineTest, WhatIsNoLineOfTheRecord) {
  const std::string cases[] = {
      "",
      "2026-04-07 09:0",                      // cut off in the time
      kHead + "failed\t2",                    // cut off before the entry
      kHead + "opened\tC:\\a.txt",            // a kind this version does not know
      "2026-13-07 09:05:07\t4321\tshell\tx",  // no such month
      "2026-04-07 09:05:07\t-1\tshell\tx",    // no process id
      "2026-04-07 09:05:07\t99999999999\tshell\tx",
      std::string("\0\0\0", 3) + kHead + "shell\tx",  // what a power cut leaves
      "2026-04-07T09:05:07\t4321\tshell\tx",
  };
  for (const std::string& text : cases) {
    EXPECT_FALSE(ParseRecordLine(text).has_value()) << text;
  }
  // The mark in front of the first line is no part of it.
  EXPECT_TRUE(ParseRecordLine(std::string(kUtf8Mark) + kHead + "shell\tx").has_value());
}

// The lines of one run, as the writer makes them.
std::string RunLines(const std::string& time, const std::string& process, const std::string& starter,
                     const std::vector<std::string>& entries, const std::string& end = "done\t") {
  const std::string head = "2026-04-07 " + time + "\t" + process + "\t";
  std::string lines = head + "run\t" + starter + "\r\n";
  for (const std::string& entry : entries) lines += head + entry + "\r\n";
  if (!end.empty()) lines += head + "end\t" + end + "\r\n";
  return lines;
}

TEST(RunRecordReadTest, RunsWithTheirEntriesInOrderAndACutOffLastLineLeftOut) {
  const std::string bytes =
      std::string(kUtf8Mark) +
      RunLines("09:00:00", "10", "Ombrel\tstart", {"program\tC:\\a.exe\tC:\\a.exe"}) +
      RunLines("09:10:00", "11", "OmbrelSet\trun-now", {"failed\t2\tgone\tC:\\b.exe"}, "") +
      "2026-04-07 09:10:01\t11\tshell\tC:\\c.t";
  const std::vector<RecordedRun> runs = ParseRunRecord(bytes);
  ASSERT_EQ(runs.size(), 2U);
  EXPECT_EQ(runs[0].starter, RunStarter::kLauncher);
  EXPECT_EQ(runs[0].process, 10U);
  EXPECT_EQ(runs[0].end, RunEnd::kDone);
  ASSERT_EQ(runs[0].entries.size(), 1U);
  EXPECT_EQ(runs[0].entries[0].detail, L"C:\\a.exe");
  EXPECT_EQ(runs[1].starter, RunStarter::kRunNow);
  // Cut off before its end, and its last line mid-way: that line is not read.
  EXPECT_FALSE(runs[1].end.has_value());
  ASSERT_EQ(runs[1].entries.size(), 1U);
  EXPECT_EQ(runs[1].entries[0].error, 2U);
  EXPECT_EQ(runs[1].entries[0].detail, L"gone");
  EXPECT_EQ(runs[1].Failures(), 1U);
}

TEST(RunRecordReadTest, LinesGoToTheRunTheirProcessStartedEvenWhenRunsOverlap) {
  const std::string head = "2026-04-07 09:00:0";
  const std::string bytes = head + "0\t10\trun\tOmbrel\tstart\r\n" + head + "1\t20\trun\tOmbrel\tstart\r\n" +
                            head + "2\t10\tshell\ta\r\n" + head + "3\t20\tend\tlock-held\t\r\n" + head +
                            "4\t10\tshell\tb\r\n" + head + "5\t30\tshell\tno run of its own\r\n" + head +
                            "6\t10\tend\tdone\t\r\n" + head + "7\t10\tshell\tafter its end\r\n" + head +
                            "8\t99\tshown\t2026-04-07 09:00:00\t10\r\n";
  const std::vector<RecordedRun> runs = ParseRunRecord(bytes);
  ASSERT_EQ(runs.size(), 2U);
  ASSERT_EQ(runs[0].entries.size(), 2U);
  EXPECT_EQ(runs[0].entries[1].entry, L"b");
  EXPECT_EQ(runs[0].end, RunEnd::kDone);
  EXPECT_TRUE(runs[0].shown);
  EXPECT_TRUE(runs[1].entries.empty());
  EXPECT_EQ(runs[1].end, RunEnd::kLockHeld);
  EXPECT_FALSE(runs[1].shown);
}

// `count` runs of one entry line of about `entryBytes` each, the oldest first.
std::string Runs(std::size_t count, std::size_t entryBytes = 10) {
  std::string bytes(kUtf8Mark);
  for (std::size_t i = 0; i < count; ++i) {
    bytes += RunLines("09:00:00", std::to_string(i + 1), "Ombrel\tstart",
                      {"shell\t" + std::string(entryBytes, 'x')});
  }
  return bytes;
}

std::vector<std::uint32_t> ProcessesOf(std::string_view bytes) {
  std::vector<std::uint32_t> processes;
  for (const RecordedRun& run : ParseRunRecord(bytes)) processes.push_back(run.process);
  return processes;
}

TEST(RunRecordTrimTest, AtMostTheNewestHundredRuns) {
  EXPECT_FALSE(TrimRunRecord(Runs(100)).has_value());
  const std::optional<std::string> trimmed = TrimRunRecord(Runs(101));
  ASSERT_TRUE(trimmed.has_value());
  const std::vector<std::uint32_t> processes = ProcessesOf(*trimmed);
  ASSERT_EQ(processes.size(), 100U);
  EXPECT_EQ(processes.front(), 2U);
  EXPECT_EQ(processes.back(), 101U);
  // Exactly the newest hundred as they were written.
  EXPECT_EQ(*trimmed, std::string(kUtf8Mark) + Runs(101).substr(Runs(1).size()));
}

TEST(RunRecordTrimTest, AtMostTheBoundsBytesAndTheNewestRunAlwaysWhole) {
  // Runs of about 10 KiB: 30 pass the bound, 25 fit it.
  const std::string thirty = Runs(30, std::size_t{10} * 1024);
  const std::size_t runBytes = (thirty.size() - kUtf8Mark.size()) / 30;
  ASSERT_GT(thirty.size(), kRecordMostBytes);
  const std::optional<std::string> trimmed = TrimRunRecord(thirty);
  ASSERT_TRUE(trimmed.has_value());
  EXPECT_LE(trimmed->size(), kRecordMostBytes);
  EXPECT_GT(trimmed->size() + runBytes, kRecordMostBytes);
  EXPECT_EQ(ProcessesOf(*trimmed).back(), 30U);
  EXPECT_TRUE(trimmed->ends_with("\r\n"));
  EXPECT_FALSE(TrimRunRecord(*trimmed).has_value());

  // A newest run beyond the bound alone is kept, alone.
  const std::string huge =
      Runs(2) + RunLines("10:00:00", "77", "Ombrel\tstart", {"shell\t" + std::string(300000, 'y')});
  const std::optional<std::string> alone = TrimRunRecord(huge);
  ASSERT_TRUE(alone.has_value());
  EXPECT_EQ(ProcessesOf(*alone), std::vector<std::uint32_t>{77});
  EXPECT_FALSE(TrimRunRecord(*alone).has_value());
}

TEST(RunRecordReadTest, TwoThousandRunsAllShownAreReadInOnePass) {
  std::string bytes = Runs(2000);
  for (std::size_t i = 1; i <= 2000; ++i)
    bytes += kHead + "shown\t2026-04-07 09:00:00\t" + std::to_string(i) + "\r\n";
  const auto start = std::chrono::steady_clock::now();
  const std::vector<RecordedRun> runs = ParseRunRecord(bytes);
  // Naming each shown run by a search of all runs took seconds here.
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
  ASSERT_EQ(runs.size(), 2000U);
  EXPECT_TRUE(std::ranges::all_of(runs, &RecordedRun::shown));
}

// A system whose every read of the record runs out of memory.
class ExhaustedSystem final : public FakeSystem {
 public:
  FileRead ReadEnd(const std::wstring&, std::size_t) override { throw std::bad_alloc(); }
};

TEST(RunRecordReadTest, OnlyTheLastMiBOfAHugeRecordIsReadAndNothingThrows) {
  FakeSystem system;
  system.files[kRecord] = Runs(6000, 200);  // about 1.8 MiB
  // The newest runs, from the first whole line read; theirs are four-digit ids, as the last one's.
  const std::size_t runBytes = system.files[kRecord].size() - Runs(5999, 200).size();
  const RunRecordRead read = ReadRunRecord(system, kFolder);
  const std::size_t fit = kRecordReadLimit / runBytes;
  ASSERT_LE(std::max(read.runs.size(), fit) - std::min(read.runs.size(), fit), 1U);
  EXPECT_EQ(read.runs.front().process, 6001 - read.runs.size());
  EXPECT_EQ(read.runs.back().process, 6000U);
  ExhaustedSystem exhausted;
  EXPECT_EQ(ReadRunRecord(exhausted, kFolder).status, ReadStatus::kUnreadable);
  EXPECT_FALSE(MarkRunShown(exhausted, kFolder, {}));
  RunRecord record(exhausted, kFolder, RunStarter::kLauncher);
  record.End(RunEnd::kDone);
  EXPECT_EQ(exhausted.files.count(kRecord), 0U);
}

class RunRecordWriteTest : public ::testing::Test {
 protected:
  RunRecordWriteTest() { system_.now = kTime; }

  // A run of one shell entry and one failure.
  void RunOnce(RunEnd end = RunEnd::kDone) {
    RunRecord record(system_, kFolder, RunStarter::kLauncher);
    record.Entry(L"C:\\a.txt", {Outcome::kOpened, Way::kShell, L"", 0});
    record.Entry(L"C:\\gone.txt", {Outcome::kNotOpened, Way::kNone, L"", 2});
    record.End(end);
  }

  std::size_t Count(const std::string& step) { return std::ranges::count(system_.log, step); }

  FakeSystem system_;
};

TEST_F(RunRecordWriteTest, ANewRecordStartsWithTheMarkAndTakesALineAtATime) {
  RunOnce();
  EXPECT_EQ(system_.files[kRecord], std::string(kUtf8Mark) + kHead + "run\tOmbrel\tstart\r\n" + kHead +
                                        "shell\tC:\\a.txt\r\n" + kHead +
                                        "failed\t2\ttext of 2\tC:\\gone.txt\r\n" + kHead + "end\tdone\t\r\n");
  // One read and one open a run, one write a line.
  EXPECT_EQ(Count("read C:\\Tools\\OMBREL.LOG"), 1U);
  EXPECT_EQ(Count("open C:\\Tools\\OMBREL.LOG"), 1U);
  EXPECT_EQ(Count("append C:\\Tools\\OMBREL.LOG"), 4U);
}

TEST_F(RunRecordWriteTest, ARunAfterOneCutShortStartsOnALineOfItsOwn) {
  const std::string cut = std::string(kUtf8Mark) + kHead + "run\tOmbrel\tstart\r\n" + kHead + "shell\tC:\\a";
  for (const std::string& before : {cut, std::string(kUtf8Mark)}) {
    system_.files[kRecord] = before;
    RunOnce();
    const std::string& after = system_.files[kRecord];
    EXPECT_EQ(after.substr(before.size(), 2), before == cut ? "\r\n" : "20");
    EXPECT_EQ(ParseRunRecord(after).back().end, RunEnd::kDone);
  }
}

TEST_F(RunRecordWriteTest, AFailedWriteEndsTheRunsRecordAndAnUnreadableRecordIsLeftAlone) {
  // A disk that fills after the first line: the run's record stops there.
  {
    RunRecord record(system_, kFolder, RunStarter::kLauncher);
    system_.unwritable.insert(kRecord);
    record.Entry(L"C:\\a.txt", {Outcome::kOpened, Way::kShell, L"", 0});
    system_.unwritable.clear();
    record.Entry(L"C:\\b.txt", {Outcome::kOpened, Way::kShell, L"", 0});
    record.End(RunEnd::kDone);
  }
  EXPECT_EQ(Count("append C:\\Tools\\OMBREL.LOG"), 2U);
  EXPECT_EQ(ParseRunRecord(system_.files[kRecord]).at(0).entries.size(), 0U);

  // Read-only from the start, and unreadable: nothing is written.
  for (const bool unreadable : {false, true}) {
    system_.files.clear();
    system_.log.clear();
    (unreadable ? system_.unreadable : system_.unwritable).insert(kRecord);
    RunOnce();
    EXPECT_EQ(Count("append C:\\Tools\\OMBREL.LOG"), 0U);
    EXPECT_EQ(system_.files.count(kRecord), 0U);
  }
}

TEST_F(RunRecordWriteTest, TheRunThatPassesABoundRewritesTheRecordInOneStep) {
  system_.files[kRecord] = Runs(99);
  RunOnce();
  EXPECT_EQ(Count("replace C:\\Tools\\OMBREL.LOG"), 0U);
  RunOnce(RunEnd::kStampNotWritten);
  EXPECT_EQ(Count("replace C:\\Tools\\OMBREL.LOG"), 1U);
  const std::vector<RecordedRun> runs = ParseRunRecord(system_.files[kRecord]);
  ASSERT_EQ(runs.size(), 100U);
  EXPECT_EQ(runs.front().process, 2U);
  EXPECT_EQ(runs.back().end, RunEnd::kStampNotWritten);
}

TEST_F(RunRecordWriteTest, ATrimWaitsForARunStillAddingToTheRecord) {
  system_.files[kRecord] = Runs(100);
  RunRecord launcher(system_, kFolder, RunStarter::kLauncher);
  system_.process = 99;
  RunRecord runNow(system_, kFolder, RunStarter::kRunNow);
  system_.process = 4321;
  launcher.End(RunEnd::kDone);
  EXPECT_EQ(Count("replace C:\\Tools\\OMBREL.LOG"), 0U);
  system_.process = 99;
  runNow.Entry(L"C:\\later.txt", {Outcome::kOpened, Way::kShell, L"", 0});
  runNow.End(RunEnd::kDone);
  EXPECT_EQ(Count("replace C:\\Tools\\OMBREL.LOG"), 1U);
  const std::vector<RecordedRun> runs = ParseRunRecord(system_.files[kRecord]);
  ASSERT_EQ(runs.size(), 100U);
  EXPECT_EQ(runs.back().entries.at(0).entry, L"C:\\later.txt");
}

TEST_F(RunRecordWriteTest, ARecordBeyondWhatIsReadIsTrimmedToItsBounds) {
  system_.files[kRecord] = Runs(6000, 200);
  RunOnce();
  const std::string& trimmed = system_.files[kRecord];
  EXPECT_LE(trimmed.size(), kRecordMostBytes);
  EXPECT_EQ(ParseRunRecord(trimmed).size(), 100U);
  EXPECT_EQ(ParseRunRecord(trimmed).back().process, 4321U);
  // A newest run beyond what is read is kept whole, though its start is not read.
  system_.files.clear();
  RunRecord huge(system_, kFolder, RunStarter::kRunNow);
  for (int i = 0; i < 9000; ++i) huge.Entry(std::wstring(120, L'z'), {Outcome::kOpened, Way::kShell, L"", 0});
  huge.End(RunEnd::kDone);
  EXPECT_EQ(ParseRunRecord(system_.files[kRecord]).at(0).entries.size(), 9000U);
}

TEST_F(RunRecordWriteTest, ShownMarkAndClearing) {
  RunOnce();
  const RecordedRun run = ParseRunRecord(system_.files[kRecord]).back();
  EXPECT_FALSE(run.shown);
  system_.process = 99;
  ASSERT_TRUE(MarkRunShown(system_, kFolder, run));
  EXPECT_TRUE(
      system_.files[kRecord].ends_with(kHead.substr(0, 20) + "99\tshown\t2026-04-07 09:05:07\t4321\r\n"));
  EXPECT_TRUE(ParseRunRecord(system_.files[kRecord]).back().shown);

  ASSERT_TRUE(ClearRunRecord(system_, kFolder));
  EXPECT_EQ(system_.files[kRecord], kUtf8Mark);
  system_.unwritable.insert(kRecord);
  EXPECT_FALSE(ClearRunRecord(system_, kFolder));
  EXPECT_FALSE(MarkRunShown(system_, kFolder, run));
}

}  // namespace
}  // namespace ombrel
