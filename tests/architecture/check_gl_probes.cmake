cmake_minimum_required(VERSION 3.25)
# Builds the GL probe of each module: those in ALLOWED must compile, those
# in REFUSED must fail, and fail on the refusal itself (the stand-in GL
# headers' message), not for some other reason that would make the check
# pass by accident.
set(_failed FALSE)
foreach(_m IN LISTS ALLOWED REFUSED)
  execute_process(
    COMMAND ${CMAKE_COMMAND} --build ${BUILD_DIR} --target gl_probe_${_m}
    RESULT_VARIABLE _rc OUTPUT_VARIABLE _out ERROR_VARIABLE _out)
  if(_m IN_LIST ALLOWED)
    if(_rc EQUAL 0)
      message(STATUS "${_m}: compiles with GL/glew.h, as it may")
    else()
      message(SEND_ERROR "${_m}: a file including GL/glew.h does not compile, but ${_m} may use GL:\n${_out}")
      set(_failed TRUE)
    endif()
  elseif(_rc EQUAL 0)
    message(SEND_ERROR "${_m}: a file including GL/glew.h compiles; only render/ and shell/ may see GL")
    set(_failed TRUE)
  elseif(NOT _out MATCHES "GL headers are for src/render and src/shell only")
    message(SEND_ERROR "${_m}: the probe failed, but not on the GL refusal:\n${_out}")
    set(_failed TRUE)
  else()
    message(STATUS "${_m}: GL refused, as it should be")
  endif()
endforeach()
if(_failed)
  message(FATAL_ERROR "the GL boundary does not hold")
endif()
