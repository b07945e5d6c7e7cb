// The package tests' eyes inside Wine: prints, as UTF-8 lines NAME=VALUE,
// what Windows itself reads of an installed Ombrel.
//
//   package_probe link FILE.lnk   target, arguments and working folder of a
//                                 shortcut, read through IShellLinkW
//   package_probe version FILE    the version block's numbers, its Japanese
//                                 ProductVersion, and the manifest's version
//                                 and requested execution level
//   package_probe values KEY      the values under HKEY_CURRENT_USER\KEY
//                                 (strings as they are, DWORDs in decimal)
//   package_probe task            this user's resume task in the Task
//                                 Scheduler: its name, whether it is enabled,
//                                 and the Ombrel.exe it records as its source
//   package_probe running FILE    whether a process of that program runs
//
// Exits 1 when the thing asked for is not there, 2 on a wrong command line.
#include <objbase.h>
#include <oleauto.h>
#include <psapi.h>
#include <sddl.h>
#include <shlobj.h>
#include <taskschd.h>
#include <windows.h>

#include <string>
#include <vector>

#include "common/startup/resume_task.h"

namespace {

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
  std::string bytes(static_cast<std::size_t>(size), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size, nullptr,
                        nullptr);
  return bytes;
}

void Print(const std::string& name, const std::wstring& value) {
  const std::string line = name + "=" + Utf8(value) + "\n";
  DWORD written = 0;
  ::WriteFile(::GetStdHandle(STD_OUTPUT_HANDLE), line.data(), static_cast<DWORD>(line.size()), &written,
              nullptr);
}

int Link(const wchar_t* path) {
  if (FAILED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
  int status = 1;
  IShellLinkW* link = nullptr;
  if (SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&link)))) {
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
      if (SUCCEEDED(file->Load(path, STGM_READ))) {
        wchar_t text[MAX_PATH * 4] = {};
        if (SUCCEEDED(link->GetPath(text, MAX_PATH * 4, nullptr, 0))) Print("target", text);
        text[0] = L'\0';
        if (SUCCEEDED(link->GetArguments(text, MAX_PATH * 4))) Print("arguments", text);
        text[0] = L'\0';
        if (SUCCEEDED(link->GetWorkingDirectory(text, MAX_PATH * 4))) Print("folder", text);
        status = 0;
      }
      file->Release();
    }
    link->Release();
  }
  ::CoUninitialize();
  return status;
}

int Version(const wchar_t* path) {
  DWORD ignored = 0;
  const DWORD size = ::GetFileVersionInfoSizeW(path, &ignored);
  if (size == 0) return 1;
  std::vector<char> block(size);
  if (!::GetFileVersionInfoW(path, 0, size, block.data())) return 1;
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (::VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) && fixed) {
    const std::wstring numbers = std::to_wstring(HIWORD(fixed->dwFileVersionMS)) + L"." +
                                 std::to_wstring(LOWORD(fixed->dwFileVersionMS)) + L"." +
                                 std::to_wstring(HIWORD(fixed->dwFileVersionLS)) + L"." +
                                 std::to_wstring(LOWORD(fixed->dwFileVersionLS));
    Print("file", numbers);
  }
  wchar_t* product = nullptr;
  if (::VerQueryValueW(block.data(), L"\\StringFileInfo\\041104B0\\ProductVersion",
                       reinterpret_cast<void**>(&product), &length) &&
      product) {
    Print("product", product);
  }

  // The program's own identity is the manifest's first assemblyIdentity.
  HMODULE image = ::LoadLibraryExW(path, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (image) {
    HRSRC found = ::FindResourceW(image, MAKEINTRESOURCEW(1), RT_MANIFEST);
    if (found) {
      const char* data = static_cast<const char*>(::LockResource(::LoadResource(image, found)));
      const std::string manifest(data, ::SizeofResource(image, found));
      const std::size_t identity = manifest.find("<assemblyIdentity");
      const std::size_t start = manifest.find("version=\"", identity);
      if (identity != std::string::npos && start != std::string::npos) {
        const std::size_t end = manifest.find('"', start + 9);
        const std::string version = manifest.substr(start + 9, end - start - 9);
        Print("manifest", std::wstring(version.begin(), version.end()));
      }
      const std::size_t level = manifest.find("level=\"");
      if (level != std::string::npos) {
        const std::size_t end = manifest.find('"', level + 7);
        const std::string value = manifest.substr(level + 7, end - level - 7);
        Print("level", std::wstring(value.begin(), value.end()));
      }
    }
    ::FreeLibrary(image);
  }
  return 0;
}

