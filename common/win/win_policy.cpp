#include "common/win/win_policy.h"

#include <cstring>
#include <string>
#include <vector>

#include "common/list/utf8.h"
#include "common/win/scoped.h"

namespace ombrel::win {

namespace {

using OpenKeyFn = LSTATUS(WINAPI*)(HKEY, LPCWSTR, DWORD, REGSAM, PHKEY);

// Room for a long list of dates at the first try; a longer value is asked
// again with the size Windows gives.
constexpr DWORD kFirstTryBytes = 1024;

}  // namespace

WinPolicy::~WinPolicy() {
  for (const HKEY key : keys_) {
    if (key != nullptr) closeKey_(key);
  }
}

void WinPolicy::Open() {
  opened_ = true;
  // Never freed: asked once a run, and loaded from the system folder alone.
  const HMODULE advapi = LoadSystemLibrary(L"advapi32.dll");
  const auto openKey = GetProc<OpenKeyFn>(advapi, "RegOpenKeyExW");
  getValue_ = GetProc<GetValueFn>(advapi, "RegGetValueW");
  closeKey_ = GetProc<CloseKeyFn>(advapi, "RegCloseKey");
  if (openKey == nullptr || getValue_ == nullptr || closeKey_ == nullptr) return;
  const std::array<HKEY, 2> hives = {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER};
  for (std::size_t i = 0; i < hives.size(); ++i) {
    HKEY key = nullptr;
    if (openKey(hives[i], kPolicyKeyPath, 0, KEY_QUERY_VALUE, &key) == ERROR_SUCCESS) keys_[i] = key;
  }
}

PolicyValue WinPolicy::Read(PolicyHive hive, std::string_view name) {
  if (!opened_) Open();
  const HKEY key = keys_[hive == PolicyHive::kMachine ? 0 : 1];
  if (key == nullptr) return {};
  const std::wstring valueName = FromUtf8(name);
  std::vector<BYTE> data(kFirstTryBytes);
  DWORD type = 0;
  DWORD size = static_cast<DWORD>(data.size());
  // No expansion: an REG_EXPAND_SZ is of no type a setting takes.
  constexpr DWORD kFlags = RRF_RT_ANY | RRF_NOEXPAND;
  LSTATUS status = getValue_(key, nullptr, valueName.c_str(), kFlags, &type, data.data(), &size);
  if (status == ERROR_MORE_DATA) {
    data.resize(size);
    status = getValue_(key, nullptr, valueName.c_str(), kFlags, &type, data.data(), &size);
  }
  if (status == ERROR_FILE_NOT_FOUND) return {};
  if (status != ERROR_SUCCESS) return {PolicyValue::Type::kOther, {}, 0};
  if (type == REG_DWORD && size == sizeof(DWORD)) {
    DWORD number = 0;
    std::memcpy(&number, data.data(), sizeof number);
    return {PolicyValue::Type::kNumber, {}, number};
  }
  if (type == REG_SZ) {
    // RegGetValueW ends the text with a null, counted in `size`.
    std::wstring text(size / sizeof(wchar_t), L'\0');
    std::memcpy(text.data(), data.data(), text.size() * sizeof(wchar_t));
    text.resize(text.find(L'\0') == std::wstring::npos ? text.size() : text.find(L'\0'));
    return {PolicyValue::Type::kText, std::move(text), 0};
  }
  return {PolicyValue::Type::kOther, {}, 0};
}

}  // namespace ombrel::win
