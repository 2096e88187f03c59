shadowpane_test(policy_core_tests
  SOURCES policy/PolicyRulesTest.cpp
  LIBS shadowpane_core)

# The administrative templates against the table the program reads: the
# same values, ranges and key, in both classes, every string in every
# language, and well-formed XML.
add_executable(print_policy_values policy/PrintPolicyValues.cpp)
target_include_directories(print_policy_values PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(print_policy_values PRIVATE shadowpane_core)
shadowpane_warnings(print_policy_values)
find_package(Python3 REQUIRED COMPONENTS Interpreter)
add_test(NAME policy_templates
  COMMAND Python3::Interpreter ${CMAKE_CURRENT_SOURCE_DIR}/policy/CheckTemplates.py
          $<TARGET_FILE:print_policy_values> ${CMAKE_SOURCE_DIR}/policy)
