shadowpane_test(controls_core_tests
  SOURCES ui/toolkit/MenuItemListTest.cpp ui/toolkit/ListPopupTest.cpp ui/toolkit/EditLogicTest.cpp
          ui/toolkit/ShortcutFieldLogicTest.cpp
  LIBS shadowpane_core)
shadowpane_test(toolkit_core_tests
  SOURCES ui/toolkit/TextWrapTest.cpp ui/toolkit/ButtonLogicTest.cpp
          ui/toolkit/ChoiceAndLabelTest.cpp ui/toolkit/MessageBoxLayoutTest.cpp
          ui/toolkit/ModalLoopTest.cpp ui/toolkit/KeyboardLogicTest.cpp ui/toolkit/AccessibleLogicTest.cpp
  LIBS shadowpane_core)
# The committed skins are what scripts/make-assets.py draws now, byte for
# byte (a subset of the scales: the whole run takes over half a minute).
add_test(NAME skins_reproducible
  COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/ui/toolkit/CheckSkinsReproducible.sh ${CMAKE_SOURCE_DIR}
          ${CMAKE_CURRENT_BINARY_DIR}/skins_reproducible)
set_tests_properties(skins_reproducible PROPERTIES TIMEOUT 120)
