// The translation of the show's GLSL 1.20 into GLSL ES 3.00 for WebGL2: what
// each fixed-function built-in becomes, what cannot be translated (with the
// line it is on), and every shader file of data/ translating.
#include "render/glsl_es_translation.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>

namespace fs = std::filesystem;
using testing::ElementsAre;
using testing::HasSubstr;
using testing::Not;

namespace
{

std::string read(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The translated text after its header (the lines the file's own lines map to).
std::string body_of(const std::string &text)
{
    return text.substr(text.find("\n#line ") + 1);
}

} // namespace

TEST(GlslEsTranslation, fixed_function_inputs_become_named_uniforms_and_attributes)
{
    const auto es = translate_to_glsl_es("#version 120\n"
                                         "attribute vec2 corner;\n"
                                         "varying vec4 tint;\n"
                                         "void main() {\n"
                                         "  vec4 eye = gl_ModelViewMatrix * gl_Vertex;\n"
                                         "  gl_Position = gl_ProjectionMatrix * eye;\n"
                                         "  gl_PointSize = 3.0 * gl_Point . size;\n"
                                         "  tint = gl_TextureMatrix[ 2 ] * gl_MultiTexCoord0;\n"
                                         "}\n",
                                         ShaderStage::vertex);
    ASSERT_EQ(es.error, "");
    EXPECT_EQ(es.text.substr(0, 16), "#version 300 es\n");
    EXPECT_THAT(es.uniforms, ElementsAre("vellamor_ModelViewMatrix", "vellamor_ProjectionMatrix",
                                         "vellamor_PointSize", "vellamor_TextureMatrix2"));
    EXPECT_THAT(es.attributes, ElementsAre("vellamor_Vertex", "vellamor_MultiTexCoord0"));
    EXPECT_THAT(es.text, HasSubstr("uniform float vellamor_PointSize;"));
    EXPECT_THAT(es.text, HasSubstr("in vec4 vellamor_Vertex;"));
    const std::string body = body_of(es.text);
    EXPECT_THAT(body, HasSubstr("in vec2 corner;\nout vec4 tint;"));
    EXPECT_THAT(body, HasSubstr("gl_PointSize = 3.0 * vellamor_PointSize;"));
    EXPECT_THAT(body, HasSubstr("tint = vellamor_TextureMatrix2 * vellamor_MultiTexCoord0;"));
    EXPECT_THAT(body, Not(HasSubstr("gl_Vertex")));
}

TEST(GlslEsTranslation, fragment_outputs_and_lookups)
{
    const auto es =
        translate_to_glsl_es("#version 120\n"
                             "uniform sampler1D dsp;\n"
                             "uniform sampler2D map;\n"
                             "varying vec3 colour;\n"
                             "void main() {\n"
                             "  float a = texture1DLod(dsp, min(gl_TexCoord[0].x, 0.5), 0.0).r;\n"
                             "  float b = texture1D(dsp, 0.25, 1.0).r + texture2D(map, vec2(a)).g;\n"
                             "  gl_FragData[0] = vec4(colour, a); gl_FragData[1] = vec4(b);\n"
                             "}\n",
                             ShaderStage::fragment);
    ASSERT_EQ(es.error, "");
    EXPECT_EQ(es.fragment_outputs, 2);
    EXPECT_THAT(es.text, HasSubstr("precision highp float;"));
    EXPECT_THAT(es.text, HasSubstr("layout(location = 1) out vec4 vellamor_FragData1;"));
    EXPECT_THAT(es.text, HasSubstr("in vec4 vellamor_TexCoord0;"));
    const std::string body = body_of(es.text);
    EXPECT_THAT(body, HasSubstr("uniform sampler2D dsp;"));
    EXPECT_THAT(body, HasSubstr("in vec3 colour;"));
    // The 1D reads take the spectrum's middle row; nested built-ins are
    // translated inside the arguments.
    EXPECT_THAT(body, HasSubstr("textureLod(dsp, vec2( min(vellamor_TexCoord0.x, 0.5), 0.5), 0.0).r"));
    EXPECT_THAT(body, HasSubstr("texture(dsp, vec2( 0.25, 0.5), 1.0).r + texture(map, vec2(a)).g"));
    EXPECT_THAT(body, HasSubstr("vellamor_FragData0 = vec4(colour, a); vellamor_FragData1 = vec4(b);"));
}

TEST(GlslEsTranslation, comments_numbers_and_names_that_merely_contain_built_ins_are_kept)
{
    const auto es = translate_to_glsl_es("#version 120\n"
                                         "// gl_Vertex varying texture2D in a comment\n"
                                         "/* gl_FragData[k] */ uniform float my_gl_Vertex2;\n"
                                         "void main() { float varying_x = 1.5e-3 + my_gl_Vertex2; "
                                         "gl_FragColor = vec4(varying_x); }\n",
                                         ShaderStage::fragment);
    ASSERT_EQ(es.error, "");
    const std::string body = body_of(es.text);
    EXPECT_THAT(body, HasSubstr("// gl_Vertex varying texture2D in a comment\n"));
    EXPECT_THAT(body, HasSubstr("/* gl_FragData[k] */ uniform float my_gl_Vertex2;"));
    EXPECT_THAT(body, HasSubstr("float varying_x = 1.5e-3 + my_gl_Vertex2;"));
    EXPECT_EQ(es.fragment_outputs, 1);
}

TEST(GlslEsTranslation, uniform_initialisers_become_defaults_the_backend_sets)
{
    const auto es =
        translate_to_glsl_es("#version 120\n"
                             "uniform float passes = 1.0;\n"
                             "uniform vec2 offset =\n  vec2(0.5, 0.25) ;\n"
                             "uniform float plain;\n"
                             "void main() { gl_FragColor = vec4(passes * plain, offset, 1.0); }\n",
                             ShaderStage::fragment);
    ASSERT_EQ(es.error, "");
    ASSERT_EQ(es.uniform_defaults.size(), 2u);
    EXPECT_EQ(es.uniform_defaults[0].name, "passes");
    EXPECT_EQ(es.uniform_defaults[0].value, "1.0");
    EXPECT_EQ(es.uniform_defaults[1].name, "offset");
    EXPECT_EQ(es.uniform_defaults[1].value, "vec2(0.5, 0.25)");
    // The lines stay where they were.
    EXPECT_THAT(
        body_of(es.text),
        HasSubstr("\nuniform float passes;\nuniform vec2 offset;\n\nuniform float plain;\nvoid main()"));
}

TEST(GlslEsTranslation, the_compiler_sees_the_files_own_line_numbers)
{
    const auto es = translate_to_glsl_es("#version 120\nvoid main()\n{\n  gl_FragColor = vec4(1.0);\n}\n",
                                         ShaderStage::fragment);
    ASSERT_EQ(es.error, "");
    // The header ends by numbering what is left of the #version line 1,
    // so the next line is 2, as in the file.
    EXPECT_THAT(es.text, HasSubstr("\n#line 1\n\nvoid main()\n{\n  vellamor_FragColor = vec4(1.0);\n}\n"));
    const auto without_version =
        translate_to_glsl_es("void main() { gl_FragColor = vec4(1.0); }", ShaderStage::fragment);
    EXPECT_THAT(without_version.text, HasSubstr("\n#line 1\nvoid main()"));
}

TEST(GlslEsTranslation, what_has_no_counterpart_is_refused_with_its_line)
{
    struct Case {
        const char *source;
        ShaderStage stage;
        const char *error;
    };
    const Case cases[] = {
        {"#version 120\nvoid main() {\n gl_FragColor = vec4(0.0);\n gl_FragData[1] = vec4(0.0);\n}",
         ShaderStage::fragment, "line 4: gl_FragColor and gl_FragData in one shader"},
        {"#version 120\nuniform int k;\nvoid main() { gl_FragData[k] = vec4(0.0); }", ShaderStage::fragment,
         "line 3: gl_FragData indexed by anything but a number"},
        {"#version 120\nattribute vec4 a;\nvoid main() {}", ShaderStage::fragment,
         "line 2: \"attribute\" in a fragment shader"},
        {"#version 120\nvoid main() { gl_FragColor = gl_Vertex; }", ShaderStage::fragment,
         "line 2: Vertex is a vertex input: not in a fragment shader"},
        {"#version 120\n\nvoid main() { gl_Position = gl_LightSource[0].position; }", ShaderStage::vertex,
         "line 3: no GLSL ES counterpart for gl_LightSource"},
        {"#version 130\nvoid main() {}", ShaderStage::vertex,
         "line 1: only GLSL 1.10 and 1.20 are translated, not \"#version 130\""},
        {"#version 120\nvoid main() { gl_PointSize = gl_Point.sizeMin; }", ShaderStage::vertex,
         "line 2: only gl_Point.size has a GLSL ES stand-in"},
        {"#version 120\nuniform sampler1D s;\nvoid main() { gl_FragColor = texture1D(s); }",
         ShaderStage::fragment, "line 3: a 1D texture lookup with unexpected arguments"},
        {"#version 120\n#extension GL_EXT_gpu_shader4 : require\nvoid main() {}", ShaderStage::vertex,
         "line 2: no GLSL ES counterpart for \"#extension GL_EXT_gpu_shader4 : require\""},
    };
    for (const Case &c : cases) {
        const auto es = translate_to_glsl_es(c.source, c.stage);
        EXPECT_EQ(es.error, c.error) << c.source;
        EXPECT_EQ(es.text, "") << c.source;
    }
}

TEST(GlslEsTranslation, the_fixed_function_stand_in_feeds_texture_set_zero)
{
    const auto es = fixed_function_vertex_stage();
    ASSERT_EQ(es.error, "");
    EXPECT_THAT(es.uniforms, ElementsAre("vellamor_ModelViewProjectionMatrix", "vellamor_TextureMatrix0"));
    EXPECT_THAT(es.attributes, ElementsAre("vellamor_Vertex", "vellamor_MultiTexCoord0", "vellamor_Color"));
    EXPECT_THAT(es.text, HasSubstr("out vec4 vellamor_TexCoord0;"));
    EXPECT_THAT(es.text, HasSubstr("out vec4 vellamor_FrontColor;"));
}

// Every shader file of the data folder, the extension's included.
TEST(GlslEsTranslation, every_shader_of_the_data_folder_translates_to_plain_glsl_es)
{
    const fs::path data = fs::path(VELLAMOR_SOURCE_DIR) / "data";
    int files = 0;
    // A built-in or 1.20 word left in the text would fail in WebGL2.
    const std::regex leftover(
        R"(\b(gl_(Vertex|Normal|Color|MultiTexCoord\d|ModelView\w*|Projection\w*|TextureMatrix|TexCoord|FragData|FragColor|FrontColor|Point)|attribute|varying|texture[123]D\w*|textureCube\w*|sampler1D)\b)");
    for (const char *folder : {"Materials", "PostProcessing"}) {
        for (const auto &entry : fs::directory_iterator(data / folder)) {
            const std::string name = entry.path().filename().string();
            const ShaderStage stage = name[0] == 'v' ? ShaderStage::vertex : ShaderStage::fragment;
            const auto es = translate_to_glsl_es(read(entry.path()), stage);
            EXPECT_EQ(es.error, "") << name;
            std::string code = std::regex_replace(body_of(es.text), std::regex(R"(//[^\n]*)"), "");
            std::smatch found;
            EXPECT_FALSE(std::regex_search(code, found, leftover)) << name << ": " << found.str();
            ++files;
        }
    }
    EXPECT_GE(files, 19);
}
