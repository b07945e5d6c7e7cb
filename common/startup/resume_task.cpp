#include "common/startup/resume_task.h"

#include "common/list/program_folder.h"

namespace ombrel {

namespace {

// Text as element content: paths may hold "&", and the event query is XML
// that travels as text.
std::wstring Escaped(const std::wstring& text) {
  std::wstring out;
  out.reserve(text.size());
  for (const wchar_t c : text) {
    switch (c) {
      case L'&':
        out += L"&amp;";
        break;
      case L'<':
        out += L"&lt;";
        break;
      case L'>':
        out += L"&gt;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::wstring Element(const std::wstring& name, const std::wstring& text) {
  return L"<" + name + L">" + Escaped(text) + L"</" + name + L">";
}

// The power troubleshooter's event 1 is logged once the system is back from
// sleep or hibernation, whether or not a sign-in follows.
constexpr wchar_t kWakeQuery[] =
    L"<QueryList><Query Id=\"0\" Path=\"System\"><Select Path=\"System\">"
    L"*[System[Provider[@Name='Microsoft-Windows-Power-Troubleshooter'] and EventID=1]]"
    L"</Select></Query></QueryList>";

// A non-administrator may only register session triggers that name himself.
std::wstring SessionTrigger(const std::wstring& userId, const wchar_t* stateChange) {
  return L"<SessionStateChangeTrigger>" + Element(L"UserId", userId) + Element(L"StateChange", stateChange) +
         L"</SessionStateChangeTrigger>\n";
}

}  // namespace

std::wstring ResumeTaskName(const std::wstring& userSid) { return L"Ombrel-" + userSid; }

std::wstring ResumeTaskXml(const ResumeTask& task) {
  std::wstring xml =
      L"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n"
      L"<Task version=\"1.2\" xmlns=\"http://schemas.microsoft.com/windows/2004/02/mit/task\">\n";
  // The launcher's path is kept here too: Wine drops a task's actions when it
  // stores it, but keeps this, and one decision then serves both.
  xml += L"<RegistrationInfo>" + Element(L"URI", L"\\" + task.name) + Element(L"Source", task.launcher) +
         Element(L"Description", task.description) + L"</RegistrationInfo>\n";
  xml += L"<Triggers>\n" + SessionTrigger(task.userId, L"SessionUnlock") +
         SessionTrigger(task.userId, L"ConsoleConnect");
  if (task.onWake) xml += L"<EventTrigger>" + Element(L"Subscription", kWakeQuery) + L"</EventTrigger>\n";
  xml += L"</Triggers>\n";
  xml += L"<Principals><Principal id=\"Author\">" + Element(L"UserId", task.userId) +
         L"<LogonType>InteractiveToken</LogonType><RunLevel>LeastPrivilege</RunLevel></Principal></"
         L"Principals>\n";
  // Windows' defaults would skip a laptop on battery, stop it when unplugged,
  // run it late after a missed start, and start it (and every program it
  // opens) below normal priority.
  xml +=
      L"<Settings><MultipleInstancesPolicy>IgnoreNew</MultipleInstancesPolicy>"
      L"<DisallowStartIfOnBatteries>false</DisallowStartIfOnBatteries>"
      L"<StopIfGoingOnBatteries>false</StopIfGoingOnBatteries><StartWhenAvailable>false</StartWhenAvailable>"
      L"<ExecutionTimeLimit>PT1H</ExecutionTimeLimit><Priority>4</Priority></Settings>\n";
  const std::wstring folder = FolderAsPath(FolderOf(task.launcher));
  // Quoted, so that a folder with blanks is never cut at the first one.
  xml += L"<Actions Context=\"Author\"><Exec>" + Element(L"Command", L"\"" + task.launcher + L"\"") +
         Element(L"WorkingDirectory", folder) + L"</Exec></Actions>\n";
  xml += L"</Task>\n";
  return xml;
}

}  // namespace ombrel
