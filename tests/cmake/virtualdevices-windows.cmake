# Test-only virtual capture devices: a COM DLL with a camera and a microphone
# filter, registered at run time in the test prefix only, a helper program
# that plays "another program", and the tests that drive them. None of it is
# part of the program. The DLL and the helper sit beside the test executables
# that find them there.

add_library(shadowpane_virtualdevices SHARED
  virtualdevices/FilterParts.cpp
  virtualdevices/MicrophoneInputStore.cpp
  virtualdevices/VirtualCamera.cpp
  virtualdevices/VirtualDeviceKeys.cpp
  virtualdevices/VirtualDeviceModule.cpp
  virtualdevices/VirtualMicrophone.cpp
  virtualdevices/VirtualDevices.def)
target_include_directories(shadowpane_virtualdevices PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(shadowpane_virtualdevices PRIVATE ole32 oleaut32 uuid strmiids advapi32)
target_link_options(shadowpane_virtualdevices PRIVATE -Wl,--enable-stdcall-fixup)
set_target_properties(shadowpane_virtualdevices PROPERTIES
  PREFIX "" OUTPUT_NAME shadowpane_virtualdevices
  RUNTIME_OUTPUT_DIRECTORY ${SHADOWPANE_VIRTUALDEVICES_DIR})
shadowpane_warnings(shadowpane_virtualdevices)

# What tests and the helper share: registering devices, plain DirectShow use,
# starting the helper.
add_library(shadowpane_virtualdevices_support STATIC
  virtualdevices/CaptureProbe.cpp
  virtualdevices/HelperProcess.cpp
  virtualdevices/MicrophoneInputStore.cpp
  virtualdevices/VirtualDeviceKeys.cpp
  virtualdevices/VirtualDeviceRegistry.cpp)
target_include_directories(shadowpane_virtualdevices_support PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(shadowpane_virtualdevices_support PUBLIC ole32 oleaut32 uuid strmiids advapi32 shell32)
shadowpane_warnings(shadowpane_virtualdevices_support)

add_executable(shadowpane_capture_helper virtualdevices/CaptureHelperMain.cpp)
target_link_libraries(shadowpane_capture_helper PRIVATE shadowpane_virtualdevices_support)
set_target_properties(shadowpane_capture_helper PROPERTIES
  RUNTIME_OUTPUT_DIRECTORY ${SHADOWPANE_VIRTUALDEVICES_DIR})
shadowpane_warnings(shadowpane_capture_helper)

# The check every suite with virtual devices runs at its start and end: no
# device is left registered. An object library, since the check registers
# itself with GoogleTest when its object is linked.
add_library(shadowpane_virtualdevices_environment OBJECT virtualdevices/VirtualDevicesEnvironment.cpp)
target_link_libraries(shadowpane_virtualdevices_environment PUBLIC shadowpane_virtualdevices_support
                      ${SHADOWPANE_GTEST})
target_precompile_headers(shadowpane_virtualdevices_environment REUSE_FROM shadowpane_test_support)
shadowpane_warnings(shadowpane_virtualdevices_environment)

# The program's capture services bound to a virtual device, for the
# blocking tests and the input-pin benchmark.
add_library(shadowpane_service_binding STATIC virtualdevices/ServiceBinding.cpp)
target_include_directories(shadowpane_service_binding PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(shadowpane_service_binding PUBLIC shadowpane_win32)
shadowpane_warnings(shadowpane_service_binding)

# The virtual devices through Wine's real device enumerator and filter graph.
shadowpane_test(virtualdevices_tests
  SOURCES virtualdevices/VirtualCameraTest.cpp virtualdevices/VirtualMicrophoneTest.cpp
  LIBS shadowpane_virtualdevices_environment)
set_target_properties(virtualdevices_tests PROPERTIES
  RUNTIME_OUTPUT_DIRECTORY ${SHADOWPANE_VIRTUALDEVICES_DIR})
add_dependencies(virtualdevices_tests shadowpane_virtualdevices shadowpane_capture_helper)

# The program's own devices, capture services and discovery driving the
# virtual devices through Wine's DirectShow.
shadowpane_test(virtualdevices_blocking_tests
  SOURCES virtualdevices/CameraBlockingTest.cpp virtualdevices/MicrophoneBlockingTest.cpp
          virtualdevices/DiscoveryWithVirtualDevicesTest.cpp
  LIBS shadowpane_service_binding shadowpane_test_support shadowpane_virtualdevices_environment)
set_target_properties(virtualdevices_blocking_tests PROPERTIES
  RUNTIME_OUTPUT_DIRECTORY ${SHADOWPANE_VIRTUALDEVICES_DIR})
add_dependencies(virtualdevices_blocking_tests shadowpane_virtualdevices shadowpane_capture_helper)

# Both suites plug devices into their lane's prefix and clear leftovers at
# start and end: each Windows test has its Wine session to itself
# (shadowpane_test), so no two of them meet there.
