# Compiler warnings and sanitizer flags shared by every target.
# ccache, where installed, makes rebuilds in several clones cheap.
find_program(VELLAMOR_CCACHE ccache)
if(VELLAMOR_CCACHE AND NOT CMAKE_CXX_COMPILER_LAUNCHER)
  set(CMAKE_CXX_COMPILER_LAUNCHER ${VELLAMOR_CCACHE})
  set(CMAKE_C_COMPILER_LAUNCHER ${VELLAMOR_CCACHE})
endif()
add_compile_options(-Wall -Wextra -Wpedantic)
if(CMAKE_BUILD_TYPE STREQUAL "RelWithDebInfo")
  # -O2 everywhere: the decoders and the synthesiser are hot.
  string(REPLACE "-O2" "" CMAKE_CXX_FLAGS_RELWITHDEBINFO "${CMAKE_CXX_FLAGS_RELWITHDEBINFO}")
  add_compile_options(-O2)
endif()

if(VELLAMOR_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

if(VELLAMOR_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer -g)
  add_link_options(-fsanitize=address,undefined)
endif()

# Lets a module library pick up every .cpp of its folder (no data/ here).
function(vellamor_module_sources out dir)
  file(GLOB _srcs CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.c)
  set(${out} ${_srcs} PARENT_SCOPE)
endfunction()

# Only render/ and shell/ speak OpenGL. A module refused GL finds, before
# the system's, a GL/ folder whose headers stop the compile with a message
# naming the drawing interface, so a GL include there fails by construction.
function(vellamor_refuse_gl target)
  get_target_property(_type ${target} TYPE)
  if(_type STREQUAL "INTERFACE_LIBRARY")
    return()
  endif()
  target_include_directories(${target} BEFORE PRIVATE ${CMAKE_SOURCE_DIR}/cmake/no_gl)
endfunction()

# Adds every sub-folder of `area` that has a CMakeLists.txt.
function(vellamor_add_area_dirs area)
  file(GLOB _dirs LIST_DIRECTORIES true ${CMAKE_SOURCE_DIR}/${area}/*)
  list(SORT _dirs)
  foreach(_d ${_dirs})
    if(IS_DIRECTORY ${_d} AND EXISTS ${_d}/CMakeLists.txt)
      add_subdirectory(${_d})
    endif()
  endforeach()
endfunction()

# vellamor_module(NAME DIR [PUBLIC lib ...] [PRIVATE lib ...]): a static
# library of every .cpp in DIR, includes rooted at src/ ("runtime/clock.h").
# PUBLIC only for what the module's own headers include; everything else is
# PRIVATE, so a dependency's headers (SDL's above all) reach no module that
# did not ask for them. A module without sources yet is an interface
# library, so the tree builds at every stage.
function(vellamor_module name dir)
  cmake_parse_arguments(M "" "" "PUBLIC;PRIVATE" ${ARGN})
  if(M_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "vellamor_module(${name}): say PUBLIC or PRIVATE before ${M_UNPARSED_ARGUMENTS}")
  endif()
  vellamor_module_sources(_srcs ${dir})
  if(_srcs)
    add_library(${name} STATIC ${_srcs})
    target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${M_PUBLIC} PRIVATE ${M_PRIVATE})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${CMAKE_SOURCE_DIR}/src)
    target_link_libraries(${name} INTERFACE ${M_PUBLIC} ${M_PRIVATE})
  endif()
endfunction()
