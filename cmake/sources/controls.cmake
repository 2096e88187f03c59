# The toolkit's edit control and list popup, and their portable logic.
list(APPEND SHADOWPANE_WIN32_SOURCES
  ui/toolkit/win32/EditControl.cpp
  ui/toolkit/win32/MenuControl.cpp
)
list(APPEND SHADOWPANE_CORE_SOURCES
  ui/toolkit/EditLogic.cpp
  ui/toolkit/ListPopup.cpp
  ui/toolkit/MenuItemList.cpp
)
