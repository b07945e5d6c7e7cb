#include "editor/win/scheduled_task.h"

#include <windows.h>

#include <lmcons.h>
#include <oleauto.h>
#include <sddl.h>
#include <taskschd.h>

#include <cstdio>
#include <optional>
#include <vector>

#include "common/startup/resume_task.h"
#include "common/win/error_text.h"
#include "common/win/final_path.h"
#include "common/win/scoped.h"
#include "editor/resource.h"
#include "editor/win/dialogs.h"

namespace ombrel::editor {

namespace {

inline BSTR NullBstr() { return nullptr; }
using ScopedBstr = win::Scoped<BSTR, &::SysFreeString, &NullBstr>;

const HRESULT kNoSuchTask = HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);

struct User {
  std::wstring sid;
  std::wstring account;  // DOMAIN\name, as the task's triggers and principal name it
};

// The user this program runs as; nothing when Windows cannot say.
std::optional<User> CurrentUser() {
  HANDLE token = nullptr;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) return std::nullopt;
  const win::ScopedHandle ownedToken(token);
  DWORD size = 0;
  ::GetTokenInformation(token, TokenUser, nullptr, 0, &size);
  std::vector<BYTE> information(size);
  if (size == 0 || !::GetTokenInformation(token, TokenUser, information.data(), size, &size))
    return std::nullopt;
  const PSID sid = reinterpret_cast<const TOKEN_USER*>(information.data())->User.Sid;
  LPWSTR sidText = nullptr;
  if (!::ConvertSidToStringSidW(sid, &sidText)) return std::nullopt;
  User user{sidText, {}};
  ::LocalFree(sidText);
  wchar_t name[UNLEN + 1] = {};
  wchar_t domain[MAX_PATH] = {};
  DWORD nameSize = std::size(name);
  DWORD domainSize = std::size(domain);
  SID_NAME_USE use{};
  if (!::LookupAccountSidW(nullptr, sid, name, &nameSize, domain, &domainSize, &use)) return std::nullopt;
  user.account = std::wstring(domain) + L"\\" + name;
  return user;
}

// Windows' own words for a failure, and its code, which the words of the
// Task Scheduler's own failures may lack.
std::wstring ErrorText(HRESULT result) {
  wchar_t code[16] = {};
  std::swprintf(code, std::size(code), L"0x%08lX", static_cast<unsigned long>(result));
  const std::wstring words =
      win::WindowsErrorText(static_cast<DWORD>(result), ::GetModuleHandleW(L"taskschd.dll"));
  return words.empty() ? code : words + L" (" + code + L")";
}

// The Task Scheduler's root folder, for the user who runs the program.
HRESULT ConnectRoot(win::ComPtr<ITaskFolder>& root) {
  win::ComPtr<ITaskService> service;
  HRESULT result =
      ::CoCreateInstance(__uuidof(TaskScheduler), nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(service.put()));
  if (FAILED(result)) return result;
  const VARIANT none{};
  result = service->Connect(none, none, none, none);
  if (FAILED(result)) return result;
  const ScopedBstr rootPath(::SysAllocString(L"\\"));
  return service->GetFolder(rootPath.get(), root.put());
}

// The root folder as the registration's way to the Task Scheduler.
class FolderRegistrar final : public TaskRegistrar {
 public:
  explicit FolderRegistrar(ITaskFolder& root) : root_(root) {}

  [[nodiscard]] std::uint32_t Register(const std::wstring& name, const std::wstring& xml) override {
    const ScopedBstr taskName(::SysAllocString(name.c_str()));
    const ScopedBstr definition(::SysAllocString(xml.c_str()));
    const VARIANT none{};
    win::ComPtr<IRegisteredTask> registered;
    return static_cast<std::uint32_t>(
        root_.RegisterTask(taskName.get(), definition.get(), TASK_CREATE_OR_UPDATE, none, none,
                           TASK_LOGON_INTERACTIVE_TOKEN, none, registered.put()));
  }

 private:
  ITaskFolder& root_;
};

}  // namespace

std::wstring ScheduledTask::TaskName() {
  const std::optional<User> user = CurrentUser();
  return ResumeTaskName(user ? user->sid : std::wstring());
}

ResumeTaskState ScheduledTask::Find() {
  ResumeTaskState state;
  win::ComPtr<ITaskFolder> root;
  if (FAILED(ConnectRoot(root))) return state;
  win::ComPtr<IRegisteredTask> task;
  const ScopedBstr name(::SysAllocString(TaskName().c_str()));
  const HRESULT found = root->GetTask(name.get(), task.put());
  state.reached = SUCCEEDED(found) || found == kNoSuchTask;
  state.exists = SUCCEEDED(found);
  if (!state.exists) return state;
  VARIANT_BOOL enabled = VARIANT_FALSE;
  state.enabled = SUCCEEDED(task->get_Enabled(&enabled)) && enabled != VARIANT_FALSE;
  // The launcher's path as the task's source: Wine drops the action itself.
  win::ComPtr<ITaskDefinition> definition;
  win::ComPtr<IRegistrationInfo> information;
  BSTR source = nullptr;
  if (SUCCEEDED(task->get_Definition(definition.put())) &&
      SUCCEEDED(definition->get_RegistrationInfo(information.put())) &&
      SUCCEEDED(information->get_Source(&source)) && source != nullptr) {
    const ScopedBstr owned(source);
    state.program = source;
  }
  state.runsLauncher = !state.program.empty() && win::SameFile(state.program, launcher_);
  return state;
}

TaskChange ScheduledTask::Register() {
  const std::optional<User> user = CurrentUser();
  if (!user) return {false, ErrorText(HRESULT_FROM_WIN32(::GetLastError()))};
  win::ComPtr<ITaskFolder> root;
  const HRESULT result = ConnectRoot(root);
  if (FAILED(result)) return {false, ErrorText(result)};
  const HINSTANCE instance = ::GetModuleHandleW(nullptr);
  const ResumeTask task{ResumeTaskName(user->sid), user->account, launcher_,
                        LoadProgramText(instance, IDS_TASK_DESCRIPTION)};
  FolderRegistrar registrar(*root.get());
  const ResumeTaskRegistration registration = RegisterResumeTask(registrar, task);
  using Outcome = ResumeTaskRegistration::Outcome;
  switch (registration.outcome) {
    case Outcome::kRegistered:
      return {true, {}};
    case Outcome::kRegisteredWithoutWake:
      return {true, {}, true};
    case Outcome::kPathTooLong:
      return {false, LoadProgramText(instance, IDS_TASK_PATH_TOO_LONG_1) + std::to_wstring(kTaskPathMost) +
                         LoadProgramText(instance, IDS_TASK_PATH_TOO_LONG_2)};
    case Outcome::kRefused:
      break;
  }
  return {false, ErrorText(static_cast<HRESULT>(registration.error))};
}

TaskChange ScheduledTask::Remove() {
  win::ComPtr<ITaskFolder> root;
  HRESULT result = ConnectRoot(root);
  if (SUCCEEDED(result)) {
    const ScopedBstr name(::SysAllocString(TaskName().c_str()));
    result = root->DeleteTask(name.get(), 0);
  }
  if (result == kNoSuchTask) result = S_OK;
  return {SUCCEEDED(result), FAILED(result) ? ErrorText(result) : std::wstring()};
}

}  // namespace ombrel::editor
