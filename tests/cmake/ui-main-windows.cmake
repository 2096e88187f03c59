# Discovery through the main window's own lists and timer, on Wine's devices.
shadowpane_test(ui_main_win32_tests
  SOURCES ui/main/win32/DiscoveryIntegrationTest.cpp
  LIBS shadowpane_win32 shadowpane_test_support)
