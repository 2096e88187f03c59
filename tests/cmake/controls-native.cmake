shadowpane_test(controls_core_tests
  SOURCES ui/toolkit/MenuItemListTest.cpp ui/toolkit/ListPopupTest.cpp ui/toolkit/EditLogicTest.cpp
  LIBS shadowpane_core)
