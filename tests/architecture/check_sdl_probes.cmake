cmake_minimum_required(VERSION 3.25)
# Builds the SDL probe of each module: those in ALLOWED must compile, those
# in REFUSED must fail, and fail because SDL.h is not found (not for some
# other reason that would make the check pass by accident).
set(_failed FALSE)
foreach(_m IN LISTS ALLOWED REFUSED)
  execute_process(
    COMMAND ${CMAKE_COMMAND} --build ${BUILD_DIR} --target sdl_probe_${_m}
    RESULT_VARIABLE _rc OUTPUT_VARIABLE _out ERROR_VARIABLE _out)
  if(_m IN_LIST ALLOWED)
    if(_rc EQUAL 0)
      message(STATUS "${_m}: compiles with SDL.h, as it may")
    else()
      message(SEND_ERROR "${_m}: a file including SDL.h does not compile, but ${_m} may use SDL:\n${_out}")
      set(_failed TRUE)
    endif()
  elseif(_rc EQUAL 0)
    message(SEND_ERROR "${_m}: a file including SDL.h compiles; only shell/ and sound/ may see SDL")
    set(_failed TRUE)
  elseif(NOT _out MATCHES "SDL\\.h")
    message(SEND_ERROR "${_m}: the probe failed, but not on SDL.h:\n${_out}")
    set(_failed TRUE)
  else()
    message(STATUS "${_m}: SDL.h not found, as it should be")
  endif()
endforeach()
if(_failed)
  message(FATAL_ERROR "the SDL boundary does not hold")
endif()
