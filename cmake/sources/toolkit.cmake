# The skinned control toolkit: shared parts, button, choice, label and the
# message box (the edit control and list popup are listed in controls.cmake).
list(APPEND SHADOWPANE_CORE_SOURCES
  ui/toolkit/TextWrap.cpp
  ui/toolkit/ButtonLogic.cpp
  ui/toolkit/ChoiceLogic.cpp
  ui/toolkit/LabelLayout.cpp
  ui/toolkit/MessageBoxLayout.cpp
)
list(APPEND SHADOWPANE_WIN32_SOURCES
  ui/toolkit/win32/ToolkitCommon.cpp
  ui/toolkit/win32/OffscreenPaint.cpp
  ui/toolkit/win32/GdiTextMeasurer.cpp
  ui/toolkit/win32/ButtonControl.cpp
  ui/toolkit/win32/ChoiceControl.cpp
  ui/toolkit/win32/LabelControl.cpp
  ui/toolkit/win32/MessageBoxWindow.cpp
)
