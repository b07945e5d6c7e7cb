#include "common/list/program_folder.h"

#include <cstdint>

namespace ombrel {

std::wstring FolderOf(std::wstring_view path) {
  const std::size_t slash = path.rfind(L'\\');
  if (slash == std::wstring_view::npos) return {};
  return std::wstring(path.substr(0, slash));
}

std::wstring FolderAsPath(std::wstring_view folder) {
  std::wstring path(folder);
  if (path.size() == 2 && path[1] == L':') path += L'\\';
  return path;
}

std::wstring FolderObjectName(std::wstring_view prefix, std::wstring_view upperCaseFolder) {
  // FNV-1a over the UTF-16 code units: stable across runs and builds, which
  // std::hash is not required to be.
  std::uint64_t hash = 0xcbf29ce484222325ULL;
  for (const wchar_t unit : upperCaseFolder) {
    for (const unsigned byte :
         {static_cast<unsigned>(unit) & 0xFFU, (static_cast<unsigned>(unit) >> 8U) & 0xFFU}) {
      hash ^= byte;
      hash *= 0x100000001b3ULL;
    }
  }
  std::wstring name(prefix);
  for (int shift = 60; shift >= 0; shift -= 4) {
    name += L"0123456789ABCDEF"[(hash >> static_cast<unsigned>(shift)) & 0xFU];
  }
  return name;
}

}  // namespace ombrel
