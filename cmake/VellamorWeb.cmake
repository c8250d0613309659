# The browser build (emcmake cmake; `make web`): the same modules as the
# desktop where they need no system library, the WebGL2 files of render/
# in place of its GL 2 ones, and src/web (the canvas, the page's C API) in
# place of shell/ and the sound device. SDL, ImGui, FFmpeg, mpg123 and
# kissfft are not part of it.
set(_src ${CMAKE_SOURCE_DIR}/src)

vellamor_module(vellamor_runtime ${_src}/runtime)
vellamor_module(vellamor_jpeg ${_src}/assets/jpeg)
vellamor_module(vellamor_mesh ${_src}/assets/mesh)

# render/: the list the GLES 3 tests of the WebGL2 backend share.
include(VellamorWebRenderSources)
add_library(vellamor_render STATIC ${VELLAMOR_WEB_RENDER_SOURCES})
target_include_directories(vellamor_render PUBLIC ${_src})
target_include_directories(vellamor_render BEFORE PRIVATE ${_src}/render/webgl/compat)
target_link_libraries(vellamor_render PUBLIC vellamor_mesh PRIVATE vellamor_runtime vellamor_jpeg)

# sound/: the soundtrack's spectrum without a device (RealFft: no kissfft
# here); the decoder is src/web's, reading what the page handed over, so
# the mpg123 handle the class declares goes unused.
set(_sound_sources "")
foreach(_f device_music device_playback lame_tag real_fft spectrum track_music track_spectrum track_window)
  list(APPEND _sound_sources ${_src}/sound/${_f}.cpp)
endforeach()
add_library(vellamor_sound STATIC ${_sound_sources})
target_include_directories(vellamor_sound PUBLIC ${_src})
target_link_libraries(vellamor_sound PRIVATE vellamor_runtime)
target_compile_options(vellamor_sound PRIVATE -Wno-unused-private-field)

vellamor_module(vellamor_show ${_src}/show PUBLIC vellamor_runtime vellamor_render vellamor_mesh)
foreach(_m runtime jpeg mesh sound show)
  vellamor_refuse_gl(vellamor_${_m})
endforeach()

# The show's spine is the desktop's; the window and the music are src/web's.
file(GLOB _web_sources CONFIGURE_DEPENDS ${_src}/web/*.cpp)
add_executable(vellamor_web ${_src}/app/show_spine.cpp ${_web_sources})
target_compile_options(vellamor_web PRIVATE -Wno-unused-private-field)
target_link_libraries(vellamor_web PRIVATE vellamor_show vellamor_sound vellamor_render vellamor_runtime
  vellamor_jpeg vellamor_mesh)
set(_exports _vellamor_alloc _vellamor_free _vellamor_sound_start_skip _vellamor_sound_buffer
  _vellamor_sound_ready _vellamor_setup _vellamor_draw_still _vellamor_tick _main
  _vellamor_live_begin _vellamor_live_setup_step _vellamor_live_tick _vellamor_left_button
  _vellamor_escape _vellamor_set_paused _vellamor_show_time)
list(JOIN _exports "," _exports_list)
target_link_options(vellamor_web PRIVATE
  -sMAX_WEBGL_VERSION=2 -sMIN_WEBGL_VERSION=2 -sALLOW_MEMORY_GROWTH=1 -sINITIAL_MEMORY=268435456
  -sEXPORTED_FUNCTIONS=${_exports_list}
  -sEXPORTED_RUNTIME_METHODS=ccall,cwrap,FS,HEAPF32,HEAPU8
  -sEXIT_RUNTIME=0 -sENVIRONMENT=web
  "SHELL:--preload-file ${CMAKE_SOURCE_DIR}/data@/")
set_target_properties(vellamor_web PROPERTIES OUTPUT_NAME vellamor SUFFIX ".js"
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
# Our own page beside the build (not emscripten's shell).
configure_file(${_src}/web/index.html ${CMAKE_BINARY_DIR}/index.html COPYONLY)
configure_file(${_src}/web/page.js ${CMAKE_BINARY_DIR}/page.js COPYONLY)
