// The file menu's "ログオン時に Ombrel を実行(&L)": a shortcut to the
// Ombrel.exe beside the editor in the user's Startup folder, the same one the
// installer's check box makes, and a check mark that tells which; and
// "ロック解除・復帰時にも実行(&U)", the Task Scheduler's task.
#include <windows.h>

#include <objbase.h>
#include <oleauto.h>
#include <sddl.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <taskschd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>

#include "common/startup/resume_task.h"
#include "common/startup/startup_approval.h"
#include "editor_fixture.h"
#include "version.h"

namespace ombrel {
namespace {

using namespace std::chrono_literals;
using testing::IsBox;
using testing::RunningEditor;
using testing::WaitUntil;
using testing::gui::App;

std::wstring StartupFolder() {
  PWSTR path = nullptr;
  std::wstring folder;
  if (SUCCEEDED(::SHGetKnownFolderPath(FOLDERID_Startup, KF_FLAG_CREATE, nullptr, &path))) folder = path;
  ::CoTaskMemFree(path);
  return folder;
}

struct Shortcut {
  std::wstring file;
  std::wstring target;
  std::wstring workingFolder;
};

// Every shortcut in the Startup folder, read the way Windows reads them.
std::vector<Shortcut> StartupShortcuts() {
  std::vector<Shortcut> found;
  const std::wstring folder = StartupFolder();
  WIN32_FIND_DATAW entry{};
  const win::ScopedFindFile search(::FindFirstFileW((folder + L"\\*.lnk").c_str(), &entry));
  if (!search) return found;
  do {
    Shortcut shortcut{folder + L"\\" + entry.cFileName, {}, {}};
    win::ComPtr<IShellLinkW> link;
    if (FAILED(
            ::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(link.put())))) {
      continue;
    }
    const win::ComPtr<IPersistFile> file = link.As<IPersistFile>();
    wchar_t text[MAX_PATH * 2] = {};
    if (file && SUCCEEDED(file->Load(shortcut.file.c_str(), STGM_READ)) &&
        SUCCEEDED(link->GetPath(text, MAX_PATH * 2, nullptr, SLGP_RAWPATH))) {
      shortcut.target = text;
      if (SUCCEEDED(link->GetWorkingDirectory(text, MAX_PATH * 2))) shortcut.workingFolder = text;
    }
    found.push_back(shortcut);
  } while (::FindNextFileW(search.get(), &entry));
  return found;
}

std::vector<Shortcut> ShortcutsTo(const std::wstring& launcher) {
  std::vector<Shortcut> to;
  for (const Shortcut& shortcut : StartupShortcuts()) {
    if (::lstrcmpiW(shortcut.target.c_str(), launcher.c_str()) == 0) to.push_back(shortcut);
  }
  return to;
}

// The file menu as it looks dropped down: its pixels and width. Menus of
// another process cannot be read under Wine; what they show can.
struct MenuPicture {
  std::vector<std::uint32_t> pixels;
  int width = 0;
};

MenuPicture FileMenu(const App& app) {
  MenuPicture picture;
  if (!app.Menu("alt+f")) return picture;
  const testing::gui::Window menu = app.WaitForMenu();
  if (!menu.Exists()) return picture;
  const testing::gui::Rect where = menu.ScreenRect();
  picture = {testing::gui::CaptureWhenDrawn(where), where.width};
  testing::gui::PressKeys(app.Main(), "Escape Escape");
  WaitUntil([&] { return !menu.Exists(); });
  return picture;
}

// Where two pictures of the same menu differ: a check mark appears or goes
// in the column left of the captions, next to one item only.
::testing::AssertionResult DifferInTheCheckColumnOnly(const MenuPicture& off, const MenuPicture& on) {
  if (off.pixels.empty() || off.pixels.size() != on.pixels.size() || off.width != on.width) {
    return ::testing::AssertionFailure() << "no pictures of one size";
  }
  int changed = 0;
  int top = 1 << 30;
  int bottom = -1;
  for (std::size_t i = 0; i < off.pixels.size(); ++i) {
    if (off.pixels[i] == on.pixels[i]) continue;
    const int x = static_cast<int>(i) % off.width;
    const int y = static_cast<int>(i) / off.width;
    if (x > 24) return ::testing::AssertionFailure() << "a change beyond the check column at x " << x;
    ++changed;
    top = std::min(top, y);
    bottom = std::max(bottom, y);
  }
  if (changed < 5) return ::testing::AssertionFailure() << "no check mark: " << changed << " pixels";
  if (bottom - top > 20) return ::testing::AssertionFailure() << "changes over " << bottom - top << " rows";
  return ::testing::AssertionSuccess();
}

struct SeenTask {
  std::wstring source;
  bool enabled = false;
};

// The Task Scheduler's root folder, and the name of this user's resume task
// in it.
win::ComPtr<ITaskFolder> TaskRoot() {
  win::ComPtr<ITaskService> service;
  win::ComPtr<ITaskFolder> root;
  const VARIANT none{};
  BSTR rootPath = ::SysAllocString(L"\\");
  if (SUCCEEDED(::CoCreateInstance(CLSID_TaskScheduler, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_PPV_ARGS(service.put()))) &&
      SUCCEEDED(service->Connect(none, none, none, none))) {
    service->GetFolder(rootPath, root.put());
  }
  ::SysFreeString(rootPath);
  return root;
}

std::wstring ResumeTaskNameOfThisUser() {
  HANDLE token = nullptr;
  ::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token);
  const win::ScopedHandle ownedToken(token);
  std::vector<BYTE> user(512);
  DWORD size = 0;
  LPWSTR sid = nullptr;
  if (!::GetTokenInformation(token, TokenUser, user.data(), static_cast<DWORD>(user.size()), &size) ||
      !::ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid, &sid)) {
    return {};
  }
  const std::wstring name = ResumeTaskName(sid);
  ::LocalFree(sid);
  return name;
}

