# The Windows test package (scripts/package-tests.sh), made and checked
# against this build's own test list: every Windows test executable in it
# and run by its run-tests.cmd, every other test named there as not run.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
add_test(NAME package_tests_check
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/package/CheckTestPackage.py
          ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR})
