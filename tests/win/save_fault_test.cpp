// The list survives a save that is cut short: killed at any moment, or
// meeting a full disk. OMBREL.DAT always holds the old list or the new one,
// byte for byte, never a mix and never nothing. And a save keeps what the
// file is: a link, its attributes.
#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <random>
#include <thread>

#include "common/list/entry_list.h"
#include "common/win/scoped.h"
#include "common/win/win_system.h"
#include "editor_fixture.h"
#include "tools/save_lists.h"

namespace ombrel {
namespace {

using namespace std::chrono_literals;
using testing::WaitUntil;

std::string Encoded(const std::vector<std::wstring>& list) {
  win::WinSystem system;
  return EncodeEntryList(system, list);
}

// The kills are timed from the saves the loop reports, never from its start,
// which a loaded machine may take longer for than for many saves.
TEST(SaveKilledTest, AtRandomMomentsTheListIsTheOldOrTheNewNeverAMix) {
  const testing::TempFolder folder;
  const std::wstring path = folder / L"OMBREL.DAT";
  const std::string oldBytes = Encoded(testing::OldList());
  const std::string newBytes = Encoded(testing::NewList());
  testing::WriteBytes(path, oldBytes);
  const std::wstring name = L"Local\\OmbrelSaveLoop-" + std::to_wstring(::GetCurrentProcessId());
  const win::ScopedHandle saved(::CreateSemaphoreW(nullptr, 0, LONG_MAX, name.c_str()));
  ASSERT_TRUE(saved);
  const auto waitForSave = [&] { return ::WaitForSingleObject(saved.get(), 60000) == WAIT_OBJECT_0; };

  std::mt19937 random(20261207);
  std::uniform_real_distribution<double> moment(0.0, 2.0);
  int sawOld = 0;
  int sawNew = 0;
  for (int kill = 0; kill < 220; ++kill) {
    const testing::Process saver =
        testing::StartProcess(L"\"" + testing::BinPath(L"save_loop.exe") + L"\" " + name + L" " + path);
    ASSERT_TRUE(saver) << "save_loop.exe did not start: " << ::GetLastError();
    // The old list saved, then the new one: the time between them is what one
    // save takes on the machine as loaded now. The kill falls anywhere in the
    // two saves that follow, the old list's and the new one's.
    ASSERT_TRUE(waitForSave());
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(waitForSave());
    std::this_thread::sleep_for((std::chrono::steady_clock::now() - start) * moment(random));
    ::TerminateProcess(saver.process.get(), 9);
    ASSERT_TRUE(saver.WaitForExit(10s).has_value());
    while (::WaitForSingleObject(saved.get(), 0) == WAIT_OBJECT_0) {
    }
    const std::optional<std::string> now = testing::ReadBytes(path);
    ASSERT_TRUE(now.has_value()) << "the list is missing after kill " << kill;
    ASSERT_TRUE(*now == oldBytes || *now == newBytes)
        << "after kill " << kill << " the list is neither: " << now->size() << " bytes";
    (*now == oldBytes ? sawOld : sawNew) += 1;
  }
  // The kills landed on both sides of a save, so both outcomes were seen.
  EXPECT_GT(sawOld, 10);
  EXPECT_GT(sawNew, 10);
}

TEST(SaveKilledTest, TheEditorKilledWhileItSavesLeavesTheOldListOrTheNew) {
  const std::string oldBytes = Encoded(testing::OldList());
  std::vector<std::wstring> grown = testing::OldList();
  std::mt19937 random(7);
  std::uniform_int_distribution<int> delay(0, 250);
  for (int kill = 0; kill < 12; ++kill) {
    testing::RunningEditor editor(oldBytes);
    ASSERT_TRUE(editor.Started());
    ASSERT_TRUE(editor.Append(L"追加" + std::to_wstring(kill)));
    grown = testing::OldList();
    grown.push_back(L"追加" + std::to_wstring(kill));
    ASSERT_TRUE(editor.app().Menu("alt+f s"));
    std::this_thread::sleep_for(std::chrono::milliseconds(delay(random)));
    editor.app().Kill();
    const std::optional<std::string> now = editor.DatBytes();
    ASSERT_TRUE(now.has_value()) << kill;
    EXPECT_TRUE(*now == oldBytes || *now == Encoded(grown)) << kill << ": " << now->size() << " bytes";
  }
}

struct KeptCase {
  const char* name;
  // Makes OMBREL.DAT (holding the old list) what the user made it; false when
  // the host refused.
  bool (*prepare)(const testing::TempFolder& folder);
  SaveStatus status;
  // What must hold of the folder afterwards.
  bool (*kept)(const testing::TempFolder& folder);
};

DWORD AttributesOf(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()); }

// Wine 8 keeps these two of the attributes a save carries over; it drops
// "not content indexed" whoever sets it.
constexpr DWORD kHiddenSystem = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

// A save keeps what the file is. Each case ends with nothing of the save's
// own left beside the list.
TEST(SaveKeepsTheFileTest, LinksAttributesAndLeftOvers) {
  const KeptCase cases[] = {
      {"symbolic_link_into_a_synced_folder",
       [](const testing::TempFolder& f) {
         ::CreateDirectoryW((f / L"synced").c_str(), nullptr);
         ::MoveFileW((f / L"OMBREL.DAT").c_str(), (f / L"synced\\OMBREL.DAT").c_str());
         return testing::RunHost("ln -s synced/OMBREL.DAT '" + testing::HostPath(f / L"OMBREL.DAT") + "'");
       },
       SaveStatus::kSaved,
       [](const testing::TempFolder& f) {
         return testing::RunHost("test -L '" + testing::HostPath(f / L"OMBREL.DAT") + "'") &&
                testing::ReadBytes(f / L"synced\\OMBREL.DAT") == "new\r\n";
       }},
      {"hidden_system",
       [](const testing::TempFolder& f) {
         return ::SetFileAttributesW((f / L"OMBREL.DAT").c_str(), kHiddenSystem) != 0;
       },
       SaveStatus::kSaved,
       [](const testing::TempFolder& f) {
         return (AttributesOf(f / L"OMBREL.DAT") & kHiddenSystem) == kHiddenSystem;
       }},
      {"read_only",
       [](const testing::TempFolder& f) {
         return ::SetFileAttributesW((f / L"OMBREL.DAT").c_str(), FILE_ATTRIBUTE_READONLY) != 0;
       },
       SaveStatus::kReadOnly,
       [](const testing::TempFolder& f) {
         const bool kept = (AttributesOf(f / L"OMBREL.DAT") & FILE_ATTRIBUTE_READONLY) != 0 &&
                           testing::ReadBytes(f / L"OMBREL.DAT") == "old\r\n";
         ::SetFileAttributesW((f / L"OMBREL.DAT").c_str(), FILE_ATTRIBUTE_NORMAL);
         return kept;
       }},
      // Windows refuses to write over a read-only or hidden file; Wine, for
      // root, only over one the host made immutable.
      {"stale_read_only_hidden_dot_new",
       [](const testing::TempFolder& f) {
         testing::WriteBytes(f / L"OMBREL.DAT.new", "stale\r\n");
         return ::SetFileAttributesW((f / L"OMBREL.DAT.new").c_str(),
                                     FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN) != 0 &&
                testing::RunHost("chattr +i '" + testing::HostPath(f / L"OMBREL.DAT.new") + "'");
       },
       SaveStatus::kSaved,
       [](const testing::TempFolder& f) {
         // Not ours: left as it was.
         const bool kept = testing::ReadBytes(f / L"OMBREL.DAT.new") == "stale\r\n";
         testing::RunHost("chattr -i '" + testing::HostPath(f / L"OMBREL.DAT.new") + "'");
         ::SetFileAttributesW((f / L"OMBREL.DAT.new").c_str(), FILE_ATTRIBUTE_NORMAL);
         return kept;
       }},
  };
  for (const KeptCase& c : cases) {
    SCOPED_TRACE(c.name);
    const testing::TempFolder folder;
    win::WinSystem system;
    ASSERT_TRUE(WriteEntryList(system, folder / L"OMBREL.DAT", {L"old"}));
    ASSERT_TRUE(c.prepare(folder));
    EXPECT_EQ(WriteEntryList(system, folder / L"OMBREL.DAT", {L"new"}).status, c.status);
    if (c.status == SaveStatus::kSaved) {
      EXPECT_EQ(testing::ReadBytes(folder / L"OMBREL.DAT"), "new\r\n");
    }
    EXPECT_TRUE(c.kept(folder));
    for (const std::wstring& beside : {folder / L"OMBREL.DAT.*.tmp", folder / L"synced\\OMBREL.DAT.*.tmp"}) {
      EXPECT_TRUE(system.FindFiles(beside).empty());
    }
  }
}

// A file system of its own, as small as a full disk, mounted on the host and
// reached as drive T:.
class FullDisk {
 public:
  explicit FullDisk(const testing::TempFolder& under) : mount_(testing::HostPath(under / L"disk")) {
    const std::string drive = testing::HostPath(L"C:\\") + "../dosdevices/t:";
    mounted_ = testing::RunHost("mkdir -p '" + mount_ + "' && mount -t tmpfs -o size=1m tmpfs '" + mount_ +
                                "' && ln -sfn '" + mount_ + "' '" + drive + "'");
    drive_ = drive;
  }
  FullDisk(const FullDisk&) = delete;
  FullDisk& operator=(const FullDisk&) = delete;
  ~FullDisk() {
    if (mounted_) testing::RunHost("rm -f '" + drive_ + "'; umount '" + mount_ + "'");
  }
  [[nodiscard]] bool mounted() const { return mounted_; }

