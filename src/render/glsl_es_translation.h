// Turns the data folder's GLSL 1.20 programs into GLSL ES 3.00 for WebGL2,
// so the desktop and the browser draw from one shader source.
//
// What the fixed-function pipeline gave a 1.20 shader becomes a named
// uniform, attribute or varying that the WebGL2 backend feeds:
//   gl_ModelViewMatrix, gl_ProjectionMatrix, gl_ModelViewProjectionMatrix,
//   gl_NormalMatrix (mat3), gl_TextureMatrix[N], gl_Point.size  -> uniforms
//   gl_Vertex, gl_Normal, gl_Color (vertex stage), gl_MultiTexCoordN -> attributes
//   gl_TexCoord[N], gl_FrontColor (gl_Color in the fragment stage) -> varyings
//   gl_FragColor, gl_FragData[N] -> outputs at location 0 / N
// each named "vellamor_" followed by the built-in's name without "gl_" (an
// index joins the name: gl_TextureMatrix[2] is "vellamor_TextureMatrix2").
// 1D samplers become 2D ones read along their middle row: the spectrum is a
// 512 x 1 2D texture there. attribute/varying become in/out, the texture
// functions the overloaded texture/textureLod/textureProj.
//
// Comments and layout are kept, so the compiler's line numbers still point
// at the file (the header takes the place of the #version line, and
// declarations go on that same line). No GL needed.
#pragma once

#include <string>
#include <string_view>
#include <vector>

enum class ShaderStage { vertex, fragment };

struct EsTranslation {
    std::string text;  // the GLSL ES 3.00 source; empty when `error` is set
    std::string error; // why the source cannot be translated, with its line
    // What the backend must feed, in order of first use: the stand-in
    // uniforms (mat4, mat3 for "vellamor_NormalMatrix", float for
    // "vellamor_PointSize") and the vertex attributes (vec4; vec3 for
    // "vellamor_Normal").
    std::vector<std::string> uniforms;
    std::vector<std::string> attributes;
    int fragment_outputs = 0; // draw buffers written: gl_FragData[N] gives N + 1
    // GLSL ES has no uniform initialisers: "uniform float passes = 1.0;"
    // loses its "= 1.0" and the backend sets the value once after linking.
    struct UniformDefault {
        std::string name;
        std::string value; // the initialiser's text, as written
    };
    std::vector<UniformDefault> uniform_defaults;
};

EsTranslation translate_to_glsl_es(std::string_view source, ShaderStage stage);

// The vertex stage that fragment-only programs got from the fixed-function
// pipeline, as the show uses it: the position through the model-view-
// projection matrix, texture coordinate set 0 through texture matrix 0, the
// colour passed on. Its stand-ins follow the names above.
EsTranslation fixed_function_vertex_stage();
