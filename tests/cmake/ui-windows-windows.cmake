# The secondary windows on real windows under Wine, driven from inside their
# modal loops.
shadowpane_test(ui_windows_win32_tests
  SOURCES ui/windows/win32/LoopScript.cpp ui/windows/win32/SecondaryWindowTest.cpp
          ui/windows/win32/SettingsWindowTest.cpp ui/windows/win32/LanguageAboutWindowTest.cpp
          ui/toolkit/win32/ToolkitTestHost.cpp ${SHADOWPANE_RC_SOURCES}
  LIBS shadowpane_win32)

# Every localized text of every window, drawn as the control that shows it
# draws it, in each language.
shadowpane_test(text_fit_tests
  SOURCES ui/TextFitTest.cpp ui/windows/win32/LoopScript.cpp ui/toolkit/win32/ToolkitTestHost.cpp
          ${SHADOWPANE_RC_SOURCES}
  LIBS shadowpane_win32 shadowpane_test_support)
# It sets the prefix's display scale for the copies it starts at 100, 150
# and 200 %, so no other test may run meanwhile.
set_tests_properties(text_fit_tests PROPERTIES RUN_SERIAL TRUE)

# The secondary windows' gallery: each window in each language saved as an
# image for a person to look at (scripts/gallery.sh). Not a test.
add_executable(windows_gallery ui/gallery/WindowsGallery.cpp ui/gallery/WindowImage.cpp ${SHADOWPANE_RC_SOURCES})
target_include_directories(windows_gallery PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(windows_gallery PRIVATE shadowpane_win32 shell32)
shadowpane_warnings(windows_gallery)
