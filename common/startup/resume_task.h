// The scheduled task that starts Ombrel when the user comes back to the PC:
// an unlock, a return through fast user switching, a wake from sleep. Most
// PCs are locked or asleep overnight rather than logged off, so the first use
// of a day is one of these. The task is written as the Task Scheduler's XML,
// so that every element Windows reads is checked as text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
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

// The longest path the Task Scheduler's schema takes as an action's Command
// (and WorkingDirectory): a longer one is refused or cut.
inline constexpr std::size_t kTaskPathMost = 260;

// The launcher as the action's Command: quoted only when it holds a blank, so
// that it is never cut at the first one and a path of 259 or 260 characters
// without one still fits; nothing when it does not fit even so.
[[nodiscard]] std::optional<std::wstring> TaskCommand(const std::wstring& launcher);

// The task definition for ITaskFolder::RegisterTask; nothing when the
// launcher's path is too long for the schema (TaskCommand).
[[nodiscard]] std::optional<std::wstring> ResumeTaskXml(const ResumeTask& task);

// The Task Scheduler as a registration needs it: a definition taken, or
// refused with Windows' HRESULT.
class TaskRegistrar {
 public:
  TaskRegistrar() = default;
  TaskRegistrar(const TaskRegistrar&) = delete;
  TaskRegistrar& operator=(const TaskRegistrar&) = delete;
  virtual ~TaskRegistrar() = default;

  // S_OK (0) when registered under `name`, replacing a task of that name.
  [[nodiscard]] virtual std::uint32_t Register(const std::wstring& name, const std::wstring& xml) = 0;
};

// What a registration came to.
struct ResumeTaskRegistration {
  enum class Outcome {
    kRegistered,
    // Registered without the wake from sleep: this user may not have the
    // event trigger here; unlocks and returns still start the launcher.
    kRegisteredWithoutWake,
    kPathTooLong,  // the launcher's path does not fit the schema: nothing was asked
    kRefused,      // Windows refused; `error` says why
  };
  Outcome outcome = Outcome::kRefused;
  std::uint32_t error = 0;  // the HRESULT of the refusal
};

// Windows' refusals that mean the event trigger is not allowed for this user
// here (rather than anything else of the task): the Event Log's own errors
// for a subscription it cannot set up (a channel a policy hides or locks, an
// Event Log that does not run), and access denied, which is what a channel
// closed to the user gives.
[[nodiscard]] bool RefusesEventTrigger(std::uint32_t result);

// Registers the task; only for a refusal of the event trigger, once more
// without it.
[[nodiscard]] ResumeTaskRegistration RegisterResumeTask(TaskRegistrar& scheduler, ResumeTask task);

}  // namespace ombrel
