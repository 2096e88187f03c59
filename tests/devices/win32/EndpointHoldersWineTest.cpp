// The machine-wide holders of an endpoint through the real named objects:
// two copies' parts in one process, each over a system object of its own,
// share one endpoint whichever lets go first, and a part that ends without
// letting go (its process died) leaves no claim behind. Names another
// program took first leave the endpoint to it at once; a lock it owns
// holds the interface no longer than the limits.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <thread>

#include "devices/EndpointHolders.h"
#include "devices/win32/Win32EndpointHolders.h"

namespace shadowpane {
namespace {

// Unique per run, so a prefix kept between runs holds no stale objects.
std::u16string TestEndpoint(const char* what) {
  std::u16string id = u"{0.0.1.00000000}.{holders-test-";
  for (const char* c = what; *c != 0; ++c) id += static_cast<char16_t>(*c);
  return id + u"}";
}

struct Copy {
  Win32EndpointHolderSystem system;
  EndpointHolders holders{system};
};

TEST(EndpointHoldersWineTest, TheLastCopyToLetGoGivesBackWhatTheFirstFound) {
  for (bool foundUnmuted : {true, false}) {
    for (bool firstLeavesFirst : {true, false}) {
      SCOPED_TRACE(std::string(foundUnmuted ? "found unmuted" : "found muted") +
                   (firstLeavesFirst ? ", first leaves first" : ", second leaves first"));
      const std::u16string id = TestEndpoint(foundUnmuted ? (firstLeavesFirst ? "a" : "b") : (firstLeavesFirst ? "c" : "d"));
      Copy first;
      Copy second;
      EXPECT_EQ(first.holders.Join(id, [&] { return std::optional<bool>(foundUnmuted); }), foundUnmuted);
      // The second copy finds the endpoint muted by the first: the mark tells.
      EXPECT_EQ(second.holders.Join(id, [&] { return std::optional<bool>(false); }), foundUnmuted);
      std::optional<bool> givenBack;
      const auto giveBack = [&](bool found) {
        givenBack = found;
        return true;
      };
      Copy& leavesFirst = firstLeavesFirst ? first : second;
      Copy& leavesLast = firstLeavesFirst ? second : first;
      EXPECT_EQ(leavesFirst.holders.Leave(id, false, giveBack), LeaveOutcome::LeftToOthers);
      EXPECT_FALSE(givenBack) << "another copy still holds it";
      EXPECT_EQ(leavesLast.holders.Leave(id, false, giveBack), LeaveOutcome::GivenBack);
      EXPECT_EQ(givenBack, std::optional<bool>(foundUnmuted));
    }
  }
}

TEST(EndpointHoldersWineTest, ACopyThatEndsWithoutLettingGoLeavesNoClaim) {
  const std::u16string id = TestEndpoint("ended");
  Copy survivor;
  {
    Copy ended;
    ended.holders.Join(id, [] { return std::optional<bool>(true); });
    Win32EndpointHolderSystem system;
    EXPECT_EQ(system.Lock(id, kLockWaitMs).lock->Holders(), 1);
  }  // its handles close, as the kernel closes a dead process's
  Win32EndpointHolderSystem system;
  EXPECT_EQ(system.Lock(id, kLockWaitMs).lock->Holders(), 0);
  EXPECT_FALSE(system.Lock(id, kLockWaitMs).lock->FoundUnmuted());
  EXPECT_EQ(survivor.holders.Join(id, [] { return std::optional<bool>(true); }), true);
  bool gaveBack = false;
  EXPECT_EQ(survivor.holders.Leave(id, false, [&](bool) { return gaveBack = true; }), LeaveOutcome::GivenBack);
  EXPECT_TRUE(gaveBack);
}

TEST(EndpointHoldersWineTest, EndpointsOfOtherIdsAreApart) {
  EXPECT_NE(EndpointHolderStem(TestEndpoint("x")), EndpointHolderStem(TestEndpoint("y")));
  EXPECT_EQ(EndpointHolderStem(TestEndpoint("x")), EndpointHolderStem(TestEndpoint("x")));
  Copy one;
  one.holders.Join(TestEndpoint("x"), [] { return std::optional<bool>(true); });
  Win32EndpointHolderSystem system;
  EXPECT_EQ(system.Lock(TestEndpoint("y"), kLockWaitMs).lock->Holders(), 0);
  one.holders.Leave(TestEndpoint("x"), false, [](bool) { return true; });
}

std::uint32_t MsSince(std::chrono::steady_clock::time_point start) {
  return static_cast<std::uint32_t>(
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count());
}

// A name taken first, under the lock's name or a claim's: the copy holds
// alone or beside it, never waits, and its leave is left to the other.
// (Another user's lock cannot be played here: Wine grants a wait-only open
// of a mutex whose security refuses everyone, so that case is the fakes'.)
TEST(EndpointHoldersWineTest, NamesTakenFirstLeaveTheEndpointToOthersAtOnce) {
  const struct {
    const char* what;
    std::function<HANDLE(const std::wstring& stem)> take;
  } names[] = {
      {"an event under the lock's name", [](const std::wstring& stem) { return CreateEventW(nullptr, TRUE, FALSE, stem.c_str()); }},
      {"a mutex under a claim's name", [](const std::wstring& stem) { return CreateMutexW(nullptr, FALSE, (stem + L"-0").c_str()); }},
  };
  int row = 0;
  for (const auto& name : names) {
    SCOPED_TRACE(name.what);
    const std::u16string id = TestEndpoint(("taken" + std::to_string(row++)).c_str());
    HANDLE taken = name.take(EndpointHolderStem(id));
    ASSERT_NE(taken, nullptr);
    Copy copy;
    EXPECT_EQ(copy.holders.Join(id, [] { return std::optional<bool>(true); }), true);
    bool gaveBack = false;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(copy.holders.Leave(id, true, [&](bool) { return gaveBack = true; }), LeaveOutcome::LeftToOthers);
    EXPECT_LT(MsSince(start), 100u) << "waited on nothing";
    EXPECT_FALSE(gaveBack);
    CloseHandle(taken);
    bool freed = false;
    for (int tries = 0; tries < 100 && !freed; ++tries) {
      freed = copy.holders.Leave(id, true, [&](bool) { return gaveBack = true; }) == LeaveOutcome::GivenBack;
      if (!freed) Sleep(50);  // the helper's end is its own
    }
    EXPECT_TRUE(freed) << "once the name is free";
    EXPECT_TRUE(gaveBack);
  }
}

// Another program owns the lock of several endpoints: one leave waits at
// most its limit and fails (nothing given back, the claim kept), and the
// session end's leaves together at most theirs.
TEST(EndpointHoldersWineTest, AnOwnedLockHoldsTheInterfaceNoLongerThanTheLimits) {
  constexpr int kEndpoints = 6;
  std::vector<std::u16string> ids;
  Copy copy;
  for (int i = 0; i < kEndpoints; ++i) {
    ids.push_back(TestEndpoint(("owned" + std::to_string(i)).c_str()));
    copy.holders.Join(ids.back(), [] { return std::optional<bool>(true); });
  }
  HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE owned = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  std::thread owner([&] {
    Win32EndpointHolderSystem system;
    std::vector<std::unique_ptr<EndpointHolderLock>> locks;
    for (const std::u16string& id : ids) locks.push_back(system.Lock(id, INFINITE).lock);
    SetEvent(owned);
    WaitForSingleObject(release, INFINITE);
  });
  ASSERT_EQ(WaitForSingleObject(owned, 10000), WAIT_OBJECT_0);
  bool gaveBack = false;
  const auto giveBack = [&](bool) { return gaveBack = true; };
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(copy.holders.Leave(ids[0], true, giveBack), LeaveOutcome::Failed);
  const std::uint32_t oneLeave = MsSince(start);
  EXPECT_GE(oneLeave + 20, kLockWaitMs) << "it did wait for its turn";
  EXPECT_LE(oneLeave, kLockWaitMs + 250);
  EXPECT_EQ(copy.holders.Claimed().size(), static_cast<std::size_t>(kEndpoints)) << "the claim is kept";
  copy.holders.LimitLockWaits(kSessionEndLockWaitMs);
  start = std::chrono::steady_clock::now();
  for (const std::u16string& id : ids) EXPECT_EQ(copy.holders.Leave(id, true, giveBack), LeaveOutcome::Failed);
  const std::uint32_t sessionEnd = MsSince(start);
  EXPECT_LE(sessionEnd, kSessionEndLockWaitMs + 250);
  EXPECT_FALSE(gaveBack);
  std::printf("longest interface wait for one owned lock: %u ms; session end over %d: %u ms\n",
              static_cast<unsigned>(oneLeave), kEndpoints, static_cast<unsigned>(sessionEnd));
  SetEvent(release);
  owner.join();
  CloseHandle(release);
  CloseHandle(owned);
  copy.holders.LimitLockWaits(std::nullopt);
  for (const std::u16string& id : ids) EXPECT_EQ(copy.holders.Leave(id, true, giveBack), LeaveOutcome::GivenBack);
}

}  // namespace
}  // namespace shadowpane
