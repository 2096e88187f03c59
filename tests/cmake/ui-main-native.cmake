shadowpane_test(ui_main_core_tests
  SOURCES ui/main/AwayLogicTest.cpp ui/main/MainWindowDecisionsTest.cpp ui/main/ShortcutActionsTest.cpp ui/main/MainWindowAccessibilityTest.cpp
          ui/main/MicrophoneRiskTest.cpp ui/main/PushToTalkLogicTest.cpp ui/main/IndicatorDecisionsTest.cpp
  LIBS shadowpane_capture_fakes)
