// The resume task's XML and Windows' Startup switch, as Windows reads them.
#include "common/startup/resume_task.h"

#include <gtest/gtest.h>

#include <algorithm>
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
      {"battery, one at a time, an hour, no late start, normal priority", TaskFor(plain),
       L"<Settings><MultipleInstancesPolicy>IgnoreNew</MultipleInstancesPolicy>"
       L"<DisallowStartIfOnBatteries>false</DisallowStartIfOnBatteries>"
       L"<StopIfGoingOnBatteries>false</StopIfGoingOnBatteries><StartWhenAvailable>false</StartWhenAvailable>"
       L"<ExecutionTimeLimit>PT1H</ExecutionTimeLimit><Priority>4</Priority></Settings>"},
      {"the launcher quoted, in its folder", TaskFor(plain),
       L"<Actions Context=\"Author\"><Exec><Command>\"C:\\Tools\\Ombrel.exe\"</Command>"
       L"<WorkingDirectory>C:\\Tools</WorkingDirectory></Exec></Actions>"},
      {"a path with blanks, whole", TaskFor(L"C:\\Program Files\\Ombrel\\Ombrel.exe"),
       L"<Actions Context=\"Author\"><Exec><Command>\"C:\\Program Files\\Ombrel\\Ombrel.exe\"</Command>"
       L"<WorkingDirectory>C:\\Program Files\\Ombrel</WorkingDirectory></Exec></Actions>"},
      {"a path in Japanese, as it is", TaskFor(L"D:\\ツール\\オンブレル\\Ombrel.exe"),
       L"<Actions Context=\"Author\"><Exec><Command>\"D:\\ツール\\オンブレル\\Ombrel.exe\"</Command>"
       L"<WorkingDirectory>D:\\ツール\\オンブレル</WorkingDirectory></Exec></Actions>"},
      {"a drive's root, the root itself", TaskFor(L"C:\\Ombrel.exe"),
       L"<Actions Context=\"Author\"><Exec><Command>\"C:\\Ombrel.exe\"</Command>"
       L"<WorkingDirectory>C:\\</WorkingDirectory></Exec></Actions>"},
      {"& and < in a path, escaped in the action", TaskFor(L"C:\\R&D <1>\\Ombrel.exe"),
       L"<Actions Context=\"Author\"><Exec><Command>\"C:\\R&amp;D &lt;1&gt;\\Ombrel.exe\"</Command>"
       L"<WorkingDirectory>C:\\R&amp;D &lt;1&gt;</WorkingDirectory></Exec></Actions>"},
      {"... and in the source", TaskFor(L"C:\\R&D <1>\\Ombrel.exe"),
       L"<RegistrationInfo><URI>\\Ombrel-S-1-5-21-1-2-3-1001</URI><Source>C:\\R&amp;D &lt;1&gt;\\Ombrel.exe"
       L"</Source><Description>説明 &amp; &lt;要約&gt;</Description></RegistrationInfo>"},
  };
  for (const Case& c : cases) {
    const std::vector<std::wstring> lines = Lines(ResumeTaskXml(c.task));
    const bool found = std::ranges::any_of(lines, [&](const std::wstring& line) {
      return c.present ? line == c.line : line.starts_with(c.line);
    });
    EXPECT_EQ(found, c.present) << c.what;
  }
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
