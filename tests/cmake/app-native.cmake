shadowpane_test(app_core_tests
  SOURCES app/LanguagesTest.cpp app/SettingsTest.cpp app/StartUpRulesTest.cpp support/MemoryKeyValueStore.cpp
  LIBS shadowpane_core)
