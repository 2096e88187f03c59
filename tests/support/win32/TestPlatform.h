// Which system the Windows tests run on: Wine (the test bench here) or
// Windows (the target). A few expectations hold only under Wine, because
// Wine does some things differently (an endpoint's mute kept per object,
// mixer lines per process, exclusive mode always admitted, ...). Each such
// expectation names both answers, OnWine(wineAnswer, windowsAnswer), with a
// one-line comment saying what Windows answers and why; a test that needs
// something only Wine has here skips elsewhere (SKIP_UNLESS_WINE).
//
// Wine is recognised by ntdll's wine_get_version export. The environment
// variable SHADOWPANE_TEST_PLATFORM=windows (or =wine) overrides that, so
// the Windows side of every mark can be run under Wine too, where those
// expectations then fail: the proof that the marks flip.
#pragma once

#include <windows.h>

#include <cstdio>

namespace shadowpane::testing {

constexpr char kTestPlatformVariable[] = "SHADOWPANE_TEST_PLATFORM";
constexpr char kWindowsPlatformName[] = "windows";
constexpr char kWinePlatformName[] = "wine";

enum class TestPlatform { Wine, Windows };

// The platform as the override names it, or else as detected: read afresh
// at every call (RunsOnWine keeps the first answer for the process).
inline TestPlatform DetectTestPlatform() {
  char value[16] = {};
  const DWORD length = GetEnvironmentVariableA(kTestPlatformVariable, value, sizeof(value));
  if (length > 0 && length < sizeof(value)) {
    if (lstrcmpiA(value, kWindowsPlatformName) == 0) return TestPlatform::Windows;
    if (lstrcmpiA(value, kWinePlatformName) == 0) return TestPlatform::Wine;
    std::fprintf(stderr, "%s=%s is neither \"%s\" nor \"%s\": ignored\n", kTestPlatformVariable, value,
                 kWindowsPlatformName, kWinePlatformName);
  }
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  const bool wine = ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
  return wine ? TestPlatform::Wine : TestPlatform::Windows;
}

inline bool RunsOnWine() {
  static const bool wine = DetectTestPlatform() == TestPlatform::Wine;
  return wine;
}

// The answer expected here: Wine's under Wine, Windows' everywhere else.
template <typename T>
T OnWine(const T& wineAnswer, const T& windowsAnswer) {
  return RunsOnWine() ? wineAnswer : windowsAnswer;
}

}  // namespace shadowpane::testing

// For a test whose subject exists only under Wine here (Wine's own null
// capture input, "In: default"): skipped, with the reason, on Windows.
#define SKIP_UNLESS_WINE(why)                     \
  if (!::shadowpane::testing::RunsOnWine()) {     \
    GTEST_SKIP() << "only under Wine: " << (why); \
  }
