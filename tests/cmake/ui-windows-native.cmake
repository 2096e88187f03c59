shadowpane_test(ui_windows_core_tests
  SOURCES ui/windows/SecondaryWindowDecisionsTest.cpp
  LIBS shadowpane_core)
