shadowpane_test(settings_core_tests
  SOURCES settings/LanguagesTest.cpp settings/SettingsTest.cpp
          support/MemoryKeyValueStore.cpp
  LIBS shadowpane_core)
