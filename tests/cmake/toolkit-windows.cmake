shadowpane_test(toolkit_win32_tests
  SOURCES ui/toolkit/win32/ToolkitTestHost.cpp ui/toolkit/win32/ToolkitCommonTest.cpp
          ui/toolkit/win32/ButtonControlTest.cpp ui/toolkit/win32/ChoiceLabelTest.cpp
          ui/toolkit/win32/MessageBoxTest.cpp ${SHADOWPANE_RC_SOURCES}
  LIBS shadowpane_win32)
