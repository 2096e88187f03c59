// "In use" only while it can be: records left at a stop of 0 by a crash or
// a power cut, judged against the last boot and the running processes.
#include "usage/RecordLiveness.h"

#include <gtest/gtest.h>

namespace shadowpane {
namespace {

constexpr std::uint64_t kBoot = 133000000000000000ull;
constexpr std::uint64_t kAfterBoot = kBoot + 1000;
constexpr WideChar kZoomPath[] = u"C:\\Apps\\Zoom.exe";

UsageRecord InUse(std::uint64_t start, bool packaged = false, const WideChar* identity = kZoomPath) {
  UsageRecord record;
  record.program = packaged ? u"Camera" : u"Zoom.exe";
  record.identity = identity;
  record.packaged = packaged;
  record.lastStart = start;
  record.inUse = true;
  return record;
}

RunningProcess Opened(const WideChar* path, std::uint64_t started = 0) {
  const WideString full = path;
  return {42, full.substr(full.rfind(u'\\') + 1), true, full, started};
}
RunningProcess Unopened(const WideChar* fileName) { return {43, fileName, false, u"", 0}; }

LivenessFacts Facts(std::uint64_t boot, bool read, std::vector<RunningProcess> processes = {}) {
  return {boot, read, std::move(processes)};
}

TEST(RecordLiveness, ARecordSaysInUseOnlyWhileThatCanBeTrue) {
  UsageRecord ended = InUse(kAfterBoot);
  ended.inUse = false;
  struct Case {
    const char* what;
    UsageRecord record;
    LivenessFacts facts;
    bool inUse;
  } const cases[] = {
      {"an ended use stays ended", ended, Facts(0, true, {Opened(kZoomPath)}), false},
      {"nothing known: believed", InUse(kBoot - 10 * kBootTimeSlack), Facts(0, false), true},
      {"begun before the boot: ended", InUse(kBoot - kBootTimeSlack - 1, true), Facts(kBoot, false), false},
      {"within the boot time's slack: believed", InUse(kBoot - kBootTimeSlack, true), Facts(kBoot, false), true},
      {"begun after the boot, processes unreadable", InUse(kAfterBoot), Facts(kBoot, false), true},
      {"its process runs", InUse(kAfterBoot), Facts(kBoot, true, {Opened(kZoomPath)}), true},
      {"its process runs, path in other case", InUse(kAfterBoot), Facts(kBoot, true, {Opened(u"c:/apps/ZOOM.EXE")}),
       true},
      {"no process of it runs", InUse(kAfterBoot), Facts(kBoot, true, {Opened(u"C:\\Windows\\explorer.exe")}), false},
      {"no process at all", InUse(kAfterBoot), Facts(kBoot, true), false},
      {"same file name in another folder", InUse(kAfterBoot), Facts(kBoot, true, {Opened(u"D:\\Zoom.exe")}), false},
      {"an unopened process of its name may be it", InUse(kAfterBoot), Facts(kBoot, true, {Unopened(u"zoom.exe")}),
       true},
      {"an unopened process of another name is not", InUse(kAfterBoot),
       Facts(kBoot, true, {Unopened(u"csrss.exe")}), false},
      {"its process started after the use began", InUse(kAfterBoot),
       Facts(kBoot, true, {Opened(kZoomPath, kAfterBoot + 1)}), false},
      {"its process started when the use began", InUse(kAfterBoot),
       Facts(kBoot, true, {Opened(kZoomPath, kAfterBoot)}), true},
      {"a bare file name is matched by name", InUse(kAfterBoot, false, u"Zoom.exe"),
       Facts(kBoot, true, {Opened(u"E:\\x\\zoom.exe")}), true},
      {"a packaged program needs no process", InUse(kAfterBoot, true), Facts(kBoot, true), true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MayStillBeInUse(c.record, c.facts), c.inUse) << c.what;
    std::vector<UsageRecord> records = {c.record};
    EndImpossibleUses(records, c.facts);
    EXPECT_EQ(records[0].inUse, c.inUse) << c.what;
  }
}

TEST(RecordLiveness, OnlyADesktopRecordInUseNeedsTheProcesses) {
  UsageRecord ended = InUse(kAfterBoot);
  ended.inUse = false;
  EXPECT_FALSE(NeedsProcesses({ended, InUse(kAfterBoot, true)}));
  EXPECT_TRUE(NeedsProcesses({ended, InUse(kAfterBoot)}));
}

}  // namespace
}  // namespace shadowpane
