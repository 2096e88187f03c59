shadowpane_test(program_core_tests
  SOURCES program/StartUpRulesTest.cpp support/MemoryKeyValueStore.cpp
  LIBS shadowpane_core)
