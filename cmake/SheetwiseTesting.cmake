# sw_add_test(<name> SOURCES <files...> LIBS <targets...> [LABEL unit|ui])
#
# One GoogleTest executable per core unit or widget area. Every test runs with the offscreen Qt
# platform, so CI needs no display (the test main also gives each test process a home of its
# own); `ui` tests are labelled so they can be run apart
# (ctest -L ui). Tests find the shared fixtures through SW_TEST_DATA_DIR.
function(sw_add_test name)
  cmake_parse_arguments(ARG "" "LABEL;TIMEOUT" "SOURCES;LIBS" ${ARGN})
  if(NOT ARG_LABEL)
    set(ARG_LABEL unit)
  endif()
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 120)
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} sw_test_support GTest::gtest GTest::gmock)
  target_compile_definitions(${name} PRIVATE
    SW_TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests/data"
    SW_BIN_DIR="${CMAKE_RUNTIME_OUTPUT_DIRECTORY}")
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES
      LABELS ${ARG_LABEL}
      TIMEOUT ${ARG_TIMEOUT}
      ENVIRONMENT QT_QPA_PLATFORM=offscreen)
endfunction()
