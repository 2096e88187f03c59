# What ships beside the code: the version information and manifest of the
# built Shadowpane.exe, the compiled help file and the installer.
# Wine reaches the build tree through its Z: drive.
shadowpane_test(ship_tests
  SOURCES settings/win32/VersionResourceTest.cpp
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
target_include_directories(installer_probe PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(installer_probe PRIVATE shadowpane_copy_finder shell32 ole32 uuid)
shadowpane_warnings(installer_probe)
add_dependencies(installer_probe ShadowpaneInstaller)

# The same program packed as an older version, to try a downgrade.
set(older_installer ${CMAKE_CURRENT_BINARY_DIR}/Shadowpane-older-setup.exe)
add_custom_command(
  OUTPUT ${older_installer}
  COMMAND ${SHADOWPANE_MAKENSIS} -V2 -INPUTCHARSET UTF8 -DVERSION=1.9.0.0
          -DEXE_FILE=$<TARGET_FILE:Shadowpane> -DHELP_FILE=${SHADOWPANE_HELP_FILE}
          -DCLOSER_FILE=$<TARGET_FILE:CloseRunningCopies>
          -DOUT_FILE=${older_installer} ${CMAKE_SOURCE_DIR}/installer/Shadowpane.nsi
  DEPENDS ${CMAKE_SOURCE_DIR}/installer/Shadowpane.nsi Shadowpane CloseRunningCopies ShadowpaneHelp
  VERBATIM)
add_custom_target(ShadowpaneOlderInstaller ALL DEPENDS ${older_installer})
add_dependencies(installer_probe ShadowpaneOlderInstaller)

add_test(NAME ship_installer
  COMMAND ${CMAKE_SOURCE_DIR}/cmake/wine-lane.sh ${CMAKE_CURRENT_SOURCE_DIR}/installer/InstallerTest.sh ${SHADOWPANE_INSTALLER}
          $<TARGET_FILE:installer_probe> $<TARGET_FILE:Shadowpane> ${SHADOWPANE_HELP_FILE}
          ${older_installer})
# The longest Windows test: started first, so the other lane fills around it
# (ctest starts costly tests first when it has no timings of a run before).
set_tests_properties(ship_installer PROPERTIES TIMEOUT 600 COST 1000)
# Its own prefix, but its lane's display and HOME (cmake/wine-lane.sh).
shadowpane_wine_session(ship_installer)
