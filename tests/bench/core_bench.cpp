// The core's reader and writer of the entry list file, in MB/s, against the
// memory floor: a memchr scan for the line ends over the same bytes. Both
// file forms, on a list of 32,767 typical entries.
//
// Natively there is no code page 932: the code page form is read and written
// with a stand-in "code page" that maps each byte to the character of the
// same number (Latin-1) and back, over the bytes code page 932 gives these
// entries. What it costs is a plain table conversion's share; the rest is
// ours. The UTF-8 form is ours from end to end.
//
//   ombrel_core_bench [--figures=FILE] [Google Benchmark flags]
//
// The figures (one Markdown row each, see figures.h) pair the repetitions of
// each benchmark with those of its floor; run it with repetitions, randomly
// interleaved, so that the pairs share the machine's state.
#include <benchmark/benchmark.h>
#include <iconv.h>

#include <cstring>
#include <fstream>
#include <iostream>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/list/entry_list.h"
#include "figures.h"
#include "typical_entries.h"

namespace ombrel::bench {
namespace {

constexpr std::size_t kEntries = 32767;

// The code page side of SystemPort as a Latin-1 table, converted both ways as
// the Windows layer does: ToCodePage converts, converts back and compares, so no
// character is replaced.
class Latin1System final : public SystemPort {
 public:
  FileRead ReadAll(const std::wstring&) override { return {}; }
  FileRead ReadStart(const std::wstring&, std::size_t) override { return {}; }
  FileRead ReadEnd(const std::wstring&, std::size_t) override { return {}; }
  bool WriteAll(const std::wstring&, std::string_view) override { return false; }
  SaveResult ReplaceAll(const std::wstring&, std::string_view) override { return {}; }
  std::vector<std::wstring> FindFiles(const std::wstring&) override { return {}; }
  bool RemoveFile(const std::wstring&) override { return false; }
  std::unique_ptr<FileAppender> OpenForAppend(const std::wstring&) override { return nullptr; }
  bool HeldByWriter(const std::wstring&) override { return false; }
  bool IsOrdinaryFile(const std::wstring&) override { return false; }
  LocalTime Now() override { return {}; }
  std::uint32_t ProcessId() override { return 0; }
  std::wstring ErrorText(std::uint32_t) override { return {}; }
  unsigned AnsiCodePage() override { return 932; }
  std::optional<std::string> ToCodePage(unsigned codePage, const std::wstring& text) override {
    std::string bytes(text.size(), '\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (text[i] >= 256) return std::nullopt;
      bytes[i] = static_cast<char>(text[i]);
    }
    if (FromCodePage(codePage, bytes) != text) return std::nullopt;
    return bytes;
  }
  std::wstring FromCodePage(unsigned, std::string_view bytes) override {
    std::wstring text(bytes.size(), L'\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) text[i] = static_cast<unsigned char>(bytes[i]);
    return text;
  }
};

// The entry in code page 932, one character per byte: what the stand-in
// reads from and writes to such a file.
std::wstring AsCodePage932Bytes(const std::wstring& entry) {
  const iconv_t convert = ::iconv_open("CP932", "WCHAR_T");
  if (convert == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("no CP932 in iconv");
  std::string out(entry.size() * 2, '\0');
  auto* in = reinterpret_cast<char*>(const_cast<wchar_t*>(entry.data()));
  std::size_t inLeft = entry.size() * sizeof(wchar_t);
  char* to = out.data();
  std::size_t outLeft = out.size();
  const std::size_t done = ::iconv(convert, &in, &inLeft, &to, &outLeft);
  ::iconv_close(convert);
  if (done == static_cast<std::size_t>(-1)) throw std::runtime_error("entry not in CP932");
  out.resize(out.size() - outLeft);
  std::wstring widened(out.size(), L'\0');
  for (std::size_t i = 0; i < out.size(); ++i) widened[i] = static_cast<unsigned char>(out[i]);
  return widened;
}

struct Form {
  std::vector<std::wstring> entries;
  std::string file;
};

// Both forms of one list, built once.
const Form& FormOf(bool utf8) {
  static Latin1System system;
  static const Form forms[2] = {[] {
                                  Form form;
                                  for (const std::wstring& entry : TypicalEntries(kEntries))
                                    form.entries.push_back(AsCodePage932Bytes(entry));
                                  form.file = EncodeEntryList(system, form.entries);
                                  return form;
                                }(),
                                [] {
                                  Form form{TypicalEntries(kEntries), {}};
                                  form.file = EncodeEntryList(system, form.entries);
                                  return form;
                                }()};
  const Form& form = forms[utf8 ? 1 : 0];
  if (form.file.starts_with(kUtf8Mark) != utf8) throw std::logic_error("the list is not in the form asked");
  return form;
}

void Floor(benchmark::State& state, bool utf8) {
  const std::string& file = FormOf(utf8).file;
  for (auto _ : state) {
    std::size_t lines = 0;
    const char* at = file.data();
    const char* const end = file.data() + file.size();
    while ((at = static_cast<const char*>(std::memchr(at, '\n', static_cast<std::size_t>(end - at)))) !=
           nullptr) {
      ++lines;
      ++at;
    }
    benchmark::DoNotOptimize(lines);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file.size()));
}

void Read(benchmark::State& state, bool utf8) {
  Latin1System system;
  const Form& form = FormOf(utf8);
  for (auto _ : state) {
    std::vector<std::wstring> entries = DecodeEntryList(system, form.file);
    if (entries.size() != form.entries.size()) state.SkipWithError("the list read back is not the list");
    benchmark::DoNotOptimize(entries.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * form.file.size()));
}

void Write(benchmark::State& state, bool utf8) {
  Latin1System system;
  const Form& form = FormOf(utf8);
  for (auto _ : state) {
    std::string file = EncodeEntryList(system, form.entries);
    if (file.size() != form.file.size()) state.SkipWithError("the list written is not the file");
    benchmark::DoNotOptimize(file.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * form.file.size()));
}

// The byte level alone, for finding where the time goes: the items of the
// file, and the lines of the entries, without any conversion.
void ReadItemsOnly(benchmark::State& state, bool utf8) {
  const std::string& file = FormOf(utf8).file;
  for (auto _ : state) {
    std::vector<std::string> items = ReadItems(file);
    benchmark::DoNotOptimize(items.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file.size()));
}

// What any reader that hands out one wide string per entry pays at least:
// the lines found with memchr, each widened byte by byte into a string of
// its own. Not a floor of the aim; it tells how much of the reader's time
// is the making of its result.
void WidenLines(benchmark::State& state, bool utf8) {
  const std::string& file = FormOf(utf8).file;
  for (auto _ : state) {
    std::vector<std::wstring> lines;
    lines.reserve(kEntries);
    const char* at = file.data();
    const char* const end = file.data() + file.size();
    while (at < end) {
      const auto* next = static_cast<const char*>(std::memchr(at, '\n', static_cast<std::size_t>(end - at)));
      if (next == nullptr) next = end;
      std::wstring& line = lines.emplace_back(static_cast<std::size_t>(next - at), L'\0');
      for (std::size_t i = 0; i < line.size(); ++i) line[i] = static_cast<unsigned char>(at[i]);
      at = next + 1;
    }
    benchmark::DoNotOptimize(lines.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file.size()));
}

// Every benchmark's CPU time per iteration, repetition by repetition, and
// the table rows made from them at the end.
class FigureReporter final : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
      const auto bytes = run.counters.find("bytes_per_second");
      times_[run.benchmark_name()][run.repetition_index] = run.GetAdjustedCPUTime();
      if (bytes != run.counters.end()) rates_[run.benchmark_name()].push_back(bytes->second.value / 1e6);
    }
    ConsoleReporter::ReportRuns(runs);
  }

