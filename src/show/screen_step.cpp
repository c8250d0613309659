#include "show/screen_step.h"

std::vector<float> ScreenStep::uniform(const std::string &name) const
{
    std::vector<float> values;
    for (const UniformSetting &u : uniforms)
        if (u.name == name)
            values = u.values;
    return values;
}

std::optional<TextureNumber> ScreenStep::texture_on(int unit) const
{
    std::optional<TextureNumber> texture;
    for (const ScreenSampler &s : textures)
        if (s.unit == unit)
            texture = s.texture;
    return texture;
}
