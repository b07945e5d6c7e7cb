// The two lists the save-killing test and its save loop agree on: large
// enough that a save takes a while, and different in every line and length.
#pragma once

#include <string>
#include <vector>

namespace ombrel::testing {

inline std::vector<std::wstring> ListOf(const wchar_t* stem, int count) {
  std::vector<std::wstring> list;
  list.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) list.push_back(stem + std::to_wstring(i) + L"\\予定表.ombtest");
  return list;
}

inline std::vector<std::wstring> OldList() { return ListOf(L"C:\\old\\", 6000); }
inline std::vector<std::wstring> NewList() { return ListOf(L"C:\\new\\", 9000); }

}  // namespace ombrel::testing
