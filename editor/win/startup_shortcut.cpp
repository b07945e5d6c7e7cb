#include "editor/win/startup_shortcut.h"

#include <windows.h>

#include <shlobj.h>
#include <shobjidl.h>

#include "common/list/program_folder.h"
#include "common/win/final_path.h"
#include "common/win/scoped.h"
#include "common/win/win_system.h"

namespace ombrel::editor {

namespace {

constexpr wchar_t kShortcutName[] = L"\\Ombrel.lnk";
constexpr wchar_t kApprovedKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\StartupFolder";

inline HKEY NullKey() { return nullptr; }
using ScopedKey = win::Scoped<HKEY, &::RegCloseKey, &NullKey>;

// FOLDERID_Startup. Written here rather than taken from libuuid, whose one
// object of every GUID Windows knows would add 40 KB to the program.
constexpr KNOWNFOLDERID kStartupFolderId = {
    0xb97d20bb, 0xf46a, 0x4c97, {0xba, 0x10, 0x5e, 0x36, 0x08, 0x43, 0x08, 0x54}};

// The user's Startup folder, or empty when the system cannot say.
std::wstring StartupFolder() {
  PWSTR path = nullptr;
  std::wstring folder;
  if (SUCCEEDED(::SHGetKnownFolderPath(kStartupFolderId, KF_FLAG_CREATE, nullptr, &path))) folder = path;
  ::CoTaskMemFree(path);
  return folder;
}

// The file a shortcut starts, or empty when it is no shortcut.
std::wstring TargetOf(const std::wstring& shortcut) {
  win::ComPtr<IShellLinkW> link;
  if (FAILED(
          ::CoCreateInstance(__uuidof(ShellLink), nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(link.put())))) {
    return {};
  }
  const win::ComPtr<IPersistFile> file = link.As<IPersistFile>();
  if (!file || FAILED(file->Load(shortcut.c_str(), STGM_READ))) return {};
  wchar_t target[MAX_PATH * 4] = {};
  // The path as stored: resolving would search the disk for a moved target.
  if (FAILED(link->GetPath(target, static_cast<int>(std::size(target)), nullptr, SLGP_RAWPATH))) return {};
  return target;
}

// Windows' switch of the shortcut of that file name. A value of another type
// than binary is none Windows wrote, and counts as none.
StartupApproval ApprovalOf(const std::wstring& fileName) {
  DWORD size = 0;
  if (::RegGetValueW(HKEY_CURRENT_USER, kApprovedKey, fileName.c_str(), RRF_RT_REG_BINARY, nullptr, nullptr,
                     &size) != ERROR_SUCCESS) {
    return ReadStartupApproval(std::nullopt);
  }
  std::string bytes(size, '\0');
  if (::RegGetValueW(HKEY_CURRENT_USER, kApprovedKey, fileName.c_str(), RRF_RT_REG_BINARY, nullptr,
                     bytes.data(), &size) != ERROR_SUCCESS) {
    return ReadStartupApproval(std::nullopt);
  }
  bytes.resize(size);
  return ReadStartupApproval(bytes);
}

bool SetApprovedOn(const std::wstring& fileName) {
  HKEY key = nullptr;
  if (::RegCreateKeyExW(HKEY_CURRENT_USER, kApprovedKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
    return false;
  }
  const ScopedKey owned(key);
  return ::RegSetValueExW(key, fileName.c_str(), 0, REG_BINARY,
                          reinterpret_cast<const BYTE*>(kStartupApprovedOn.data()),
                          static_cast<DWORD>(kStartupApprovedOn.size())) == ERROR_SUCCESS;
}

}  // namespace

std::vector<StartupShortcut::Found> StartupShortcut::ShortcutsToLauncher() {
  std::vector<Found> found;
  const std::wstring folder = StartupFolder();
  if (folder.empty()) return found;
  WIN32_FIND_DATAW entry{};
  const win::ScopedFindFile search(::FindFirstFileW((folder + L"\\*.lnk").c_str(), &entry));
  if (!search) return found;
  do {
    const std::wstring shortcut = folder + L"\\" + entry.cFileName;
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
        win::SameFile(TargetOf(shortcut), launcher_)) {
      found.push_back({shortcut, entry.cFileName});
    }
  } while (::FindNextFileW(search.get(), &entry));
  return found;
}

std::vector<StartupApproval> StartupShortcut::Shortcuts() {
  std::vector<StartupApproval> approvals;
  for (const Found& shortcut : ShortcutsToLauncher()) approvals.push_back(ApprovalOf(shortcut.fileName));
  return approvals;
}

std::wstring StartupShortcut::ShortcutPath() { return StartupFolder() + kShortcutName; }

bool StartupShortcut::TurnOn() {
  const std::wstring folder = StartupFolder();
  if (folder.empty()) return false;
  // Never over a shortcut of another program that happens to share the name.
  std::wstring name = kShortcutName + 1;
  for (int n = 2; win::PathExists(folder + L"\\" + name, 0); ++n) {
    name = L"Ombrel (" + std::to_wstring(n) + L").lnk";
  }
  win::ComPtr<IShellLinkW> link;
  if (FAILED(
          ::CoCreateInstance(__uuidof(ShellLink), nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(link.put())))) {
    return false;
  }
  const std::wstring programFolder = FolderOf(launcher_);
  if (FAILED(link->SetPath(launcher_.c_str())) || FAILED(link->SetWorkingDirectory(programFolder.c_str()))) {
    return false;
  }
  const win::ComPtr<IPersistFile> file = link.As<IPersistFile>();
  // A shortcut of this name that the user switched off and then removed
  // leaves its switch behind, and Windows would hold the new one off by it.
  return file && SUCCEEDED(file->Save((folder + L"\\" + name).c_str(), TRUE)) &&
         (ApprovalOf(name) == StartupApproval::kOn || SetApprovedOn(name));
}

bool StartupShortcut::SwitchOn() {
  bool switched = true;
  for (const Found& shortcut : ShortcutsToLauncher()) switched = SetApprovedOn(shortcut.fileName) && switched;
  return switched;
}

bool StartupShortcut::TurnOff() {
  bool removed = true;
  for (const Found& shortcut : ShortcutsToLauncher())
    removed = ::DeleteFileW(shortcut.path.c_str()) && removed;
  return removed;
}

}  // namespace ombrel::editor