int Values(const wchar_t* key_name) {
  HKEY key = nullptr;
  if (::RegOpenKeyExW(HKEY_CURRENT_USER, key_name, 0, KEY_READ, &key) != ERROR_SUCCESS) return 1;
  for (DWORD index = 0;; ++index) {
    wchar_t name[256];
    DWORD name_size = 256;
    BYTE data[4096];
    DWORD data_size = sizeof(data) - sizeof(wchar_t);
    DWORD type = 0;
    if (::RegEnumValueW(key, index, name, &name_size, nullptr, &type, data, &data_size) != ERROR_SUCCESS)
      break;
    if (type == REG_SZ || type == REG_EXPAND_SZ) {
      data[data_size] = 0;
      data[data_size + 1] = 0;
      Print(Utf8(name), reinterpret_cast<const wchar_t*>(data));
    } else if (type == REG_DWORD) {
      DWORD value = 0;
      ::memcpy(&value, data, sizeof(value));
      Print(Utf8(name), std::to_wstring(value));
    }
  }
  ::RegCloseKey(key);
  return 0;
}

int Task() {
  HANDLE token = nullptr;
  std::vector<BYTE> user(512);
  DWORD size = 0;
  LPWSTR sid = nullptr;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token) ||
      !::GetTokenInformation(token, TokenUser, user.data(), static_cast<DWORD>(user.size()), &size) ||
      !::ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid, &sid)) {
    return 1;
  }
  ::CloseHandle(token);
  const std::wstring name = ombrel::ResumeTaskName(sid);
  ::LocalFree(sid);
  if (FAILED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
  int status = 1;
  ITaskService* service = nullptr;
  ITaskFolder* root = nullptr;
  IRegisteredTask* task = nullptr;
  ITaskDefinition* definition = nullptr;
  IRegistrationInfo* information = nullptr;
  BSTR rootPath = ::SysAllocString(L"\\");
  BSTR taskName = ::SysAllocString(name.c_str());
  BSTR source = nullptr;
  VARIANT_BOOL enabled = VARIANT_FALSE;
  const VARIANT none{};
  if (SUCCEEDED(::CoCreateInstance(CLSID_TaskScheduler, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskService,
                                   reinterpret_cast<void**>(&service))) &&
      SUCCEEDED(service->Connect(none, none, none, none)) && SUCCEEDED(service->GetFolder(rootPath, &root)) &&
      SUCCEEDED(root->GetTask(taskName, &task)) && SUCCEEDED(task->get_Enabled(&enabled)) &&
      SUCCEEDED(task->get_Definition(&definition)) &&
      SUCCEEDED(definition->get_RegistrationInfo(&information)) &&
      SUCCEEDED(information->get_Source(&source))) {
    Print("name", name);
    Print("enabled", enabled != VARIANT_FALSE ? L"1" : L"0");
    Print("source", source != nullptr ? source : L"");
    status = 0;
  }
  for (IUnknown* object :
       {static_cast<IUnknown*>(information), static_cast<IUnknown*>(definition), static_cast<IUnknown*>(task),
        static_cast<IUnknown*>(root), static_cast<IUnknown*>(service)}) {
    if (object != nullptr) object->Release();
  }
  ::SysFreeString(source);
  ::SysFreeString(taskName);
  ::SysFreeString(rootPath);
  ::CoUninitialize();
  return status;
}

int Running(const wchar_t* path) {
  std::vector<DWORD> ids(4096);
  DWORD bytes = 0;
  if (!::K32EnumProcesses(ids.data(), static_cast<DWORD>(ids.size() * sizeof(DWORD)), &bytes)) return 1;
  for (DWORD i = 0; i < bytes / sizeof(DWORD); ++i) {
    const HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, ids[i]);
    if (process == nullptr) continue;
    wchar_t image[MAX_PATH * 4] = {};
    DWORD length = MAX_PATH * 4;
    const bool same =
        ::QueryFullProcessImageNameW(process, 0, image, &length) && ::lstrcmpiW(image, path) == 0;
    ::CloseHandle(process);
    if (same) return 0;
  }
  return 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 2 && std::wstring(argv[1]) == L"task") return Task();
  if (argc != 3) return 2;
  const std::wstring command = argv[1];
  if (command == L"link") return Link(argv[2]);
  if (command == L"version") return Version(argv[2]);
  if (command == L"values") return Values(argv[2]);
  if (command == L"running") return Running(argv[2]);
  return 2;
}
