# Read by ctest after the test cases of javelin_tests are listed (the list is
# in javelin_tests_TESTS): properties of cases that cannot run beside others.
#
# The desktop: cases that open the window "JRE nicht gefunden" or look for it
# (a canceller closes every such window it finds, in any process) or read
# pixels off the screen. The dialog check in cmake/WindowsResources.cmake
# takes the same lock.
foreach(javelin_test IN LISTS javelin_tests_TESTS)
  if(javelin_test MATCHES "^(JreNotFoundDialog|LabelFixture|JreSearchEndToEnd)\\.")
    set_tests_properties(${javelin_test} PROPERTIES RESOURCE_LOCK desktop)
  endif()
endforeach()
