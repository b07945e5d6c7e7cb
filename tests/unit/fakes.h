// In-memory stand-ins for the operating system, so that the shared decisions
// can be checked without Windows.
#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "common/open/entry_open.h"
#include "common/port/system_port.h"
#include "common/schedule/pacing.h"
#include "common/schedule/policy.h"

namespace ombrel::testing {

// Files as a map from path to bytes. Every "code page" is Latin-1: the low
// 256 characters, and no others. That is all the core needs to see: it works
// on bytes and leaves the conversion to the platform.
class FakeSystem : public SystemPort {
 public:
  std::map<std::wstring, std::string> files;
  // Last-write times: each write makes a later one; a file set directly has 0.
  std::map<std::wstring, std::uint64_t> writeTimes;
  std::set<std::wstring> unreadable;  // exist, but cannot be opened for reading
  std::set<std::wstring> unwritable;  // every write fails and leaves the file as it was
  std::set<std::wstring> readOnly;    // carry the read-only attribute
  LocalTime now{2026, 4, 7, 9, 5, 7};
  unsigned ansiCodePage = 932;
  unsigned lastCodePage = 0;  // of the last conversion
  std::uint32_t process = 4321;
  std::vector<std::string> log;  // "read PATH", "write PATH", "replace PATH", "open PATH", "append PATH"

  FileRead ReadAll(const std::wstring& path) override {
    log.push_back("read " + Narrow(path));
    // Windows' codes: access denied, file not found.
    if (unreadable.count(path) != 0) return {ReadStatus::kUnreadable, {}, {}, 5};
    const auto it = files.find(path);
    if (it == files.end()) return {ReadStatus::kMissing, {}, {}, 2};
    return {ReadStatus::kRead, it->second, MetadataOf(path)};
  }
  // Through ReadAll, so that a test that watches ReadAll sees this read too.
  FileRead ReadStart(const std::wstring& path, std::size_t limit) override {
    FileRead read = ReadAll(path);
    if (read.bytes.size() > limit) read.bytes.resize(limit);
    return read;
  }
  FileRead ReadEnd(const std::wstring& path, std::size_t limit) override {
    FileRead read = ReadAll(path);
    if (read.bytes.size() > limit) read.bytes.erase(0, read.bytes.size() - limit);
    return read;
  }
  bool WriteAll(const std::wstring& path, std::string_view bytes) override {
    log.push_back("write " + Narrow(path));
    if (unwritable.count(path) != 0) return false;
    Write(path, bytes);
    return true;
  }
  SaveResult ReplaceAll(const std::wstring& path, std::string_view bytes) override {
    log.push_back("replace " + Narrow(path));
    if (readOnly.count(path) != 0) return {SaveStatus::kReadOnly, {}};
    if (unwritable.count(path) != 0) return {};
    Write(path, bytes);
    return {SaveStatus::kSaved, MetadataOf(path)};
  }
  std::vector<std::wstring> FindFiles(const std::wstring& pattern) override {
    // Only what the core asks: a trailing "*".
    const std::wstring prefix = pattern.substr(0, pattern.size() - 1);
    std::vector<std::wstring> found;
    for (const auto& [path, bytes] : files) {
      if (path.starts_with(prefix)) found.push_back(path);
    }
    return found;
  }
  bool RemoveFile(const std::wstring& path) override { return files.erase(path) != 0; }
  // Opening fails for an unwritable file, and so does each addition while it
  // is unwritable.
  std::unique_ptr<FileAppender> OpenForAppend(const std::wstring& path) override {
    log.push_back("open " + Narrow(path));
    if (unwritable.count(path) != 0) return nullptr;
    files[path];
    return std::make_unique<Appender>(*this, path);
  }
  // Held by a writer while one of the fake's appenders of it is open.
  bool HeldByWriter(const std::wstring& path) override { return appenders_[path] > 0; }
  virtual bool AppendTo(const std::wstring& path, std::string_view bytes) {
    log.push_back("append " + Narrow(path));
    if (unwritable.count(path) != 0) return false;
    files[path].append(bytes);
    writeTimes[path] = ++clock_;
    return true;
  }
  bool IsOrdinaryFile(const std::wstring& path) override {
    return files.count(path) != 0 && unreadable.count(path) == 0;
  }
  LocalTime Now() override { return now; }
  std::uint32_t ProcessId() override { return process; }
  // Windows' words stand in as the code alone, so a test sees which code.
  std::wstring ErrorText(std::uint32_t code) override { return L"text of " + std::to_wstring(code); }
  unsigned AnsiCodePage() override { return ansiCodePage; }
  std::optional<std::string> ToCodePage(unsigned codePage, const std::wstring& text) override {
    lastCodePage = codePage;
    std::string bytes;
    for (const wchar_t c : text) {
      if (c >= 256) return std::nullopt;
      bytes += static_cast<char>(c);
    }
    return bytes;
  }
  std::wstring FromCodePage(unsigned codePage, std::string_view bytes) override {
    lastCodePage = codePage;
    std::wstring text;
    for (const char c : bytes) text += static_cast<wchar_t>(static_cast<unsigned char>(c));
    return text;
  }
  // The fake's code page form of text, for tests that build files.
  std::optional<std::string> ToAnsi(const std::wstring& text) { return ToCodePage(ansiCodePage, text); }
  std::wstring FromAnsi(std::string_view bytes) { return FromCodePage(ansiCodePage, bytes); }

