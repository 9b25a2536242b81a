# Read by ctest after the discovered packaging tests are defined: each needs the prefix and the
# release. (gtest_discover_tests cannot pass a list as a property value.)
if(cx_packaging_tests_TESTS)
    set_tests_properties(${cx_packaging_tests_TESTS} PROPERTIES FIXTURES_REQUIRED "wine;release")
endif()
