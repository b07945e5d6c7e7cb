#include "program_folder.h"

namespace ombrel {

std::wstring FolderOfModule(std::wstring_view modulePath) {
  const std::size_t slash = modulePath.rfind(L'\\');
  if (slash == std::wstring_view::npos) return {};
  return std::wstring(modulePath.substr(0, slash));
}

std::wstring FolderAsPath(std::wstring_view folder) {
  std::wstring path(folder);
  if (path.size() == 2 && path[1] == L':') path += L'\\';
  return path;
}

}  // namespace ombrel
