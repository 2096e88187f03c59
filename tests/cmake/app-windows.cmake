# The string tables again, built by the cross compiler: its reading of the
# UTF-8 sources is checked as well as the host compiler's.
shadowpane_test(app_win32_tests
  SOURCES app/LanguagesTest.cpp app/win32/MenuTemplatesTest.cpp app/win32/RegistryStoreTest.cpp
          ${SHADOWPANE_RC_SOURCES}
  LIBS shadowpane_win32)