// This user's resume task as any program reads it: Wine keeps a task's
// source, but drops its action, and lists no tasks.
std::optional<SeenTask> ResumeTaskSeen() {
  const win::ComPtr<ITaskFolder> root = TaskRoot();
  BSTR name = ::SysAllocString(ResumeTaskNameOfThisUser().c_str());
  win::ComPtr<IRegisteredTask> task;
  win::ComPtr<ITaskDefinition> definition;
  win::ComPtr<IRegistrationInfo> information;
  BSTR source = nullptr;
  VARIANT_BOOL enabled = VARIANT_FALSE;
  std::optional<SeenTask> seen;
  if (root && SUCCEEDED(root->GetTask(name, task.put())) && SUCCEEDED(task->get_Enabled(&enabled)) &&
      SUCCEEDED(task->get_Definition(definition.put())) &&
      SUCCEEDED(definition->get_RegistrationInfo(information.put())) &&
      SUCCEEDED(information->get_Source(&source))) {
    seen = SeenTask{source != nullptr ? source : L"", enabled != VARIANT_FALSE};
  }
  ::SysFreeString(source);
  ::SysFreeString(name);
  return seen;
}

// What a run cut short may have left, which would turn the item's choice
// into a question.
void RemoveResumeTask() {
  const win::ComPtr<ITaskFolder> root = TaskRoot();
  BSTR name = ::SysAllocString(ResumeTaskNameOfThisUser().c_str());
  if (root) root->DeleteTask(name, 0);
  ::SysFreeString(name);
}

bool ResumeTaskRuns(const std::wstring& launcher) {
  const std::optional<SeenTask> task = ResumeTaskSeen();
  return task && task->enabled && ::lstrcmpiW(task->source.c_str(), launcher.c_str()) == 0;
}

constexpr wchar_t kApprovedKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\StartupFolder";

// Windows' Startup switch of a shortcut as its Startup tab leaves it; nothing
// when there is none.
std::optional<std::string> ApprovalValue(const std::wstring& shortcutName) {
  std::string bytes(64, '\0');
  DWORD size = static_cast<DWORD>(bytes.size());
  if (::RegGetValueW(HKEY_CURRENT_USER, kApprovedKey, shortcutName.c_str(), RRF_RT_REG_BINARY, nullptr,
                     bytes.data(), &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  bytes.resize(size);
  return bytes;
}

// The editor of `folder`, started again, shows the menu as `on`; choosing the
// item with `keys` undoes what it did (`undone` holds) and shows it as `off`.
void ExpectShownAfterARestartAndUndone(const std::wstring& folder, const std::string& keys,
                                       const MenuPicture& on, const MenuPicture& off,
                                       const std::function<bool()>& undone) {
  const App again(folder + L"\\OmbrelSet.exe", testing::kEditorWindowClass);
  ASSERT_TRUE(again.Started());
  EXPECT_EQ(FileMenu(again).pixels, on.pixels);
  ASSERT_TRUE(again.Menu(keys));
  EXPECT_TRUE(WaitUntil(undone));
  EXPECT_EQ(FileMenu(again).pixels, off.pixels);
  ASSERT_TRUE(again.Menu("alt+f e"));
  EXPECT_EQ(again.WaitForExit(), 0U);
}

class LogOnMenuTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))); }
  void TearDown() override { ::CoUninitialize(); }
};

