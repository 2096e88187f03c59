shadowpane_test(commands_core_tests
  SOURCES commands/CommandLineTest.cpp commands/CommandRecordTest.cpp commands/CommandDecisionsTest.cpp
          commands/ShortcutsTest.cpp commands/ShortcutSettingsTest.cpp
  LIBS shadowpane_test_support)
