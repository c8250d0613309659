cmake_minimum_required(VERSION 3.25)
# Lists every file under src/ outside shell/ and sound/ that includes an SDL
# header by any path (<SDL.h>, <SDL2/SDL.h>, "SDL_keycode.h"...); fails if
# there is one. The probe build catches <SDL.h>; this catches the spellings
# that reach SDL through /usr/include.
file(GLOB_RECURSE _files RELATIVE ${SOURCE_DIR}
  ${SOURCE_DIR}/src/*.cpp ${SOURCE_DIR}/src/*.h ${SOURCE_DIR}/src/*.c)
set(_bad "")
foreach(_f IN LISTS _files)
  if(_f MATCHES "^src/(shell|sound)/")
    continue()
  endif()
  file(STRINGS ${SOURCE_DIR}/${_f} _hits REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]([^>\"]*/)?SDL")
  if(_hits)
    list(APPEND _bad "${_f}: ${_hits}")
  endif()
endforeach()
if(_bad)
  list(JOIN _bad "\n  " _text)
  message(FATAL_ERROR "only src/shell and src/sound may include SDL:\n  ${_text}")
endif()
