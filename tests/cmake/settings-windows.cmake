# The string tables again, built by the cross compiler: its reading of the
# UTF-8 sources is checked as well as the host compiler's.
shadowpane_test(settings_win32_tests
  SOURCES settings/LanguagesTest.cpp settings/win32/MenuTemplatesTest.cpp settings/win32/RegistryStoreTest.cpp
          ${SHADOWPANE_RC_SOURCES}
  LIBS shadowpane_win32)
