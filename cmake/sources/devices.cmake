list(APPEND SHADOWPANE_CORE_SOURCES
  devices/Device.cpp
  devices/DeviceList.cpp
  devices/DeviceText.cpp
  devices/ProfileCodec.cpp
  devices/Camera.cpp
  devices/Microphone.cpp
)
list(APPEND SHADOWPANE_WIN32_SOURCES
  devices/win32/WindowPoster.cpp
  devices/win32/Win32ProfileFile.cpp
  devices/win32/DirectShowIds.cpp
  devices/win32/Win32GraphObjects.cpp
  devices/win32/Win32DeviceEnumeration.cpp
  devices/win32/Win32WaveMixer.cpp
  devices/win32/Win32CaptureServices.cpp
)
