cmake_minimum_required(VERSION 3.25)
# Lists every file under src/ outside render/, shell/ and web/ (the browser
# layer) that includes a GL header by any path (<GL/gl.h>, "GL/glew.h",
# <GLES3/gl3.h>, <EGL/egl.h>),
# and every GL call in show/, app/ and record/ (comments included: the
# passes say what they draw in the interface's words); fails if there is one.
file(GLOB_RECURSE _files RELATIVE ${SOURCE_DIR}
  ${SOURCE_DIR}/src/*.cpp ${SOURCE_DIR}/src/*.h ${SOURCE_DIR}/src/*.c)
set(_bad "")
foreach(_f IN LISTS _files)
  if(_f MATCHES "^src/(render|shell|web)/")
    continue()
  endif()
  file(STRINGS ${SOURCE_DIR}/${_f} _hits REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"](GL|GLES[0-9]*|EGL)/")
  if(_hits)
    list(APPEND _bad "${_f}: ${_hits}")
  endif()
  if(_f MATCHES "^src/(show|app|record)/")
    file(STRINGS ${SOURCE_DIR}/${_f} _calls REGEX "gl[A-Z][A-Za-z]*\\(")
    if(_calls)
      list(APPEND _bad "${_f}: ${_calls}")
    endif()
  endif()
endforeach()
if(_bad)
  list(JOIN _bad "\n  " _text)
  message(FATAL_ERROR "only src/render, src/shell and src/web may include GL or call it:\n  ${_text}")
endif()
