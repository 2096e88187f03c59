# Shadowpane.exe as a whole, driven from a separate test process with the
# test-only virtual devices. It sits beside the devices' DLL and helper and
# plugs them into its lane's prefix, which it has to itself; it copies the
# built program into temporary folders, so it needs the program built first.
add_library(shadowpane_e2e_driver STATIC e2e/ProgramDriver.cpp e2e/ShortcutKeys.cpp e2e/FakeTray.cpp
            e2e/AccessibilityProbe.cpp)
target_include_directories(shadowpane_e2e_driver PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(shadowpane_e2e_driver PUBLIC shadowpane_win32 shadowpane_test_support)
shadowpane_warnings(shadowpane_e2e_driver)

shadowpane_test(e2e_program_tests
  SOURCES e2e/ProgramEndToEndTest.cpp
  LIBS shadowpane_e2e_driver shadowpane_virtualdevices_environment)
set_target_properties(e2e_program_tests PROPERTIES
  RUNTIME_OUTPUT_DIRECTORY ${SHADOWPANE_VIRTUALDEVICES_DIR})
add_dependencies(e2e_program_tests Shadowpane shadowpane_virtualdevices shadowpane_capture_helper)

# The scripts' test-only companion: plugs the virtual devices into the
# prefix and looks at a running copy from outside. Beside the devices' DLL,
# which it registers by its own folder.
add_executable(shadowpane_e2e_tool e2e/ProgramToolMain.cpp)
target_link_libraries(shadowpane_e2e_tool PRIVATE shadowpane_e2e_driver shadowpane_window_image
                      shadowpane_virtualdevices_support)
set_target_properties(shadowpane_e2e_tool PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${SHADOWPANE_VIRTUALDEVICES_DIR})
add_dependencies(shadowpane_e2e_tool shadowpane_virtualdevices)
shadowpane_warnings(shadowpane_e2e_tool)

# The keyboard shortcuts pressed from this process and the command lines run
# from it, with a notification area of the test's own that records what the
# program asks it to show.
shadowpane_test(e2e_outside_command_tests
  SOURCES e2e/OutsideCommandsEndToEndTest.cpp
  LIBS shadowpane_e2e_driver shadowpane_virtualdevices_environment)
set_target_properties(e2e_outside_command_tests PROPERTIES
  RUNTIME_OUTPUT_DIRECTORY ${SHADOWPANE_VIRTUALDEVICES_DIR})
add_dependencies(e2e_outside_command_tests Shadowpane shadowpane_virtualdevices shadowpane_capture_helper)

# The real program at 150 % and 200 %: the test sets the prefix's display
# scale for the copies it starts, so it needs the prefix to itself (as every
# Windows test has its lane's).
shadowpane_test(e2e_display_scale_tests
  SOURCES e2e/DisplayScaleEndToEndTest.cpp
  LIBS shadowpane_e2e_driver)
set_target_properties(e2e_display_scale_tests PROPERTIES
  RUNTIME_OUTPUT_DIRECTORY ${SHADOWPANE_VIRTUALDEVICES_DIR})
add_dependencies(e2e_display_scale_tests Shadowpane)
# Who uses a device: usage records written into the prefix's registry, the
# real program naming the program, the balloon of an attempt against the
# blocked virtual camera, the Recent use window and its file.
shadowpane_test(e2e_usage_tests
  SOURCES e2e/UsageEndToEndTest.cpp
  LIBS shadowpane_e2e_driver shadowpane_virtualdevices_environment)
set_target_properties(e2e_usage_tests PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${SHADOWPANE_VIRTUALDEVICES_DIR})
add_dependencies(e2e_usage_tests Shadowpane shadowpane_virtualdevices shadowpane_capture_helper)
# The keyboard and screen readers: keys through the system's input, the
# accessible objects and WinEvents read from this process.
shadowpane_test(e2e_accessibility_tests
  SOURCES e2e/AccessibilityEndToEndTest.cpp
  LIBS shadowpane_e2e_driver shadowpane_virtualdevices_environment)
set_target_properties(e2e_accessibility_tests PROPERTIES
  RUNTIME_OUTPUT_DIRECTORY ${SHADOWPANE_VIRTUALDEVICES_DIR})
add_dependencies(e2e_accessibility_tests Shadowpane shadowpane_virtualdevices shadowpane_capture_helper)

# The user away: session and power notices posted as the system would send
# them, and a minute without input.
shadowpane_test(e2e_away_tests
  SOURCES e2e/AwayEndToEndTest.cpp
  LIBS shadowpane_e2e_driver shadowpane_virtualdevices_environment)
set_target_properties(e2e_away_tests PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${SHADOWPANE_VIRTUALDEVICES_DIR})
add_dependencies(e2e_away_tests Shadowpane shadowpane_virtualdevices shadowpane_capture_helper)
# The indicator on screen: its marks' pixels at 100 % and 200 % following a
# block of the virtual camera, what a reader hears, a click passing through
# to the window beneath. It sets its lane's display scale for its copies.
shadowpane_test(e2e_indicator_tests
  SOURCES e2e/IndicatorEndToEndTest.cpp
  LIBS shadowpane_e2e_driver shadowpane_virtualdevices_environment)
set_target_properties(e2e_indicator_tests PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${SHADOWPANE_VIRTUALDEVICES_DIR})
add_dependencies(e2e_indicator_tests Shadowpane shadowpane_virtualdevices shadowpane_capture_helper)
