shadowpane_test(devices_core_tests
  SOURCES devices/DeviceTextTest.cpp devices/DeviceTest.cpp devices/DeviceListTest.cpp
          devices/ProfileCodecTest.cpp devices/ProfileSaveLoadTest.cpp
          devices/MicrophonePathTest.cpp devices/MicrophoneMatchingTest.cpp
  LIBS shadowpane_test_support)

# A recording fake of the capture-device services, for every native test of
# code that uses cameras, microphones or the device enumerator.
# With it, the fake of the main window's lists that discovery fills.
add_library(shadowpane_capture_fakes STATIC ${CMAKE_CURRENT_SOURCE_DIR}/support/FakeCaptureServices.cpp
            ${CMAKE_CURRENT_SOURCE_DIR}/support/FakeDeviceLists.cpp
            ${CMAKE_CURRENT_SOURCE_DIR}/support/FakeEndpointHolderSystem.cpp)
target_link_libraries(shadowpane_capture_fakes PUBLIC shadowpane_test_support)
shadowpane_warnings(shadowpane_capture_fakes)

shadowpane_test(devices_capture_tests
  SOURCES devices/CameraTest.cpp devices/CameraHoldCheckTest.cpp devices/MicrophoneTest.cpp
          devices/EndpointMuteTest.cpp devices/MicrophoneHandOverTest.cpp devices/SharedRecordTest.cpp devices/MicrophoneTalkTest.cpp
          support/FakeDeviceLists.cpp
  LIBS shadowpane_capture_fakes)
shadowpane_test(devices_capture_stress_tests
  SOURCES devices/MicrophoneStressTest.cpp
  LIBS shadowpane_capture_fakes)
shadowpane_test(discovery_core_tests
  SOURCES devices/DiscoveryTest.cpp devices/DiscoveryRenumberingTest.cpp devices/KeptBlocksTest.cpp
  LIBS shadowpane_capture_fakes)
