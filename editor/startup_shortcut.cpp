#include "startup_shortcut.h"

#include <windows.h>

#include <shlobj.h>
#include <shobjidl.h>

#include "scoped.h"

namespace ombrel::editor {

namespace {

constexpr wchar_t kShortcutName[] = L"\\Ombrel.lnk";

// The user's Startup folder, or empty when the system cannot say.
std::wstring StartupFolder() {
  PWSTR path = nullptr;
  std::wstring folder;
  if (SUCCEEDED(::SHGetKnownFolderPath(FOLDERID_Startup, KF_FLAG_CREATE, nullptr, &path))) folder = path;
  ::CoTaskMemFree(path);
  return folder;
}

// The file a shortcut starts, or empty when it is no shortcut.
std::wstring TargetOf(const std::wstring& shortcut) {
  win::ComPtr<IShellLinkW> link;
  if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(link.put())))) {
    return {};
  }
  const win::ComPtr<IPersistFile> file = link.As<IPersistFile>();
  if (!file || FAILED(file->Load(shortcut.c_str(), STGM_READ))) return {};
  wchar_t target[MAX_PATH * 4] = {};
  // The path as stored: resolving would search the disk for a moved target.
  if (FAILED(link->GetPath(target, static_cast<int>(std::size(target)), nullptr, SLGP_RAWPATH))) return {};
  return target;
}

bool SamePath(const std::wstring& a, const std::wstring& b) {
  return ::CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()),
                                TRUE) == CSTR_EQUAL;
}

}  // namespace

std::vector<std::wstring> StartupShortcut::ShortcutsToLauncher() {
  std::vector<std::wstring> found;
  const std::wstring folder = StartupFolder();
  if (folder.empty()) return found;
  WIN32_FIND_DATAW entry{};
  const win::ScopedFindFile search(::FindFirstFileW((folder + L"\\*.lnk").c_str(), &entry));
  if (!search) return found;
  do {
    const std::wstring shortcut = folder + L"\\" + entry.cFileName;
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && SamePath(TargetOf(shortcut), launcher_)) {
      found.push_back(shortcut);
    }
  } while (::FindNextFileW(search.get(), &entry));
  return found;
}

bool StartupShortcut::IsOn() { return !ShortcutsToLauncher().empty(); }

std::wstring StartupShortcut::ShortcutPath() { return StartupFolder() + kShortcutName; }

bool StartupShortcut::TurnOn() {
  const std::wstring folder = StartupFolder();
  if (folder.empty()) return false;
  // Never over a shortcut of another program that happens to share the name.
  std::wstring shortcut = folder + kShortcutName;
  for (int n = 2; ::GetFileAttributesW(shortcut.c_str()) != INVALID_FILE_ATTRIBUTES; ++n) {
    shortcut = folder + L"\\Ombrel (" + std::to_wstring(n) + L").lnk";
  }
  win::ComPtr<IShellLinkW> link;
  if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(link.put())))) {
    return false;
  }
  const std::wstring programFolder = launcher_.substr(0, launcher_.rfind(L'\\'));
  if (FAILED(link->SetPath(launcher_.c_str())) || FAILED(link->SetWorkingDirectory(programFolder.c_str()))) {
    return false;
  }
  const win::ComPtr<IPersistFile> file = link.As<IPersistFile>();
  return file && SUCCEEDED(file->Save(shortcut.c_str(), TRUE));
}

bool StartupShortcut::TurnOff() {
  bool removed = true;
  for (const std::wstring& shortcut : ShortcutsToLauncher())
    removed = ::DeleteFileW(shortcut.c_str()) && removed;
  return removed;
}

}  // namespace ombrel::editor
