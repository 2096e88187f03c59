shadowpane_test(program_core_tests
  SOURCES program/StartUpRulesTest.cpp program/SettingsMutedEndpointStoreTest.cpp
  LIBS shadowpane_test_support)
