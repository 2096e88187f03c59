shadowpane_test(discovery_core_tests
  SOURCES devices/DiscoveryTest.cpp support/FakeDeviceLists.cpp
  LIBS shadowpane_capture_fakes)
