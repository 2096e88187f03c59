shadowpane_test(controls_win32_tests
  SOURCES ui/toolkit/win32/EditControlTest.cpp ui/toolkit/win32/MenuControlTest.cpp
          ui/toolkit/win32/ToolkitTestHost.cpp
  LIBS shadowpane_win32)
shadowpane_test(controls_skin_tests
  SOURCES ui/toolkit/win32/SkinResourcesTest.cpp ${SHADOWPANE_RC_SOURCES}
  LIBS shadowpane_win32)
