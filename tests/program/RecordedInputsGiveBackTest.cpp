// /restore-inputs once it may act: it gives back what no copy holds, keeps
// on the record (and keeps the logon entry for) what another session's
// copy still holds, and writes nothing to the Run key but the entry's
// removal once the record is empty.
#include "program/RecordedInputsGiveBack.h"

#include <gtest/gtest.h>

#include <optional>

#include "program/SettingsMutedEndpointStore.h"
#include "settings/Settings.h"
#include "tests/support/FakeCaptureServices.h"
#include "tests/support/FakeEndpointHolderSystem.h"
#include "tests/support/MemoryKeyValueStore.h"

namespace shadowpane {
namespace {

using testing::FakeCaptureServices;
using testing::MemoryKeyValueStore;
using testing::MemoryValue;

const std::u16string kHeld = u"{0.0.1.00000000}.{held}";
const std::u16string kLeft = u"{0.0.1.00000000}.{left}";

TEST(RecordedInputsGiveBack, KeepsWhatAnotherCopyHoldsAndItsEntry) {
  FakeCaptureServices services;
  testing::FakeEndpointHolderSystem machine;
  MemoryKeyValueStore store;
  const std::u16string entry = u"\"C:\\Apps\\Shadowpane.exe\" /restore-inputs";
  store.settings.values[kMutedEndpointsValue] = MemoryValue{StoredType::Other, 0, kHeld + u";" + kLeft};
  store.userRun.values[kRestoreInputsValue] = MemoryValue{StoredType::Other, 0, entry};
  services.SetEndpointMuted(kHeld, true);
  services.SetEndpointMuted(kLeft, true);
  auto otherSession = std::make_unique<EndpointHolders>(machine);
  ASSERT_EQ(otherSession->Join(kHeld, [] { return std::optional<bool>(true); }), std::optional<bool>(true));

  EndpointHolders restore(machine);
  EXPECT_EQ(GiveBackRecordedInputs(store, nullptr, services, &restore), 0u) << "nothing left muted unheld";
  EXPECT_FALSE(services.EndpointMuted(kLeft));
  EXPECT_TRUE(services.EndpointMuted(kHeld));
  EXPECT_EQ(store.settings.values[kMutedEndpointsValue].text, kHeld) << "the holding copy's entry stays";
  EXPECT_EQ(store.userRun.values[kRestoreInputsValue].text, entry);
  EXPECT_EQ(store.userRun.changeCalls, 0) << "run from the Run key, it writes nothing there";

  otherSession.reset();  // that copy ended without giving back (a crash)
  EXPECT_EQ(GiveBackRecordedInputs(store, nullptr, services, &restore), 0u);
  EXPECT_FALSE(services.EndpointMuted(kHeld));
  EXPECT_EQ(store.settings.values.count(kMutedEndpointsValue), 0u);
  EXPECT_EQ(store.userRun.values.count(kRestoreInputsValue), 0u) << "an empty record takes the entry with it";
  EXPECT_EQ(store.userRun.changeCalls, 1);
}

}  // namespace
}  // namespace shadowpane
