#include "program_folder.h"

namespace ombrel {

std::wstring FolderOfModule(std::wstring_view modulePath) {
  const std::size_t slash = modulePath.rfind(L'\\');
  if (slash == std::wstring_view::npos) return {};
  return std::wstring(modulePath.substr(0, slash));
}

}  // namespace ombrel
