# Test helpers shared by every test folder.
include(GoogleTest)

set(KELVANE_TEST_HOME ${CMAKE_BINARY_DIR}/test-home)

# kelvane_add_test(NAME SOURCES a.cpp b.cpp LIBS x y [ENGINE])
# Each test case runs in its own process, so a test that starts the engine
# starts it once. HOME and the XDG folders point into the build tree so no test
# can touch the user's own files; tests that need a fresh folder make their own.
function(kelvane_add_test name)
  cmake_parse_arguments(T "ENGINE" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES} ${CMAKE_SOURCE_DIR}/tests/support/ThreadsSettleAtExit.cpp)
  target_link_libraries(${name} PRIVATE ${T_LIBS} kelvane_testsupport GTest::gtest GTest::gtest_main)
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  set(environment
    "HOME=${KELVANE_TEST_HOME}/home" "XDG_DATA_HOME=${KELVANE_TEST_HOME}/data" "XDG_DATA_DIRS=${KELVANE_TEST_HOME}/common"
    "XDG_CONFIG_HOME=${KELVANE_TEST_HOME}/config" "KELVANE_SOURCE_DIR=${CMAKE_SOURCE_DIR}")
  if(KELVANE_SANITIZE)
    # Instrumented code runs a few times slower.
    math(EXPR T_TIMEOUT "${T_TIMEOUT} * 3")
    list(APPEND environment ${KELVANE_SANITIZER_ENVIRONMENT})
  endif()
  set(labels unit)
  if(T_ENGINE)
    set(labels engine)
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES
      TIMEOUT ${T_TIMEOUT}
      LABELS "${labels}"
      ENVIRONMENT "${environment}")
endfunction()
