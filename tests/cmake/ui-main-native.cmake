shadowpane_test(ui_main_core_tests
  SOURCES ui/main/MainWindowDecisionsTest.cpp ui/main/ShortcutActionsTest.cpp
  LIBS shadowpane_capture_fakes)
