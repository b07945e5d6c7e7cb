// The resume task's XML and Windows' Startup switch, as Windows reads them.
#include "common/startup/resume_task.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <sstream>
#include <vector>

#include "common/startup/startup_approval.h"

namespace ombrel {
namespace {

ResumeTask TaskFor(std::wstring launcher, bool onWake = true) {
  return {ResumeTaskName(L"S-1-5-21-1-2-3-1001"), L"PC\\太郎", std::move(launcher), L"説明 & <要約>", onWake};
}

std::vector<std::wstring> Lines(const std::wstring& text) {
  std::vector<std::wstring> lines;
  std::wistringstream in(text);
  for (std::wstring line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// Each element Windows reads, one line of the XML each; a line that must not
// be there is marked so.
TEST(ResumeTaskXmlTest, EachElementHoldsWhatWindowsNeeds) {
  const std::wstring plain = L"C:\\Tools\\Ombrel.exe";
  struct Case {
    const char* what;
    ResumeTask task;
    std::wstring line;
    bool present = true;
  };
  const Case cases[] = {
      {"a version 1.2 task", TaskFor(plain),
       L"<Task version=\"1.2\" xmlns=\"http://schemas.microsoft.com/windows/2004/02/mit/task\">"},
      {"named per user, the launcher kept as its source, the description escaped", TaskFor(plain),
       L"<RegistrationInfo><URI>\\Ombrel-S-1-5-21-1-2-3-1001</URI><Source>C:\\Tools\\Ombrel.exe</Source>"
       L"<Description>説明 &amp; &lt;要約&gt;</Description></RegistrationInfo>"},
      {"unlock, of this user", TaskFor(plain),
       L"<SessionStateChangeTrigger><UserId>PC\\太郎</UserId><StateChange>SessionUnlock</StateChange>"
       L"</SessionStateChangeTrigger>"},
      {"switching back, of this user", TaskFor(plain),
       L"<SessionStateChangeTrigger><UserId>PC\\太郎</UserId><StateChange>ConsoleConnect</StateChange>"
       L"</SessionStateChangeTrigger>"},
      {"wake from sleep, as an escaped query", TaskFor(plain),
       L"<EventTrigger><Subscription>&lt;QueryList&gt;&lt;Query Id=\"0\" Path=\"System\"&gt;"
       L"&lt;Select Path=\"System\"&gt;*[System[Provider[@Name='Microsoft-Windows-Power-Troubleshooter'] "
       L"and EventID=1]]&lt;/Select&gt;&lt;/Query&gt;&lt;/QueryList&gt;</Subscription></EventTrigger>"},
      {"no wake trigger where the event is refused", TaskFor(plain, false), L"<EventTrigger>", false},
      {"... the unlock kept", TaskFor(plain, false),
       L"<SessionStateChangeTrigger><UserId>PC\\太郎</UserId><StateChange>SessionUnlock</StateChange>"
       L"</SessionStateChangeTrigger>"},
      {"this user, signed in, no elevation", TaskFor(plain),
       L"<Principals><Principal "
       L"id=\"Author\"><UserId>PC\\太郎</UserId><LogonType>InteractiveToken</LogonType>"
       L"<RunLevel>LeastPrivilege</RunLevel></Principal></Principals>"},
      {"battery, every start runs, never stopped, no late start, normal priority", TaskFor(plain),
       L"<Settings><MultipleInstancesPolicy>Parallel</MultipleInstancesPolicy>"
       L"<DisallowStartIfOnBatteries>false</DisallowStartIfOnBatteries>"
       L"<StopIfGoingOnBatteries>false</StopIfGoingOnBatteries><StartWhenAvailable>false</StartWhenAvailable>"
       L"<ExecutionTimeLimit>PT0S</ExecutionTimeLimit><Priority>4</Priority></Settings>"},
      {"the launcher without blanks as it is, in its folder", TaskFor(plain),
       L"<Actions Context=\"Author\"><Exec><Command>C:\\Tools\\Ombrel.exe</Command>"
       L"<WorkingDirectory>C:\\Tools</WorkingDirectory></Exec></Actions>"},
      {"a path with blanks, whole", TaskFor(L"C:\\Program Files\\Ombrel\\Ombrel.exe"),
       L"<Actions Context=\"Author\"><Exec><Command>\"C:\\Program Files\\Ombrel\\Ombrel.exe\"</Command>"
       L"<WorkingDirectory>C:\\Program Files\\Ombrel</WorkingDirectory></Exec></Actions>"},
      {"a path in Japanese, as it is", TaskFor(L"D:\\ツール\\オンブレル\\Ombrel.exe"),
       L"<Actions Context=\"Author\"><Exec><Command>D:\\ツール\\オンブレル\\Ombrel.exe</Command>"
       L"<WorkingDirectory>D:\\ツール\\オンブレル</WorkingDirectory></Exec></Actions>"},
      {"a drive's root, the root itself", TaskFor(L"C:\\Ombrel.exe"),
       L"<Actions Context=\"Author\"><Exec><Command>C:\\Ombrel.exe</Command>"
       L"<WorkingDirectory>C:\\</WorkingDirectory></Exec></Actions>"},
      {"& and < in a path, escaped in the action", TaskFor(L"C:\\R&D <1>\\Ombrel.exe"),
       L"<Actions Context=\"Author\"><Exec><Command>\"C:\\R&amp;D &lt;1&gt;\\Ombrel.exe\"</Command>"
       L"<WorkingDirectory>C:\\R&amp;D &lt;1&gt;</WorkingDirectory></Exec></Actions>"},
      {"... and in the source", TaskFor(L"C:\\R&D <1>\\Ombrel.exe"),
       L"<RegistrationInfo><URI>\\Ombrel-S-1-5-21-1-2-3-1001</URI><Source>C:\\R&amp;D &lt;1&gt;\\Ombrel.exe"
       L"</Source><Description>説明 &amp; &lt;要約&gt;</Description></RegistrationInfo>"},
  };
  for (const Case& c : cases) {
    const std::vector<std::wstring> lines = Lines(ResumeTaskXml(c.task).value());
    const bool found = std::ranges::any_of(lines, [&](const std::wstring& line) {
      return c.present ? line == c.line : line.starts_with(c.line);
    });
    EXPECT_EQ(found, c.present) << c.what;
  }
}

TEST(ResumeTaskXmlTest, TheCommandFitsTheSchemaOrThereIsNoTask) {
  const std::wstring folder = L"C:\\" + std::wstring(236, L'a') + L"\\";  // 240 characters
  struct Case {
    std::wstring launcher;
    std::optional<std::wstring> command;
  };
  const Case cases[] = {
      {folder + L"bcdefghi\\Ombrel.exe", folder + L"bcdefghi\\Ombrel.exe"},          // 259
      {folder + L"bcdefghij\\Ombrel.exe", folder + L"bcdefghij\\Ombrel.exe"},        // 260
      {folder + L"bcdefghijk\\Ombrel.exe", std::nullopt},                            // 261
      {folder + L"b d efg\\Ombrel.exe", L"\"" + folder + L"b d efg\\Ombrel.exe\""},  // 258, quoted 260
      {folder + L"b d efgh\\Ombrel.exe", std::nullopt},                              // 259, quoted 261
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TaskCommand(c.launcher), c.command) << c.launcher.size();
    EXPECT_EQ(ResumeTaskXml(TaskFor(c.launcher)).has_value(), c.command.has_value()) << c.launcher.size();
  }
}

// Answers each definition with the next result; keeps whether it had the wake.
class FakeRegistrar final : public TaskRegistrar {
 public:
  explicit FakeRegistrar(std::vector<std::uint32_t> results) : results(std::move(results)) {}
  std::uint32_t Register(const std::wstring&, const std::wstring& xml) override {
    withWake.push_back(xml.find(L"<EventTrigger>") != std::wstring::npos);
    return results.at(withWake.size() - 1);
  }
  std::vector<std::uint32_t> results;
  std::vector<bool> withWake;
};

TEST(ResumeTaskRegistrationTest, WithoutTheWakeOnlyWhenTheEventTriggerIsRefused) {
  using Outcome = ResumeTaskRegistration::Outcome;
  constexpr std::uint32_t kDenied = 0x80070005U;     // E_ACCESSDENIED
  constexpr std::uint32_t kNoChannel = 0x80073A9FU;  // ERROR_EVT_CHANNEL_NOT_FOUND
  constexpr std::uint32_t kBadValue = 0x80041318U;   // SCHED_E_INVALIDVALUE
  struct Case {
    std::vector<std::uint32_t> results;
    Outcome outcome;
    std::uint32_t error;
    std::vector<bool> withWake;
  };
  const Case cases[] = {
      {{0}, Outcome::kRegistered, 0, {true}},
      {{kDenied, 0}, Outcome::kRegisteredWithoutWake, 0, {true, false}},
      {{kNoChannel, 0}, Outcome::kRegisteredWithoutWake, 0, {true, false}},
      {{kDenied, kBadValue}, Outcome::kRefused, kBadValue, {true, false}},  // the second refusal shown
      {{kBadValue}, Outcome::kRefused, kBadValue, {true}},                  // the task's own fault: no retry
  };
  for (const Case& c : cases) {
    FakeRegistrar registrar(c.results);
    const ResumeTaskRegistration registration = RegisterResumeTask(registrar, TaskFor(L"C:\\Ombrel.exe"));
    EXPECT_EQ(registration.outcome, c.outcome) << c.results.front();
    EXPECT_EQ(registration.error, c.error) << c.results.front();
    EXPECT_EQ(registrar.withWake, c.withWake) << c.results.front();
  }
  FakeRegistrar nothingAsked({});
  EXPECT_EQ(RegisterResumeTask(nothingAsked, TaskFor(std::wstring(300, L'x'))).outcome,
            Outcome::kPathTooLong);
}

TEST(StartupApprovalTest, AnOddFirstByteAloneSwitchesOff) {
  struct Case {
    const char* what;
    std::optional<std::string> value;
    StartupApproval approval;
  };
  const Case cases[] = {
      {"missing", std::nullopt, StartupApproval::kOn},
      {"on, as Windows writes it", std::string(kStartupApprovedOn), StartupApproval::kOn},
      {"on, 06", std::string("\x06\0\0\0\0\0\0\0\0\0\0\0", 12), StartupApproval::kOn},
      {"off, with the time it was switched off",
       std::string("\x03\0\0\0\x10\x32\x54\x76\x98\xBA\xDC\x01", 12), StartupApproval::kOff},
      {"malformed: empty", std::string(), StartupApproval::kOn},
      {"malformed: one odd byte", std::string("\x03"), StartupApproval::kOff},
      {"malformed: long, even first byte", std::string(40, '\x02'), StartupApproval::kOn},
  };
  for (const Case& c : cases) EXPECT_EQ(ReadStartupApproval(c.value), c.approval) << c.what;
  EXPECT_EQ(kStartupApprovedOn.size(), 12U);
}

}  // namespace
}  // namespace ombrel
