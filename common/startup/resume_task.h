// The scheduled task that starts Ombrel when the user comes back to the PC:
// an unlock, a return through fast user switching, a wake from sleep. Most
// PCs are locked or asleep overnight rather than logged off, so the first use
// of a day is one of these. The task is written as the Task Scheduler's XML,
// so that every element Windows reads is checked as text.
#pragma once

#include <string>

namespace ombrel {

// One task per user in the Task Scheduler's root folder: "Ombrel-" and the
// user's SID, as Windows' own per-user tasks tell two users apart. A SID
// never holds a character a task name may not.
[[nodiscard]] std::wstring ResumeTaskName(const std::wstring& userSid);

struct ResumeTask {
  std::wstring name;         // from ResumeTaskName
  std::wstring userId;       // the account (DOMAIN\user) whose returns start it, and as whom it runs
  std::wstring launcher;     // full path of the Ombrel.exe it starts, also kept as the task's Source
  std::wstring description;  // what the Task Scheduler's list says of it
  bool onWake = true;        // with the trigger on the system's wake from sleep
};

// The task definition for ITaskFolder::RegisterTask.
[[nodiscard]] std::wstring ResumeTaskXml(const ResumeTask& task);

}  // namespace ombrel
