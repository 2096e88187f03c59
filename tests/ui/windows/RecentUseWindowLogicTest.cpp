// The "Recent use" list as a screen reader reads it: the list named by the
// window's title, each entry by its program with the time, the device and
// the result in its value, newest first, in the window's language.
#include "ui/windows/RecentUseWindowLogic.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace shadowpane {
namespace {

UsageEvent Event(const char16_t* program, UsageKind kind, const char16_t* device, bool turnedAway) {
  UsageEvent event;
  event.program = program;
  event.kind = kind;
  event.device = device;
  event.turnedAway = turnedAway;
  return event;
}

TEST(RecentUseWindowLogic, TheListIsNamedByTheTitleAndEachEntryReadsItsProgramTimeDeviceAndResult) {
  RecentUseLog log;
  log.Add(Event(u"peeker.exe", UsageKind::Camera, u"POC Virtual Camera", true));  // the oldest
  log.Add(Event(u"talker.exe", UsageKind::Microphone, u"", false));               // named only the kind
  log.Add(Event(u"late.exe", UsageKind::Camera, u"Cam", false));                   // no time formatted
  const std::vector<WideString> times = {u"01/02/2024 10:15", u"01/02/2024 10:20"};
  const struct {
    int language;
    int child;
    const char16_t* name;
    const char16_t* value;
  } cases[] = {
      {0, kAccessibleSelf, u"Recent use", u""},
      {1, kAccessibleSelf, u"Letzte Verwendung", u""},
      {0, 1, u"late.exe", u"Cam, Allowed"},  // newest first; an empty time leaves no gap
      {0, 2, u"talker.exe", u"01/02/2024 10:20, a microphone, Allowed"},
      {0, 3, u"peeker.exe", u"01/02/2024 10:15, POC Virtual Camera, Turned away"},
      {1, 3, u"peeker.exe", u"01/02/2024 10:15, POC Virtual Camera, Abgewiesen"},
      {2, 2, u"talker.exe", u"01/02/2024 10:20, un micrófono, Permitido"},
      {3, 3, u"peeker.exe", u"01/02/2024 10:15, POC Virtual Camera, Respinto"},
      {0, 4, u"kept", u"kept"},  // past the rows: untouched
  };
  for (const auto& c : cases) {
    const std::vector<RecentUseRow> rows = RecentUseRows(log, times, c.language);
    AccessibleDescription d;
    d.child = c.child;
    d.name = u"kept";
    d.value = u"kept";
    DescribeRecentUseList(rows, c.language, d);
    const std::string where = std::to_string(c.language) + "/" + std::to_string(c.child);
    EXPECT_EQ(d.name, c.name) << where;
    if (c.child != kAccessibleSelf) {
      EXPECT_EQ(d.value, c.value) << where;
    }
  }
}

}  // namespace
}  // namespace shadowpane
