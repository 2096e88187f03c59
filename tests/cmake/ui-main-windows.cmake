# Discovery through the main window's own lists and timer, on Wine's devices.
shadowpane_test(ui_main_win32_tests
  SOURCES ui/main/win32/DiscoveryIntegrationTest.cpp
  LIBS shadowpane_win32 shadowpane_test_support)

# The real main window with the test-only virtual devices. It sits beside
# the devices' DLL and helper, and plugs them into its lane's prefix.
shadowpane_test(ui_main_window_tests
  SOURCES ui/main/win32/MainWindowWineTest.cpp ${SHADOWPANE_RC_SOURCES}
  LIBS shadowpane_toolkit_test_host shadowpane_test_support shadowpane_virtualdevices_environment)
set_target_properties(ui_main_window_tests PROPERTIES
  RUNTIME_OUTPUT_DIRECTORY ${SHADOWPANE_VIRTUALDEVICES_DIR})
add_dependencies(ui_main_window_tests shadowpane_virtualdevices shadowpane_capture_helper)

# The main window gallery (scripts/gallery.sh): images for a person to look
# at, with virtual devices listed. Not a test.
add_executable(main_window_gallery ui/gallery/MainWindowGallery.cpp ${SHADOWPANE_RC_SOURCES})
target_include_directories(main_window_gallery PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(main_window_gallery PRIVATE shadowpane_window_image shadowpane_toolkit_test_host
                      shadowpane_test_support shadowpane_virtualdevices_support shell32)
set_target_properties(main_window_gallery PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${SHADOWPANE_VIRTUALDEVICES_DIR})
add_dependencies(main_window_gallery shadowpane_virtualdevices shadowpane_capture_helper)
shadowpane_warnings(main_window_gallery)

# The indicator's hooks and window: hiding through the notification-state
# seam, the setting and the policy, the chosen corner.
shadowpane_test(ui_main_indicator_tests
  SOURCES ui/main/win32/IndicatorWindowTest.cpp
  LIBS shadowpane_win32 shadowpane_test_support)
