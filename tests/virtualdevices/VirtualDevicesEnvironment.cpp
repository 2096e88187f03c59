// Every test binary that plugs virtual devices starts and ends with none left
// in the prefix: a test that crashed must not leave a device behind that
// would show up in the next run's device lists.
#include <gtest/gtest.h>

#include "tests/virtualdevices/VirtualDeviceRegistry.h"

namespace shadowpane::virtualdevices {
namespace {

class NoLeftoverDevices : public ::testing::Environment {
 public:
  void SetUp() override { RemoveLeftoverVirtualDevices(); }
  void TearDown() override { RemoveLeftoverVirtualDevices(); }
};

const ::testing::Environment* const gEnvironment =
    ::testing::AddGlobalTestEnvironment(new NoLeftoverDevices);

}  // namespace
}  // namespace shadowpane::virtualdevices
