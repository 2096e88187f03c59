shadowpane_test(program_core_tests
  SOURCES program/StartUpRulesTest.cpp program/SettingsMutedEndpointStoreTest.cpp
          support/MemoryKeyValueStore.cpp
  LIBS shadowpane_core)
