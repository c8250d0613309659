// The show's programs, translated for WebGL2, compile and link under a real
// GLSL ES 3.00 compiler (Mesa's, in an ES 3.0 context): what the browser
// would refuse fails here first, with the driver's log.
#include "render/glsl_es_translation.h"
#include "show/part_start_setup.h"
#include "support/gles_test_context.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace
{

std::string read(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

EsTranslation translated(const char *file, ShaderStage stage)
{
    return translate_to_glsl_es(read(fs::path(VELLAMOR_SOURCE_DIR) / "data" / file), stage);
}

} // namespace

TEST(GlslEsCompile, every_program_of_the_show_compiles_and_links_as_glsl_es_3)
{
    ASSERT_EQ(gles_context_problem(), "");
    RecordProperty("renderer", gles_renderer());
    for (const ShowProgramFiles &files : show_program_files) {
        const EsTranslation vertex = files.vertex != nullptr ? translated(files.vertex, ShaderStage::vertex)
                                                             : fixed_function_vertex_stage();
        const EsTranslation fragment = translated(files.fragment, ShaderStage::fragment);
        ASSERT_EQ(vertex.error, "") << (files.vertex ? files.vertex : "the fixed-function stand-in");
        ASSERT_EQ(fragment.error, "") << files.fragment;
        const GlesLinkResult linked = gles_compile_and_link(vertex.text, fragment.text);
        EXPECT_TRUE(linked.ok) << files.fragment << ": " << linked.log;
    }
}

TEST(GlslEsCompile, a_broken_program_is_reported_with_the_files_line)
{
    ASSERT_EQ(gles_context_problem(), "");
    const EsTranslation fragment = translate_to_glsl_es("#version 120\n"
                                                        "void main()\n"
                                                        "{\n"
                                                        "    gl_FragColor = vec4(undeclared);\n"
                                                        "}\n",
                                                        ShaderStage::fragment);
    ASSERT_EQ(fragment.error, "");
    const GlesLinkResult linked = gles_compile_and_link(fixed_function_vertex_stage().text, fragment.text);
    EXPECT_FALSE(linked.ok);
    // Mesa writes "0:LINE(COLUMN): error: ...".
    EXPECT_NE(linked.log.find("0:4("), std::string::npos) << linked.log;
}
