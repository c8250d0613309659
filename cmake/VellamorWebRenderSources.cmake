# render/'s files of the browser build: its pure files and the portable GL
# ones (they see GLES 3 through webgl/compat/GL/glew.h), then the WebGL2
# versions of the rest. The browser build and the desktop tests that run
# the WebGL2 backend on Mesa's GLES 3 use the same list.
set(_web_render_dir ${CMAKE_SOURCE_DIR}/src/render)
set(VELLAMOR_WEB_RENDER_SOURCES "")
foreach(_f
    common_renderer glsl_es_translation load_failures matrix4 noise_pixels object_range procedural_textures
    render_targets shader_program shader_program_reload texture_loading texture_pixels)
  if(EXISTS ${_web_render_dir}/${_f}.cpp)
    list(APPEND VELLAMOR_WEB_RENDER_SOURCES ${_web_render_dir}/${_f}.cpp)
  endif()
endforeach()
file(GLOB _webgl_sources CONFIGURE_DEPENDS ${_web_render_dir}/webgl/*.cpp)
list(APPEND VELLAMOR_WEB_RENDER_SOURCES ${_webgl_sources})
