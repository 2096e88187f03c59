list(APPEND SHADOWPANE_CORE_SOURCES
  app/Languages.cpp
  app/StringTables.cpp
  app/Settings.cpp
)
list(APPEND SHADOWPANE_WIN32_SOURCES
  app/win32/RegistryStore.cpp
)
