// The pause, the gaps and the network wait, over a fake clock: every wait is
// counted, none is slept.
#include "common/schedule/pacing.h"

#include <gtest/gtest.h>

#include <map>

#include "fakes.h"

namespace ombrel {
namespace {

using namespace std::chrono_literals;
using testing::FakeClock;
using testing::FakeNetwork;
using Times = std::vector<std::chrono::milliseconds>;

TEST(IsOnNetworkTest, UncPathsAndNetworkDrivesOnly) {
  FakeNetwork network;
  network.networkDrives = {L'Z'};
  const std::pair<const wchar_t*, bool> cases[] = {
      {L"\\\\srv\\share\\a.exe", true},
      {L"//srv/share/a.exe", true},
      {L"\\\\?\\UNC\\srv\\share\\a.exe", true},
      {L"\\\\?\\unc\\srv\\share\\a.exe", true},
      {L"Z:\\tools\\a.exe", true},
      {L"z:a.exe", true},
      {L"\\\\?\\Z:\\tools\\a.exe", true},
      {L"\\\\.\\Z:\\tools\\a.exe", true},
      {L"C:\\tools\\a.exe", false},
      {L"\\\\?\\C:\\tools\\a.exe", false},
      {L"\\\\?\\Volume{0b1e}\\a.exe", false},
      {L"\\tools\\a.exe", false},
      {L"tools\\a.exe", false},
      {L"a.exe", false},
      {L"\\\\", false},
  };
  for (const auto& [path, onNetwork] : cases) {
    EXPECT_EQ(IsOnNetwork(path, network), onNetwork) << testing::FakeSystem::Narrow(path);
  }
}

struct PacingCase {
  const char* name;
  int pause, gap, wait;  // seconds
  std::vector<std::wstring> entries;
  std::map<std::wstring, std::chrono::milliseconds> answersFrom;
  Times opensAt;  // the clock as each entry opens
};

// A share that answers after 3.2 s, one that never does, a network drive and
// a local one.
const std::wstring kShare = L"\\\\srv\\share\\a.exe";
const std::wstring kDead = L"\\\\dead\\share\\a.exe";
const std::wstring kMapped = L"Z:\\b.exe";
constexpr std::chrono::milliseconds kNever = std::chrono::hours(1);
const std::wstring kTooLong(kLongestEntryToOpen + 1, L'x');

TEST(EntryPacingTest, ThePauseTheGapsBetweenEntriesThatReachWindowsAndTheNetworkWait) {
  const PacingCase cases[] = {
      {"nothing set", 0, 0, 0, {L"a.exe", kShare, L"b.exe"}, {{kShare, kNever}}, {0ms, 0ms, 0ms}},
      {"pause before the first", 30, 0, 0, {L"a.exe", L"b.exe"}, {}, {30s, 30s}},
      {"gap between two", 0, 2, 0, {L"a.exe", L"b.exe", L"c.exe"}, {}, {0s, 2s, 4s}},
      // Neither a blank entry nor one too long reaches Windows: no gap for
      // them, and the next entry keeps one gap after the last that did.
      {"skipped entries take no gap",
       0,
       2,
       0,
       {L"", L"a.exe", L" ", kTooLong, L"b.exe"},
       {},
       {0s, 0s, 0s, 0s, 2s}},
      {"pause and gap", 5, 3, 0, {L"a.exe", L"b.exe"}, {}, {5s, 8s}},
      {"share answering in time", 0, 0, 10, {kShare, L"b.exe"}, {{kShare, 3200ms}}, {3500ms, 3500ms}},
      {"share never answering", 0, 0, 5, {kDead, L"b.exe"}, {{kDead, kNever}}, {5s, 5s}},
      {"network drive", 0, 0, 10, {kMapped}, {{kMapped, 1s}}, {1s}},
      {"local path never waits", 0, 0, 10, {L"C:\\a.exe"}, {{L"C:\\a.exe", kNever}}, {0s}},
      {"no wait set", 0, 0, 0, {kDead}, {{kDead, kNever}}, {0s}},
      // The gap comes first, then the wait adds what is left of it.
      {"gap then wait", 0, 2, 10, {L"a.exe", kShare}, {{kShare, 3200ms}}, {0s, 3500ms}},
  };
  for (const PacingCase& c : cases) {
    SCOPED_TRACE(c.name);
    FakeClock clock;
    FakeNetwork network(&clock);
    network.networkDrives = {L'Z'};
    network.answersFrom = c.answersFrom;
    Settings settings;
    ASSERT_TRUE(settings.Set(Setting::kPauseSeconds, c.pause));
    ASSERT_TRUE(settings.Set(Setting::kGapSeconds, c.gap));
    ASSERT_TRUE(settings.Set(Setting::kNetworkWaitSeconds, c.wait));
    EntryPacing pacing(clock, network, settings);
    ASSERT_TRUE(pacing.Pause());
    // Each step is bounded, and its bound leaves Windows the whole allowance
    // beyond what the settings made it wait.
    ASSERT_EQ(clock.bounds.size(), 1U);
    EXPECT_GE(clock.bounds.back(), clock.now + kStepAllowance);
    Times opensAt;
    for (const std::wstring& entry : c.entries) {
      const std::chrono::milliseconds before = clock.now;
      ASSERT_TRUE(pacing.BeforeEntry(entry));
      opensAt.push_back(clock.now);
      ASSERT_EQ(clock.bounds.size(), opensAt.size() + 1);
      EXPECT_GE(clock.bounds.back(), clock.now - before + kStepAllowance);
    }
    EXPECT_EQ(opensAt, c.opensAt);
    if (c.wait == 0) {
      EXPECT_TRUE(network.asked.empty());
    }
  }
}

TEST(EntryPacingTest, AProgramEndingWhileItWaitsStopsTheRun) {
  Settings settings;
  ASSERT_TRUE(settings.Set(Setting::kPauseSeconds, 10));
  ASSERT_TRUE(settings.Set(Setting::kGapSeconds, 10));
  ASSERT_TRUE(settings.Set(Setting::kNetworkWaitSeconds, 10));
  for (const std::chrono::milliseconds endsAt : {5s, 15s, 25s}) {
    FakeClock clock;
    clock.endsAt = endsAt;
    FakeNetwork network(&clock);
    network.answersFrom = {{kDead, kNever}};
    EntryPacing pacing(clock, network, settings);
    // The pause ends at 10 s, the gap at 20 s, the wait would at 30 s.
    const bool paused = pacing.Pause();
    const bool first = paused && pacing.BeforeEntry(L"a.exe");
    const bool second = first && pacing.BeforeEntry(kDead);
    EXPECT_EQ(paused, endsAt > 10s) << endsAt.count();
    EXPECT_EQ(first, endsAt > 10s) << endsAt.count();
    EXPECT_FALSE(second) << endsAt.count();
    EXPECT_EQ(clock.now, endsAt);
  }
  // Ending while the network is asked (the editor's window closed meanwhile).
  FakeClock clock;
  FakeNetwork network(&clock);
  network.ending = true;
  EntryPacing pacing(clock, network, settings);
  EXPECT_FALSE(pacing.BeforeEntry(kDead));
  EXPECT_TRUE(clock.sleeps.empty());
}

}  // namespace
}  // namespace ombrel
