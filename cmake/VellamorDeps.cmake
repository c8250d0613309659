# Every external library, found once. scripts/install-deps installs them.
find_package(PkgConfig REQUIRED)
if(NOT VELLAMOR_FUZZ)
  find_package(OpenGL REQUIRED COMPONENTS OpenGL GLX)
  find_package(GLEW REQUIRED)
  find_package(SDL2 REQUIRED)
  find_package(GTest REQUIRED)
  find_package(Threads REQUIRED)
  find_package(JPEG REQUIRED)
  find_package(PNG REQUIRED)
  pkg_check_modules(GLU REQUIRED IMPORTED_TARGET glu)
  pkg_check_modules(IMGUI REQUIRED IMPORTED_TARGET imgui)
  pkg_check_modules(MPG123 REQUIRED IMPORTED_TARGET libmpg123)
  pkg_check_modules(KISSFFT REQUIRED IMPORTED_TARGET kissfft-float)
  # Video export: H.264/AAC in MP4 or Matroska.
  pkg_check_modules(LIBAV REQUIRED IMPORTED_TARGET libavformat libavcodec libswscale libavutil)
  find_package(benchmark QUIET)
  find_library(MP3LAME_LIBRARY mp3lame REQUIRED)
  find_path(MP3LAME_INCLUDE_DIR lame/lame.h REQUIRED)
  add_library(vellamor_mp3lame INTERFACE)
  target_link_libraries(vellamor_mp3lame INTERFACE ${MP3LAME_LIBRARY})
  target_include_directories(vellamor_mp3lame INTERFACE ${MP3LAME_INCLUDE_DIR})
  # SDL2's config may not define an imported target with include dirs on
  # every version: make one.
  if(NOT TARGET SDL2::SDL2)
    add_library(SDL2::SDL2 INTERFACE IMPORTED)
    set_target_properties(SDL2::SDL2 PROPERTIES
      INTERFACE_INCLUDE_DIRECTORIES "${SDL2_INCLUDE_DIRS}"
      INTERFACE_LINK_LIBRARIES "${SDL2_LIBRARIES}")
  endif()
  # One target for "GL with GLEW and GLU", used by render/, show/ and the GL tests.
  add_library(vellamor_gl INTERFACE)
  target_link_libraries(vellamor_gl INTERFACE GLEW::GLEW OpenGL::GL PkgConfig::GLU)
endif()
