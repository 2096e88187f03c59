# What ships beside the code: the version information and manifest of the
# built Shadowpane.exe, the compiled help file and the installer.
shadowpane_test(ship_version_tests
  SOURCES app/win32/VersionResourceTest.cpp
  LIBS shadowpane_win32 version)
add_dependencies(ship_version_tests Shadowpane)
# Wine reaches the build tree through its Z: drive.
target_compile_definitions(ship_version_tests PRIVATE
  SHADOWPANE_EXECUTABLE_PATH="Z:$<TARGET_FILE:Shadowpane>")
