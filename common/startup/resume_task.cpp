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

std::optional<std::wstring> TaskCommand(const std::wstring& launcher) {
  // The schema's limit is on the text, quotes and all.
  const bool quoted = launcher.find(L' ') != std::wstring::npos;
  if (launcher.size() + (quoted ? 2 : 0) > kTaskPathMost) return std::nullopt;
  return quoted ? L"\"" + launcher + L"\"" : launcher;
}

std::optional<std::wstring> ResumeTaskXml(const ResumeTask& task) {
  const std::optional<std::wstring> command = TaskCommand(task.launcher);
  if (!command) return std::nullopt;
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
  // opens) below normal priority. They would also stop a run after 72 hours,
  // or after the hour this task once gave, which a list on a share that does
  // not answer may take by the settings, its stamp renewed and its later
  // entries never opened; and they start no new instance while one runs, so
  // a launcher hung in Windows would keep every start away as long as it
  // lived. Every start runs: a second one finds the folder's lock or today's
  // stamp, and a launcher that hangs ends itself (its clock's bound).
  xml +=
      L"<Settings><MultipleInstancesPolicy>Parallel</MultipleInstancesPolicy>"
      L"<DisallowStartIfOnBatteries>false</DisallowStartIfOnBatteries>"
      L"<StopIfGoingOnBatteries>false</StopIfGoingOnBatteries><StartWhenAvailable>false</StartWhenAvailable>"
      L"<ExecutionTimeLimit>PT0S</ExecutionTimeLimit><Priority>4</Priority></Settings>\n";
  const std::wstring folder = FolderAsPath(FolderOf(task.launcher));
  xml += L"<Actions Context=\"Author\"><Exec>" + Element(L"Command", *command) +
         Element(L"WorkingDirectory", folder) + L"</Exec></Actions>\n";
  xml += L"</Task>\n";
  return xml;
}

namespace {

bool Succeeded(std::uint32_t result) { return (result & 0x80000000U) == 0; }

constexpr std::uint32_t kAccessDenied = 0x80070005U;  // E_ACCESSDENIED
// HRESULT_FROM_WIN32 of the Event Log's errors, ERROR_EVT_INVALID_CHANNEL_PATH
// (15000) to the end of its range (15099).
constexpr std::uint32_t kFirstEventLogError = 0x80073A98U;
constexpr std::uint32_t kLastEventLogError = 0x80073AFBU;

}  // namespace

bool RefusesEventTrigger(std::uint32_t result) {
  return result == kAccessDenied || (result >= kFirstEventLogError && result <= kLastEventLogError);
}

ResumeTaskRegistration RegisterResumeTask(TaskRegistrar& scheduler, ResumeTask task) {
  using Outcome = ResumeTaskRegistration::Outcome;
  const std::optional<std::wstring> xml = ResumeTaskXml(task);
  if (!xml) return {Outcome::kPathTooLong, 0};
  std::uint32_t result = scheduler.Register(task.name, *xml);
  if (Succeeded(result)) return {task.onWake ? Outcome::kRegistered : Outcome::kRegisteredWithoutWake, 0};
  // Any other refusal is the task's, and a task without its wake would hide it.
  if (!task.onWake || !RefusesEventTrigger(result)) return {Outcome::kRefused, result};
  task.onWake = false;
  result = scheduler.Register(task.name, *ResumeTaskXml(task));
  return Succeeded(result) ? ResumeTaskRegistration{Outcome::kRegisteredWithoutWake, 0}
                           : ResumeTaskRegistration{Outcome::kRefused, result};
}

}  // namespace ombrel
