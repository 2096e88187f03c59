shadowpane_test(program_core_tests
  SOURCES program/StartUpRulesTest.cpp program/SettingsMutedEndpointStoreTest.cpp
          program/RecordedInputsGiveBackTest.cpp support/MemoryKeyValueStore.cpp
  LIBS shadowpane_capture_fakes)
