// Whether two paths name the same file as Windows compares names: ignoring
// case, in every script.
#pragma once

#include <windows.h>

#include <string>

namespace ombrel::editor {

[[nodiscard]] inline bool SamePath(const std::wstring& a, const std::wstring& b) {
  return ::CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()),
                                TRUE) == CSTR_EQUAL;
}

}  // namespace ombrel::editor
