list(APPEND SHADOWPANE_CORE_SOURCES
  devices/Discovery.cpp
)
list(APPEND SHADOWPANE_WIN32_SOURCES
  devices/win32/DiscoveryWindowTarget.cpp
)