 private:
  std::string mount_;
  std::string drive_;
  bool mounted_ = false;
};

TEST(FullDiskTest, ASaveThatFillsTheDiskWarnsAndKeepsTheOldList) {
  const testing::TempFolder host;
  const FullDisk disk(host);
  if (!disk.mounted()) GTEST_SKIP() << "this machine does not let the test mount a file system";
  const std::wstring folder = L"T:\\Ombrel";
  ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
  ASSERT_TRUE(testing::CopyProgram(L"OmbrelSet.exe", folder));
  const std::string oldBytes = Encoded(testing::OldList());
  testing::WriteBytes(folder + L"\\OMBREL.DAT", oldBytes);
  // What is left of the disk holds the old list once more, not a longer one.
  ULARGE_INTEGER free{};
  ASSERT_TRUE(::GetDiskFreeSpaceExW(L"T:\\", &free, nullptr, nullptr));
  ASSERT_GT(free.QuadPart, oldBytes.size() + 4096);
  testing::WriteBytes(folder + L"\\filler", std::string(free.QuadPart - oldBytes.size() - 4096, 'f'));

  const testing::gui::App editor(folder + L"\\OmbrelSet.exe", testing::kEditorWindowClass);
  ASSERT_TRUE(editor.Started());
  editor.SetText(IDC_TEXT1, std::wstring(20000, L'長'));
  editor.Click(IDC_COMMAND6);
  const testing::gui::Window list = editor.Control(IDC_LIST1);
  ASSERT_TRUE(WaitUntil(
      [&] { return list.Send(LB_GETCOUNT) == static_cast<LRESULT>(testing::OldList().size() + 1); }));
  ASSERT_TRUE(editor.Menu("alt+f s"));
  const testing::gui::MessageBoxWindow box = editor.WaitForMessageBox();
  EXPECT_TRUE(testing::IsBox(box, folder + L"\\OMBREL.DATを保存できませんでした。",
                             testing::gui::Icon::kExclamation, {IDOK}));
  box.Answer(IDOK);
  EXPECT_TRUE(testing::StaysOpenQuietly(editor));
  EXPECT_EQ(testing::ReadBytes(folder + L"\\OMBREL.DAT"), oldBytes);
  EXPECT_FALSE(testing::ReadBytes(folder + L"\\OMBREL.DAT.new").has_value());
  editor.Kill();
}

}  // namespace
}  // namespace ombrel