  FileMetadata MetadataOf(const std::wstring& path) const {
    const auto time = writeTimes.find(path);
    return {files.at(path).size(), time == writeTimes.end() ? 0 : time->second};
  }
  void Write(const std::wstring& path, std::string_view bytes) {
    files[path] = std::string(bytes);
    writeTimes[path] = ++clock_;
  }

  class Appender final : public FileAppender {
   public:
    Appender(FakeSystem& system, std::wstring path) : system_(system), path_(std::move(path)) {
      ++system_.appenders_[path_];
    }
    Appender(const Appender&) = delete;
    Appender& operator=(const Appender&) = delete;
    ~Appender() override { --system_.appenders_[path_]; }
    bool Append(std::string_view bytes) override { return system_.AppendTo(path_, bytes); }

   private:
    FakeSystem& system_;
    std::wstring path_;
  };

  static std::string Narrow(const std::wstring& text) {
    std::string out;
    for (const wchar_t c : text) out += c < 128 ? static_cast<char>(c) : '?';
    return out;
  }

 private:
  std::uint64_t clock_ = 0;
  std::map<std::wstring, int> appenders_;  // open appenders of each path
};

// Records every call in order. Programs whose command line is in
// `startFails` cannot be started; shell targets in `shellFails` do not open;
// either fails with the code `errors` holds for it, else 2 (file not found).
// `existingFiles` are the files IsFile finds. A program started by a bare
// name is found as C:\Windows\ and that name.
class FakeOpenPort : public OpenPort {
 public:
  struct Call {
    std::string kind;          // "start" or "shell"
    std::wstring text;         // the command line, or the shell's target
    std::wstring directory;    // the working folder
    WindowHandle owner = 0;    // the shell's owner window
    std::wstring application;  // the program's file, when a start names it
    bool operator==(const Call&) const = default;
  };
  std::vector<Call> calls;
  std::set<std::wstring> startFails;
  std::set<std::wstring> shellFails;
  std::set<std::wstring> existingFiles;
  std::map<std::wstring, std::uint32_t> errors;

