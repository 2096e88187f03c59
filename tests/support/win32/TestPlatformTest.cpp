// Which system the Windows tests believe they run on: Wine is found by
// itself, and the override names either system whatever runs the tests.
#include "tests/support/win32/TestPlatform.h"

#include <gtest/gtest.h>

namespace shadowpane::testing {
namespace {

// Wine's own registry key, which Windows never has: a witness of the
// system that does not go through ntdll.
bool WineKeyExists() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Wine", 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

// Sets the override for the lifetime of the object and puts the earlier
// value (or its absence) back.
class ScopedOverride {
 public:
  explicit ScopedOverride(const char* value) {
    had_ = GetEnvironmentVariableA(kTestPlatformVariable, previous_, sizeof(previous_)) != 0;
    SetEnvironmentVariableA(kTestPlatformVariable, value);
  }
  ~ScopedOverride() { SetEnvironmentVariableA(kTestPlatformVariable, had_ ? previous_ : nullptr); }

 private:
  char previous_[64] = {};
  bool had_ = false;
};

TEST(TestPlatform, TheOverrideNamesTheSystemAndAnythingElseLeavesItToDetection) {
  const TestPlatform found = WineKeyExists() ? TestPlatform::Wine : TestPlatform::Windows;
  const struct {
    const char* value;
    TestPlatform expected;
  } cases[] = {
      {nullptr, found},         {"windows", TestPlatform::Windows}, {"Windows", TestPlatform::Windows},
      {"wine", TestPlatform::Wine}, {"WINE", TestPlatform::Wine},   {"", found},
      {"linux", found},         {"windows-10", found},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value != nullptr ? c.value : "(unset)");
    ScopedOverride scoped(c.value);
    EXPECT_EQ(DetectTestPlatform(), c.expected);
  }
}

}  // namespace
}  // namespace shadowpane::testing
