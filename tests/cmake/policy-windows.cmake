# The policy keys read from the real registry of the test prefix.
shadowpane_test(policy_win32_tests
  SOURCES policy/win32/RegistryPolicySourceTest.cpp
  LIBS shadowpane_win32)
