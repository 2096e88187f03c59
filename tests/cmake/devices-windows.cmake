shadowpane_test(devices_win32_tests
  SOURCES devices/win32/Win32ProfileFileTest.cpp devices/win32/WindowPosterTest.cpp
          devices/win32/EndpointHoldersWineTest.cpp devices/win32/MutedEndpointsLockWineTest.cpp
  LIBS shadowpane_win32 shadowpane_test_support)
shadowpane_test(devices_capture_win32_tests
  SOURCES devices/win32/WineCaptureDevice.cpp devices/win32/CaptureServicesWineTest.cpp
          devices/win32/CaptureDevicesWineTest.cpp
  LIBS shadowpane_win32 shadowpane_test_support)
