# Each area lists its own sources in cmake/sources/<area>.cmake, appending to
#   SHADOWPANE_CORE_SOURCES  - portable code, no platform headers;
#   SHADOWPANE_WIN32_SOURCES - the Win32 layer (Windows build only);
#   SHADOWPANE_APP_SOURCES   - what only the executable needs (WinMain, .rc).
set(SHADOWPANE_CORE_SOURCES)
set(SHADOWPANE_WIN32_SOURCES)
set(SHADOWPANE_APP_SOURCES)
file(GLOB shadowpane_area_lists ${CMAKE_CURRENT_LIST_DIR}/sources/*.cmake)
list(SORT shadowpane_area_lists)
foreach(area_list IN LISTS shadowpane_area_lists)
  include(${area_list})
endforeach()

# The resource script every Windows image that needs resources links in.
set(SHADOWPANE_RC_SOURCES ${CMAKE_SOURCE_DIR}/res/Shadowpane.rc)
