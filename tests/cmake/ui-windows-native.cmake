shadowpane_test(ui_windows_core_tests
  SOURCES ui/windows/SecondaryWindowDecisionsTest.cpp ui/windows/ShortcutsWindowLogicTest.cpp
          ui/windows/DpiLayoutTest.cpp ui/windows/RecentUseWindowLogicTest.cpp
  LIBS shadowpane_core)
