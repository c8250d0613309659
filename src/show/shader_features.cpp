#include "show/shader_features.h"

#include "show/part_start_setup.h"
#include "show/resources.h"

#include <algorithm>
#include <array>

namespace
{

// The sprite programs that may draw a cloud once: the main cloud's three and
// the letters'. The stars draw one pass anyway.
constexpr std::array<ProgramSlot, 4> cloud_programs{program::billboards, program::billboards_insect,
                                                    program::billboards_leaves, program::letters};

} // namespace

bool ShaderFeatures::draws_once(ProgramSlot program) const
{
    return std::find(one_draw_programs.begin(), one_draw_programs.end(), program) != one_draw_programs.end();
}

ShaderFeatures ShaderFeatures::ours()
{
    return {true, {cloud_programs.begin(), cloud_programs.end()}};
}

ShaderFeatures ShaderFeatures::specified_only()
{
    return {false, {}};
}

bool reduced_size_files_present(const std::function<bool(const char *path)> &exists)
{
    for (std::size_t k = specified_program_count; k < show_program_files.size(); ++k)
        if (!exists(show_program_files[k].fragment))
            return false;
    return true;
}

ShaderFeatures detect_shader_features(bool built_reduced_size,
                                      const std::function<bool(ProgramSlot, const char *name)> &declares)
{
    ShaderFeatures f = ShaderFeatures::specified_only();
    f.reduced_size_passes = built_reduced_size && declares(program::bloom_reduce, "texture2d_1") &&
                            declares(program::bloom_blur, "Step0") && declares(program::soft_halo, "Radius");
    for (ProgramSlot program : cloud_programs)
        if (declares(program, "passes"))
            f.one_draw_programs.push_back(program);
    return f;
}
