// The program folder and the names of the files kept in it.
#pragma once

#include <string>
#include <string_view>

namespace ombrel {

// Appended to the program folder path, which never ends with a backslash, so
// a program in a drive's root gives C:\OMBREL.DAT with one backslash.
inline constexpr wchar_t kEntryListFileName[] = L"\\OMBREL.DAT";
inline constexpr wchar_t kStampFileName[] = L"\\OMBREL.INI";
inline constexpr wchar_t kSettingsFileName[] = L"\\OMBREL.CFG";
// Present only while the team's entries are owed for a day (see team_list.h).
inline constexpr wchar_t kTeamOwedFileName[] = L"\\OMBREL.TEAM";
inline constexpr wchar_t kHelpFileName[] = L"\\help.htm";
inline constexpr wchar_t kLauncherFileName[] = L"\\Ombrel.exe";
inline constexpr wchar_t kEditorFileName[] = L"\\OmbrelSet.exe";
// The editor's argument that opens it with its run record in front, as the
// launcher's notification starts it.
inline constexpr wchar_t kRecordArgument[] = L"/record";

// The folder of a file from its full path, without a trailing backslash:
// "C:\Tools\Ombrel.exe" gives "C:\Tools", "C:\Ombrel.exe" gives "C:". Nothing
// else is changed: no case folding, trimming or resolving.
[[nodiscard]] std::wstring FolderOf(std::wstring_view path);

// The folder as a path that names it on its own: a drive's root gets its
// backslash back ("C:" gives "C:\"), since "C:" alone means the current
// folder of drive C. Every other folder is given back as it is.
[[nodiscard]] std::wstring FolderAsPath(std::wstring_view folder);

// The name of a kernel object that stands for one program folder: `prefix`
// (under "Local\" for one session) and a hash of the folder, since such a name
// may hold no further backslash. The caller upper-cases the folder first:
// Windows paths ignore letter case.
[[nodiscard]] std::wstring FolderObjectName(std::wstring_view prefix, std::wstring_view upperCaseFolder);

// The editor's one instance a program folder. Named apart from the
// launcher's lock, so that an open editor never holds up a launcher.
inline constexpr wchar_t kEditorInstancePrefix[] = L"Local\\OmbrelSet-";

}  // namespace ombrel
