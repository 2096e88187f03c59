shadowpane_test(discovery_win32_tests
  SOURCES devices/win32/DiscoveryIntegrationTest.cpp
  LIBS shadowpane_win32 shadowpane_test_support)
