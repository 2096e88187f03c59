shadowpane_test(toolkit_win32_tests
  SOURCES ui/toolkit/win32/ToolkitCommonTest.cpp
          ui/toolkit/win32/ButtonControlTest.cpp ui/toolkit/win32/ChoiceLabelTest.cpp
          ui/toolkit/win32/MessageBoxTest.cpp ui/toolkit/win32/ModalLoopTest.cpp
          ui/toolkit/win32/PopupFrameTest.cpp ui/toolkit/win32/AccessibleObjectTest.cpp ${SHADOWPANE_RC_SOURCES}
  LIBS shadowpane_toolkit_test_host)

# The gallery: every control in every state and a few message boxes saved as
# images for a person to look at (scripts/gallery.sh). Not a test.
add_executable(toolkit_gallery ui/gallery/Gallery.cpp ${SHADOWPANE_RC_SOURCES})
target_include_directories(toolkit_gallery PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(toolkit_gallery PRIVATE shadowpane_window_image shadowpane_toolkit_test_host shell32)
shadowpane_warnings(toolkit_gallery)
shadowpane_test(controls_win32_tests
  SOURCES ui/toolkit/win32/EditControlTest.cpp ui/toolkit/win32/MenuControlTest.cpp
  LIBS shadowpane_toolkit_test_host)
shadowpane_test(controls_skin_tests
  SOURCES ui/toolkit/win32/SkinResourcesTest.cpp ${SHADOWPANE_RC_SOURCES}
  LIBS shadowpane_win32)
# On a heap whose freed blocks trap every later access, so it has an
# executable of its own.
shadowpane_test(toolkit_fault_tests
  SOURCES ui/toolkit/win32/ButtonFaultTest.cpp ui/toolkit/win32/GuardedHeap.cpp ${SHADOWPANE_RC_SOURCES}
  LIBS shadowpane_toolkit_test_host)
