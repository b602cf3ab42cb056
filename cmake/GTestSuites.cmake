# Read by ctest before it runs the tests (tests/CMakeLists.txt names it for
# the host tests): lists the GoogleTest suites of EXECUTABLE and adds one
# test per suite, named after it, which runs that suite's tests in one process.

execute_process(COMMAND ${EXECUTABLE} --gtest_list_tests
                OUTPUT_VARIABLE listing ERROR_VARIABLE listing RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  # A test that fails and shows why, rather than no tests at all.
  add_test(list_gtest_suites ${EXECUTABLE} --gtest_list_tests)
  return()
endif()

string(REPLACE "\n" ";" lines "${listing}")
foreach(line IN LISTS lines)
  # A suite's line starts at the margin and ends its name with a dot; its
  # tests follow, indented.
  if(line MATCHES "^([A-Za-z_][A-Za-z0-9_/]*)\\.")
    set(suite ${CMAKE_MATCH_1})
    add_test(${suite} ${EXECUTABLE} --gtest_filter=${suite}.*)
  endif()
endforeach()
