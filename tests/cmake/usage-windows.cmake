shadowpane_test(usage_win32_tests
  SOURCES usage/win32/RegistryUsageSourceWineTest.cpp usage/win32/Win32RecentUseFileTest.cpp
          usage/win32/Win32AudioSessionSourceWineTest.cpp
  LIBS shadowpane_win32 shadowpane_test_support)
