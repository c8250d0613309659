# vellamor_add_test(NAME SOURCES a.cpp ... LIBS lib ... [GL] [TIMEOUT s])
# One GoogleTest executable; each TEST becomes a CTest test.
# GL tests carry the label "gl": they need a display (make test runs them
# under Xvfb) and are left out of the sanitizer run. They link the GL test
# fixture (tests/support/gl_test_context.h), which owns the GL context.
include(GoogleTest)
function(vellamor_add_test name)
  cmake_parse_arguments(T "GL" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  # The sanitizer run skips GL tests: keep the target (callers may add to
  # it) but neither build nor register it there.
  set(_exclude "")
  if(T_GL AND VELLAMOR_SANITIZE)
    set(_exclude EXCLUDE_FROM_ALL)
  endif()
  add_executable(${name} ${_exclude} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  # Shared test support (tests/support) for every test.
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  if(T_GL)
    target_link_libraries(${name} PRIVATE vellamor_test_gl)
  endif()
  target_compile_definitions(${name} PRIVATE
    VELLAMOR_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    VELLAMOR_BINARY_DIR="${CMAKE_BINARY_DIR}")
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set(_labels unit)
  if(T_GL)
    set(_labels gl)
  endif()
  if(_exclude)
    return()
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    PROPERTIES
      LABELS "${_labels}"
      TIMEOUT ${T_TIMEOUT}
      ENVIRONMENT "SDL_AUDIODRIVER=dummy;VELLAMOR_MESSAGES=stderr;LIBGL_ALWAYS_SOFTWARE=1")
endfunction()
