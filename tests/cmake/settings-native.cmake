shadowpane_test(settings_core_tests
  SOURCES settings/LanguagesTest.cpp settings/SettingsTest.cpp
  LIBS shadowpane_test_support)