TEST_F(LogOnMenuTest, ChosenMakesTheShortcutChosenAgainRemovesItAndTheInstallersCounts) {
  std::optional<RunningEditor> editor(std::in_place, std::string("a\r\n"));
  ASSERT_TRUE(editor->Started());
  const std::wstring folder = editor->folder().path();
  const std::wstring launcher = folder + L"\\Ombrel.exe";
  ASSERT_TRUE(testing::CopyProgram(L"Ombrel.exe", folder));
  ASSERT_TRUE(ShortcutsTo(launcher).empty());
  const MenuPicture off = FileMenu(editor->app());

  ASSERT_TRUE(editor->app().Menu("alt+f l"));
  ASSERT_TRUE(WaitUntil([&] { return ShortcutsTo(launcher).size() == 1; }));
  EXPECT_EQ(ShortcutsTo(launcher).front().workingFolder, folder);
  EXPECT_EQ(ShortcutsTo(launcher).front().file, StartupFolder() + L"\\Ombrel.lnk");
  const MenuPicture on = FileMenu(editor->app());
  EXPECT_TRUE(DifferInTheCheckColumnOnly(off, on));

  // A restarted editor shows the state; choosing again removes the shortcut,
  // and the list was never touched.
  ASSERT_TRUE(editor->app().Menu("alt+f e"));
  ASSERT_EQ(editor->app().WaitForExit(), 0U);
  ExpectShownAfterARestartAndUndone(folder, "alt+f l", on, off,
                                    [&] { return ShortcutsTo(launcher).empty(); });
  EXPECT_EQ(editor->DatBytes(), "a\r\n");

  // The installer's shortcut, made by its check box, shows as checked too.
  const testing::TempFolder installed;
  const std::wstring setup =
      testing::BinDir() + L"\\..\\packages\\OmbrelSetup-" + FromUtf8(OMBREL_VERSION_TEXT) + L".exe";
  ASSERT_EQ(testing::RunAndWait(L"\"" + setup + L"\" /S /RESUME=0 /D=" + installed.path(), 60s), 0U);
  const std::wstring installedLauncher = installed / L"Ombrel.exe";
  ASSERT_EQ(ShortcutsTo(installedLauncher).size(), 1U);
  {
    const App fromInstaller(installed / L"OmbrelSet.exe", testing::kEditorWindowClass);
    ASSERT_TRUE(fromInstaller.Started());
    EXPECT_EQ(FileMenu(fromInstaller).pixels, on.pixels);
    ASSERT_TRUE(fromInstaller.Menu("alt+f l"));
    EXPECT_TRUE(WaitUntil([&] { return ShortcutsTo(installedLauncher).empty(); }));
    ASSERT_TRUE(fromInstaller.Menu("alt+f e"));
    EXPECT_EQ(fromInstaller.WaitForExit(), 0U);
  }
  EXPECT_EQ(
      testing::RunAndWait(L"\"" + (installed / L"Uninstall.exe") + L"\" /S _?=" + installed.path(), 60s), 0U);
}

