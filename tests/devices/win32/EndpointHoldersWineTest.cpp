// The machine-wide holders of an endpoint through the real named objects:
// two copies' parts in one process, each over a system object of its own,
// share one endpoint whichever lets go first, and a part that ends without
// letting go (its process died) leaves no claim behind.
#include <gtest/gtest.h>

#include <optional>
#include <string>

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
      int reads = 0;
      EXPECT_EQ(first.holders.Join(id, [&] { ++reads; return std::optional<bool>(foundUnmuted); }), foundUnmuted);
      // The second copy finds the endpoint muted by the first: the mark tells.
      EXPECT_EQ(second.holders.Join(id, [&] { ++reads; return std::optional<bool>(false); }), foundUnmuted);
      EXPECT_EQ(reads, 1);
      std::optional<bool> givenBack;
      const auto giveBack = [&](bool found) {
        givenBack = found;
        return true;
      };
      Copy& leavesFirst = firstLeavesFirst ? first : second;
      Copy& leavesLast = firstLeavesFirst ? second : first;
      EXPECT_TRUE(leavesFirst.holders.Leave(id, false, giveBack));
      EXPECT_FALSE(givenBack) << "another copy still holds it";
      EXPECT_TRUE(leavesLast.holders.Leave(id, false, giveBack));
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
    EXPECT_EQ(system.Lock(id)->Holders(), 1);
  }  // its handles close, as the kernel closes a dead process's
  Win32EndpointHolderSystem system;
  EXPECT_EQ(system.Lock(id)->Holders(), 0);
  EXPECT_FALSE(system.Lock(id)->FoundUnmuted());
  EXPECT_EQ(survivor.holders.Join(id, [] { return std::optional<bool>(true); }), true);
  bool gaveBack = false;
  EXPECT_TRUE(survivor.holders.Leave(id, false, [&](bool) { return gaveBack = true; }));
  EXPECT_TRUE(gaveBack);
}

TEST(EndpointHoldersWineTest, EndpointsOfOtherIdsAreApart) {
  EXPECT_NE(EndpointHolderStem(TestEndpoint("x")), EndpointHolderStem(TestEndpoint("y")));
  EXPECT_EQ(EndpointHolderStem(TestEndpoint("x")), EndpointHolderStem(TestEndpoint("x")));
  Copy one;
  one.holders.Join(TestEndpoint("x"), [] { return std::optional<bool>(true); });
  Win32EndpointHolderSystem system;
  EXPECT_EQ(system.Lock(TestEndpoint("y"))->Holders(), 0);
  one.holders.Leave(TestEndpoint("x"), false, [](bool) { return true; });
}

}  // namespace
}  // namespace shadowpane
