# The secondary windows on real windows under Wine, driven from inside their
# modal loops.
shadowpane_test(ui_windows_win32_tests
  SOURCES ui/windows/win32/LoopScript.cpp ui/windows/win32/WindowShellTest.cpp
          ui/windows/win32/SettingsWindowTest.cpp ui/windows/win32/LanguageAboutWindowTest.cpp
          ui/toolkit/win32/ToolkitTestHost.cpp ${SHADOWPANE_RC_SOURCES}
  LIBS shadowpane_win32)
