# The tests' own platform check: Wine found by itself, and the override
# that makes the Windows side of every marked expectation run under Wine.
shadowpane_test(support_win32_tests
  SOURCES support/win32/TestPlatformTest.cpp)
