list(APPEND SHADOWPANE_CORE_SOURCES
  devices/Discovery.cpp
)
