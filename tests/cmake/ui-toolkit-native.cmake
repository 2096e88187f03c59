shadowpane_test(controls_core_tests
  SOURCES ui/toolkit/MenuItemListTest.cpp ui/toolkit/ListPopupTest.cpp ui/toolkit/EditLogicTest.cpp
          ui/toolkit/ShortcutFieldLogicTest.cpp
  LIBS shadowpane_core)
shadowpane_test(toolkit_core_tests
  SOURCES ui/toolkit/TextWrapTest.cpp ui/toolkit/ButtonLogicTest.cpp
          ui/toolkit/ChoiceAndLabelTest.cpp ui/toolkit/MessageBoxLayoutTest.cpp
          ui/toolkit/ModalLoopTest.cpp ui/toolkit/KeyboardLogicTest.cpp ui/toolkit/AccessibleLogicTest.cpp
  LIBS shadowpane_core)