  [[nodiscard]] std::string Row(const std::string& what, const std::string& measured,
                                const std::string& floor, const Aim& aim) const {
    Pairs pairs;
    const auto m = times_.find(measured);
    const auto f = times_.find(floor);
    if (m == times_.end() || f == times_.end()) return "| " + what + " | not run | | | | |";
    for (const auto& [repetition, time] : m->second) {
      const auto other = f->second.find(repetition);
      if (other != f->second.end()) pairs.Add(time, other->second);
    }
    return FigureRow(what, pairs.Ratios(), aim,
                     MedianText(Summarize(Rates(measured)), "MB/s") + " vs " +
                         MedianText(Summarize(Rates(floor)), "MB/s") + ", " +
                         std::to_string(pairs.Ratios().size()) + " pairs");
  }

 private:
  [[nodiscard]] std::vector<double> Rates(const std::string& name) const {
    const auto it = rates_.find(name);
    return it == rates_.end() ? std::vector<double>{} : it->second;
  }

  std::map<std::string, std::map<std::int64_t, double>> times_;
  std::map<std::string, std::vector<double>> rates_;
};

}  // namespace
}  // namespace ombrel::bench

int main(int argc, char** argv) {
  using namespace ombrel::bench;
  std::string figures;
  std::vector<char*> args;
  for (int i = 0; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg.starts_with("--figures=")) {
      figures = arg.substr(10);
    } else {
      args.push_back(argv[i]);
    }
  }
  int count = static_cast<int>(args.size());
  benchmark::Initialize(&count, args.data());
  for (const bool utf8 : {false, true}) {
    const std::string form = utf8 ? "/utf8" : "/cp932";
    benchmark::RegisterBenchmark(("floor_memchr" + form).c_str(), Floor, utf8);
    benchmark::RegisterBenchmark(("read" + form).c_str(), Read, utf8);
    benchmark::RegisterBenchmark(("write" + form).c_str(), Write, utf8);
    benchmark::RegisterBenchmark(("read_items_bytes_only" + form).c_str(), ReadItemsOnly, utf8);
    benchmark::RegisterBenchmark(("widen_lines" + form).c_str(), WidenLines, utf8);
  }
  FigureReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();

  const Aim aim{3.0, false, "≤ 3"};
  const Aim none{};
  std::string rows;
  for (const char* form : {"cp932", "utf8"}) {
    const std::string f = form;
    const std::string floor = "floor_memchr/" + f;
    rows += reporter.Row("reader `DecodeEntryList`, " + f, "read/" + f, floor, aim) + "\n";
    rows += reporter.Row("writer `EncodeEntryList`, " + f, "write/" + f, floor, aim) + "\n";
    rows += reporter.Row("(items only, `ReadItems`), " + f, "read_items_bytes_only/" + f, floor, none) + "\n";
    rows +=
        reporter.Row("(one wide string a line, memchr and widening), " + f, "widen_lines/" + f, floor, none) +
        "\n";
  }
  std::cout << "\n" << rows;
  if (!figures.empty()) std::ofstream(figures) << rows;
  return 0;
}