  OpenAttempt StartProgram(const ProgramStart& program, const std::wstring& directory) override {
    calls.push_back({"start", program.commandLine, directory, 0, program.application});
    if (startFails.count(program.commandLine) != 0) return Failure(program.commandLine);
    const std::wstring& line = program.commandLine;
    return {true, 0,
            program.application.empty() ? L"C:\\Windows\\" + line.substr(0, line.find(L' '))
                                        : program.application};
  }
  bool IsFile(const std::wstring& path) override { return existingFiles.count(path) != 0; }
  OpenAttempt OpenWithShell(WindowHandle owner, const std::wstring& target,
                            const std::wstring& directory) override {
    calls.push_back({"shell", target, directory, owner, {}});
    return shellFails.count(target) != 0 ? Failure(target) : OpenAttempt{true, 0, {}};
  }

 private:
  OpenAttempt Failure(const std::wstring& text) const {
    const auto code = errors.find(text);
    return {false, code != errors.end() ? code->second : 2U, {}};
  }
};

// Hands out a fixed handle and counts how often it was asked.
class FakeOwner : public OwnerWindow {
 public:
  explicit FakeOwner(WindowHandle handle = 0x1234) : handle_(handle) {}
  WindowHandle Handle() override {
    ++asked;
    return handle_;
  }
  int asked = 0;

 private:
  WindowHandle handle_;
};

// Time that passes only when slept: each sleep is kept, in order, and moves
// the clock on by its length. With `endsAt`, the program ends at that time:
// a sleep reaching it stops there and says so.
class FakeClock : public Clock {
 public:
  std::chrono::milliseconds now{0};
  std::vector<std::chrono::milliseconds> sleeps;
  std::optional<std::chrono::milliseconds> endsAt;

  std::vector<std::chrono::milliseconds> bounds;  // each step's, in order

  std::chrono::milliseconds Elapsed() override { return now; }
  void BoundNextStep(std::chrono::milliseconds bound) override { bounds.push_back(bound); }
  bool Sleep(std::chrono::milliseconds duration) override {
    sleeps.push_back(duration);
    if (endsAt && now + duration >= *endsAt) {
      now = *endsAt;
      return false;
    }
    now += duration;
    return true;
  }
};

// Drives in `networkDrives` are network drives. A path answers once the
// clock has reached its time in `answersFrom` (never, with no clock given);
// a path not listed answers at once; with `ending`, none answers because the
// program ends. Every question about a path is kept.
class FakeNetwork : public NetworkProbe {
 public:
  explicit FakeNetwork(const FakeClock* clock = nullptr) : clock_(clock) {}
  std::set<wchar_t> networkDrives;
  std::map<std::wstring, std::chrono::milliseconds> answersFrom;
  std::vector<std::wstring> asked;

  bool IsNetworkDrive(wchar_t letter) override { return networkDrives.count(letter) != 0; }
  bool ending = false;  // the program is ending while it asks

  PathReply AskPath(const std::wstring& path) override {
    asked.push_back(path);
    if (ending) return PathReply::kProgramEnding;
    const auto from = answersFrom.find(path);
    const bool answers = from == answersFrom.end() || (clock_ != nullptr && clock_->now >= from->second);
    return answers ? PathReply::kAnswered : PathReply::kSilent;
  }

 private:
  const FakeClock* clock_;
};

// Policy values as a map from hive and name; every value asked for is counted.
class FakePolicy final : public PolicyPort {
 public:
  std::map<std::pair<PolicyHive, std::string>, PolicyValue> values;
  int reads = 0;

  void SetNumber(PolicyHive hive, const std::string& name, std::uint32_t number) {
    values[{hive, name}] = {PolicyValue::Type::kNumber, {}, number};
  }
  void SetText(PolicyHive hive, const std::string& name, std::wstring text) {
    values[{hive, name}] = {PolicyValue::Type::kText, std::move(text), 0};
  }

  PolicyValue Read(PolicyHive hive, std::string_view name) override {
    ++reads;
    const auto value = values.find({hive, std::string(name)});
    return value == values.end() ? PolicyValue{} : value->second;
  }
};

}  // namespace ombrel::testing
