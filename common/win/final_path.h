// Paths as the file system knows them, whichever way they were reached: a
// short 8.3 name, a second drive letter, a link.
#pragma once

#include <windows.h>

#include <string>

namespace ombrel::win {

// The final path of an existing file or folder, links followed, in the form
// `flags` asks for (GetFinalPathNameByHandleW: VOLUME_NAME_DOS gives
// "\\?\C:\...", VOLUME_NAME_NT the volume's device name). Empty when the
// system cannot tell, as for a path that does not exist.
[[nodiscard]] std::wstring FinalPath(const std::wstring& path, DWORD flags);

// One name for a folder however it was reached, for naming the kernel objects
// that stand for it: its final path with the volume's device name rather than
// a drive letter, which a folder may have several of, or the path as given
// when that cannot be had; upper case, as Windows paths ignore letter case.
[[nodiscard]] std::wstring FolderIdentity(const std::wstring& folder);

// Whether two paths name the same file as Windows tells files apart: by their
// final paths when both exist (an 8.3 name, another drive letter, a link), by
// their full paths otherwise; letter case ignored in every script.
[[nodiscard]] bool SameFile(const std::wstring& a, const std::wstring& b);

}  // namespace ombrel::win
