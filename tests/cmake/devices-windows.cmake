shadowpane_test(devices_win32_tests
  SOURCES devices/win32/Win32ProfileFileTest.cpp devices/win32/WindowPosterTest.cpp
          devices/win32/EndpointHoldersWineTest.cpp devices/win32/MutedEndpointsLockWineTest.cpp
  LIBS shadowpane_win32 shadowpane_test_support)
# Wine's own capture devices through the program's services, for the tests
# and the capture benchmark.
add_library(shadowpane_wine_capture_device STATIC devices/win32/WineCaptureDevice.cpp)
target_include_directories(shadowpane_wine_capture_device PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(shadowpane_wine_capture_device PUBLIC shadowpane_win32)
shadowpane_warnings(shadowpane_wine_capture_device)

shadowpane_test(devices_capture_win32_tests
  SOURCES devices/win32/CaptureServicesWineTest.cpp devices/win32/CaptureDevicesWineTest.cpp
  LIBS shadowpane_wine_capture_device shadowpane_test_support)
