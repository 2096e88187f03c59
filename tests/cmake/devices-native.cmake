shadowpane_test(devices_core_tests
  SOURCES devices/DeviceTextTest.cpp devices/DeviceTest.cpp devices/DeviceListTest.cpp
          devices/ProfileCodecTest.cpp devices/ProfileSaveLoadTest.cpp
  LIBS shadowpane_test_support)
