shadowpane_test(settings_core_tests
  SOURCES settings/LanguagesTest.cpp settings/SettingsTest.cpp settings/ShortcutSettingsTest.cpp
          support/MemoryKeyValueStore.cpp
  LIBS shadowpane_core)
