# The installer's portable rule: which running programs it ends.
shadowpane_test(installer_core_tests
  SOURCES installer/RunningCopiesTest.cpp
  LIBS shadowpane_core)
