// MatchMicrophones: which listed microphone each reported input is, when
// inputs share a name and the system renumbers them.
#include "devices/MicrophoneMatching.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace shadowpane {
namespace {

ListedMicrophone Listed(const std::u16string& name, std::uint32_t number, bool held = false,
                        const std::u16string& deviceInterface = u"") {
  return ListedMicrophone{name, number, deviceInterface, held};
}
ReportedMicrophone Reported(const std::u16string& name, std::optional<std::int32_t> number,
                            const std::u16string& deviceInterface = u"") {
  return ReportedMicrophone{name, number, deviceInterface};
}

struct MatchCase {
  const char* what;
  std::vector<ListedMicrophone> listed;
  std::vector<ReportedMicrophone> reported;
  // Per reported input: the listed index, or -1 for a new object.
  std::vector<int> expectedListed;
  bool expectedRebind;  // the same for every input of the case
  std::vector<bool> expectedHold;
  std::vector<int> expectedStopFirst;
};

TEST(MatchMicrophones, Cases) {
  const std::vector<MatchCase> cases = {
      {"a single input follows its name to a new number",
       {Listed(u"Mic", 0, true)}, {Reported(u"Other", 0), Reported(u"Mic", 1)},
       {-1, 0}, false, {false, false}, {}},
      {"twins that stay keep their objects, whatever the system's order",
       {Listed(u"USB Mic", 0), Listed(u"USB Mic", 1, true)},
       {Reported(u"USB Mic", 1), Reported(u"USB Mic", 0)},
       {1, 0}, false, {false, false}, {}},
      {"twins renumbered while one is held may have been reordered: both kept silenced",
       {Listed(u"USB Mic", 1), Listed(u"USB Mic", 2, true), Listed(u"Other", 0)},
       {Reported(u"USB Mic", 0), Reported(u"USB Mic", 1)},
       {1, 0}, true, {true, true}, {1}},
      {"twins renumbered with none held keep their order",
       {Listed(u"USB Mic", 1), Listed(u"USB Mic", 2), Listed(u"Other", 0)},
       {Reported(u"USB Mic", 0), Reported(u"USB Mic", 1)},
       {0, 1}, false, {false, false}, {}},
      {"one twin unplugged, the other blocked: the survivor stays held",
       {Listed(u"USB Mic", 0), Listed(u"USB Mic", 1, true)}, {Reported(u"USB Mic", 0)},
       {0}, true, {true}, {1}},
      {"one twin unplugged, the first blocked: the survivor is held, bound afresh",
       {Listed(u"USB Mic", 0, true), Listed(u"USB Mic", 1)}, {Reported(u"USB Mic", 0)},
       {0}, true, {true}, {0}},
      {"one twin unplugged, none blocked: bound afresh, nothing held",
       {Listed(u"USB Mic", 0), Listed(u"USB Mic", 1)}, {Reported(u"USB Mic", 0)},
       {0}, true, {false}, {}},
      {"a blocked input joined by a twin ahead of it: both held",
       {Listed(u"USB Mic", 0, true)}, {Reported(u"USB Mic", 0), Reported(u"USB Mic", 1)},
       {0, -1}, true, {true, true}, {0}},
      {"device interfaces tell twins apart: the blocked one keeps its object",
       {Listed(u"USB Mic", 0, false, u"if-a"), Listed(u"USB Mic", 1, true, u"if-b")},
       {Reported(u"USB Mic", 0, u"if-b")},
       {1}, false, {false}, {}},
      {"device interfaces: a new twin is a new object, the known one follows",
       {Listed(u"USB Mic", 0, true, u"if-a")},
       {Reported(u"USB Mic", 0, u"if-c"), Reported(u"USB Mic", 1, u"if-a")},
       {-1, 0}, false, {false, false}, {}},
      {"an interface answered for two inputs identifies neither",
       {Listed(u"USB Mic", 0, true), Listed(u"USB Mic", 1)},
       {Reported(u"USB Mic", 0, u"same"), Reported(u"USB Mic", 1, u"same")},
       {0, 1}, false, {false, false}, {}},
      {"known on one side only: matched by name",
       {Listed(u"Mic", 3, true)}, {Reported(u"Mic", 4, u"if-m")},
       {0}, false, {false}, {}},
      {"nameless inputs are always new",
       {Listed(u"", 0, true)}, {Reported(u"", 0)},
       {-1}, false, {false}, {}},
      {"names are matched exactly",
       {Listed(u"mic", 0, true)}, {Reported(u"Mic", 0)},
       {-1}, false, {false}, {}},
      {"held twins at their old numbers while another input came: both kept silenced",
       {Listed(u"Mic", 0), Listed(u"Mic", 1, true)},
       {Reported(u"Mic", 0), Reported(u"Mic", 1), Reported(u"Cam", 2)},
       {0, 1, -1}, true, {true, true, false}, {1}},
      {"twins at their old numbers while another input came, none held: kept as they are",
       {Listed(u"Mic", 0), Listed(u"Mic", 1)},
       {Reported(u"Mic", 0), Reported(u"Mic", 1), Reported(u"Cam", 2)},
       {0, 1, -1}, false, {false, false, false}, {}},
      {"a twin blocked on an older list than the hardware: which twin it holds is unknown",
       {Listed(u"Mic", 0), ListedMicrophone{u"Mic", 1, u"", true, true}},
       {Reported(u"Mic", 0), Reported(u"Mic", 1)},
       {0, 1}, true, {true, true}, {1}},
      {"an input without a number pairs by name",
       {Listed(u"Mic", 2)}, {Reported(u"Mic", std::nullopt)},
       {0}, false, {false}, {}},
  };
  for (const MatchCase& c : cases) {
    SCOPED_TRACE(c.what);
    const MicrophoneMatching result = MatchMicrophones(c.listed, c.reported);
    ASSERT_EQ(result.reported.size(), c.reported.size());
    for (size_t i = 0; i < c.reported.size(); ++i) {
      SCOPED_TRACE("reported input " + std::to_string(i));
      EXPECT_EQ(result.reported[i].listed, c.expectedListed[i]);
      EXPECT_EQ(result.reported[i].rebind, c.expectedRebind && c.expectedListed[i] >= 0);
      EXPECT_EQ(result.reported[i].hold, c.expectedHold[i]);
    }
    EXPECT_EQ(result.stopFirst, c.expectedStopFirst);
  }
}

TEST(MatchMicrophones, NoListedObjectIsGivenTwice) {
  // Three twins, the middle one unplugged: each survivor gets its own.
  const std::vector<ListedMicrophone> listed = {Listed(u"T", 0), Listed(u"T", 1, true),
                                                Listed(u"T", 2)};
  const std::vector<ReportedMicrophone> reported = {Reported(u"T", 0), Reported(u"T", 1)};
  const MicrophoneMatching result = MatchMicrophones(listed, reported);
  ASSERT_EQ(result.reported.size(), 2u);
  EXPECT_NE(result.reported[0].listed, result.reported[1].listed);
  EXPECT_GE(result.reported[0].listed, 0);
  EXPECT_GE(result.reported[1].listed, 0);
  EXPECT_TRUE(result.reported[0].hold && result.reported[1].hold);
}

struct SavedTwinsCase {
  const char* what;
  std::vector<PresentMicrophone> present;
  std::vector<std::pair<std::u16string, bool>> records;
  std::vector<bool> expected;
};

TEST(HoldForSavedTwins, Cases) {
  const std::vector<SavedTwinsCase> cases = {
      {"twins saved at 0 and 1, the blocked one alone at 0 now",
       {{u"USB Mic", 0}}, {{u"1 USB Mic", true}, {u"0 USB Mic", false}}, {true}},
      {"twins saved and present at the same numbers: the records decide",
       {{u"USB Mic", 0}, {u"USB Mic", 1}}, {{u"1 USB Mic", true}, {u"0 USB Mic", false}},
       {false, false}},
      {"one saved blocked, a twin plugged in ahead of it",
       {{u"USB Mic", 0}, {u"USB Mic", 1}}, {{u"0 USB Mic", true}}, {true, true}},
      {"twins, none saved blocked",
       {{u"USB Mic", 0}}, {{u"1 USB Mic", false}, {u"0 USB Mic", false}}, {false}},
      {"a single input whose number moved is left to its records",
       {{u"Mic", 0}}, {{u"1 Mic", true}}, {false}},
      {"other names and other paths are not touched",
       {{u"Other", 0}, {u"USB Mic", 5}},
       {{u"\\\\?\\usb#cam", true}, {u"3 USB Mic", true}, {u"4 USB Mic", false}},
       {false, true}},
      {"names are compared on their first 200 characters",
       {{std::u16string(250, u'n'), 0}},
       {{u"1 " + std::u16string(200, u'n'), true}, {u"2 " + std::u16string(200, u'n'), true}},
       {true}},
      {"a twin without a number cannot be told apart",
       {{u"USB Mic", std::nullopt}, {u"USB Mic", 1}}, {{u"1 USB Mic", true}, {u"0 USB Mic", false}},
       {true, true}},
  };
  for (const SavedTwinsCase& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(HoldForSavedTwins(c.present, c.records), c.expected);
  }
}

}  // namespace
}  // namespace shadowpane