// Switched off in Windows' Startup tab, the shortcut starts nothing: the item
// shows so, and choosing it switches the shortcut on again rather than
// removing it.
TEST_F(LogOnMenuTest, AShortcutSwitchedOffInWindowsShowsUncheckedAndIsSwitchedOnAgain) {
  RunningEditor editor(std::string("a\r\n"));
  ASSERT_TRUE(editor.Started());
  const std::wstring launcher = editor.folder() / L"Ombrel.exe";
  ASSERT_TRUE(testing::CopyProgram(L"Ombrel.exe", editor.folder().path()));
  ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kApprovedKey, L"Ombrel.lnk");
  const MenuPicture off = FileMenu(editor.app());
  ASSERT_TRUE(editor.app().Menu("alt+f l"));
  ASSERT_TRUE(WaitUntil([&] { return ShortcutsTo(launcher).size() == 1; }));
  const MenuPicture on = FileMenu(editor.app());

  const std::string switchedOff("\x03\0\0\0\x10\x32\x54\x76\x98\xBA\xDC\x01", 12);
  ASSERT_EQ(::RegSetKeyValueW(HKEY_CURRENT_USER, kApprovedKey, L"Ombrel.lnk", REG_BINARY, switchedOff.data(),
                              static_cast<DWORD>(switchedOff.size())),
            ERROR_SUCCESS);
  EXPECT_EQ(FileMenu(editor.app()).pixels, off.pixels);
  ASSERT_TRUE(editor.app().Menu("alt+f l"));
  EXPECT_TRUE(WaitUntil([&] { return ApprovalValue(L"Ombrel.lnk") == std::string(kStartupApprovedOn); }));
  EXPECT_EQ(ShortcutsTo(launcher).size(), 1U);
  EXPECT_EQ(FileMenu(editor.app()).pixels, on.pixels);

  ASSERT_TRUE(editor.app().Menu("alt+f l"));
  EXPECT_TRUE(WaitUntil([&] { return ShortcutsTo(launcher).empty(); }));
  ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kApprovedKey, L"Ombrel.lnk");
  ASSERT_TRUE(editor.app().Menu("alt+f e"));
  EXPECT_EQ(editor.app().WaitForExit(), 0U);
}

// The task is registered for the Ombrel.exe beside the editor, found by the
// Task Scheduler, shown after a restart, and removed by choosing the item
// again. Wine neither fires its triggers nor keeps them: those are the XML's
// unit table's.
TEST_F(LogOnMenuTest, ResumeItemRegistersTheTaskShownAfterARestartAndChosenAgainRemovesIt) {
  std::optional<RunningEditor> editor(std::in_place, std::string("a\r\n"));
  ASSERT_TRUE(editor->Started());
  const std::wstring folder = editor->folder().path();
  const std::wstring launcher = folder + L"\\Ombrel.exe";
  ASSERT_TRUE(testing::CopyProgram(L"Ombrel.exe", folder));
  RemoveResumeTask();
  const MenuPicture off = FileMenu(editor->app());

  ASSERT_TRUE(editor->app().Menu("alt+f u"));
  ASSERT_TRUE(WaitUntil([&] { return ResumeTaskRuns(launcher); }));
  const MenuPicture on = FileMenu(editor->app());
  EXPECT_TRUE(DifferInTheCheckColumnOnly(off, on));
  ASSERT_TRUE(editor->app().Menu("alt+f e"));
  ASSERT_EQ(editor->app().WaitForExit(), 0U);
  ExpectShownAfterARestartAndUndone(folder, "alt+f u", on, off, [] { return !ResumeTaskSeen(); });
  EXPECT_EQ(editor->DatBytes(), "a\r\n");
}

TEST_F(LogOnMenuTest, AStartupFolderThatCannotBeWrittenWarnsAndChangesNothing) {
  RunningEditor editor(std::string("a\r\n"));
  ASSERT_TRUE(editor.Started());
  ASSERT_TRUE(testing::CopyProgram(L"Ombrel.exe", editor.folder().path()));
  const std::wstring startup = StartupFolder();
  const std::size_t before = StartupShortcuts().size();
  {
    const testing::ImmutablePath readOnly(startup);
    ASSERT_TRUE(readOnly.applied());
    ASSERT_TRUE(editor.app().Menu("alt+f l"));
    const testing::gui::MessageBoxWindow box = editor.app().WaitForMessageBox();
    EXPECT_TRUE(IsBox(box, startup + L"\\Ombrel.lnk" + L"を作成できませんでした。",
                      testing::gui::Icon::kExclamation, {IDOK}));
    box.Answer(IDOK);
    EXPECT_TRUE(testing::StaysOpenQuietly(editor.app()));
  }
  EXPECT_EQ(StartupShortcuts().size(), before);
  // Nothing else changed: leaving asks nothing and the list is as it was.
  ASSERT_TRUE(editor.app().Menu("alt+f e"));
  EXPECT_EQ(editor.app().WaitForExit(), 0U);
  EXPECT_EQ(editor.DatBytes(), "a\r\n");
}

}  // namespace
}  // namespace ombrel
