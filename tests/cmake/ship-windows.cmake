# What ships beside the code: the version information and manifest of the
# built Shadowpane.exe, the compiled help file and the installer.
# Wine reaches the build tree through its Z: drive.
shadowpane_test(ship_tests
  SOURCES app/win32/VersionResourceTest.cpp
  LIBS shadowpane_win32 version)
add_dependencies(ship_tests Shadowpane)
target_compile_definitions(ship_tests PRIVATE
  SHADOWPANE_EXECUTABLE_PATH="Z:$<TARGET_FILE:Shadowpane>")

# The help file beside the executable: every source page, unchanged.
add_test(NAME ship_help_file
  COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/installer/CheckHelpFile.sh ${SHADOWPANE_HELP_FILE}
          ${CMAKE_SOURCE_DIR}/help)

# The installer in a fresh Wine prefix: silent install, the program started
# once, silent uninstalls keeping and then removing the settings.
add_executable(installer_probe installer/InstallerProbe.cpp)
target_link_libraries(installer_probe PRIVATE shell32 ole32 uuid)
shadowpane_warnings(installer_probe)
add_dependencies(installer_probe ShadowpaneInstaller)
add_test(NAME ship_installer
  COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/installer/InstallerTest.sh ${SHADOWPANE_INSTALLER}
          $<TARGET_FILE:installer_probe> $<TARGET_FILE:Shadowpane> ${SHADOWPANE_HELP_FILE})
set_tests_properties(ship_installer PROPERTIES TIMEOUT 600)
