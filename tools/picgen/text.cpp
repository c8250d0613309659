// Text setting with stb_truetype.
// Depends on: text.h, libstb-dev's stb_truetype.h (implementation compiled
// here, in this one file).
#include "text.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>

#define STB_TRUETYPE_IMPLEMENTATION
#include <stb/stb_truetype.h>

namespace picgen
{
namespace
{

std::vector<int> codepoints(const std::string &utf8)
{
    std::vector<int> out;
    for (size_t i = 0; i < utf8.size();) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        int cp = c, extra = 0;
        if (c >= 0xF0)
            cp = c & 0x07, extra = 3;
        else if (c >= 0xE0)
            cp = c & 0x0F, extra = 2;
        else if (c >= 0xC0)
            cp = c & 0x1F, extra = 1;
        ++i;
        for (int k = 0; k < extra && i < utf8.size(); ++k, ++i)
            cp = (cp << 6) | (static_cast<unsigned char>(utf8[i]) & 0x3F);
        out.push_back(cp);
    }
    return out;
}

} // namespace

Font::Font(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return;
    data_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    auto *info = new stbtt_fontinfo;
    info_ = info;
    ok_ = !data_.empty() && stbtt_InitFont(info, data_.data(), stbtt_GetFontOffsetForIndex(data_.data(), 0));
}

Font::~Font()
{
    delete static_cast<stbtt_fontinfo *>(info_);
}

float Font::cap_height(float pixel_height) const
{
    const auto *info = static_cast<const stbtt_fontinfo *>(info_);
    const float scale = stbtt_ScaleForPixelHeight(info, pixel_height);
    int x0, y0, x1, y1;
    stbtt_GetCodepointBox(info, 'H', &x0, &y0, &x1, &y1);
    return y1 * scale;
}

float Font::measure(const std::string &text, float pixel_height, float tracking) const
{
    const auto *info = static_cast<const stbtt_fontinfo *>(info_);
    const float scale = stbtt_ScaleForPixelHeight(info, pixel_height);
    const std::vector<int> cps = codepoints(text);
    float x = 0;
    for (size_t i = 0; i < cps.size(); ++i) {
        int advance, bearing;
        stbtt_GetCodepointHMetrics(info, cps[i], &advance, &bearing);
        x += advance * scale;
        if (i + 1 < cps.size())
            x += stbtt_GetCodepointKernAdvance(info, cps[i], cps[i + 1]) * scale + tracking;
    }
    return x;
}

void Font::draw(Mask &mask, const std::string &text, float pixel_height, float tracking, float centre_x,
                float baseline) const
{
    const auto *info = static_cast<const stbtt_fontinfo *>(info_);
    const float scale = stbtt_ScaleForPixelHeight(info, pixel_height);
    const std::vector<int> cps = codepoints(text);
    float pen = centre_x - measure(text, pixel_height, tracking) / 2;
    for (size_t i = 0; i < cps.size(); ++i) {
        const float shift_x = pen - std::floor(pen);
        int x0, y0, x1, y1;
        stbtt_GetCodepointBitmapBoxSubpixel(info, cps[i], scale, scale, shift_x, 0, &x0, &y0, &x1, &y1);
        const int w = x1 - x0, h = y1 - y0;
        if (w > 0 && h > 0) {
            std::vector<unsigned char> glyph(static_cast<size_t>(w) * h);
            stbtt_MakeCodepointBitmapSubpixel(info, glyph.data(), w, h, w, scale, scale, shift_x, 0, cps[i]);
            const int ox = static_cast<int>(std::floor(pen)) + x0;
            const int oy = static_cast<int>(std::lround(baseline)) + y0;
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) {
                    const int mx = ox + x, my = oy + y;
                    if (mx < 0 || my < 0 || mx >= mask.width || my >= mask.height)
                        continue;
                    float &a = mask.at(mx, my);
                    a = std::max(a, glyph[static_cast<size_t>(y) * w + x] / 255.0f);
                }
        }
        int advance, bearing;
        stbtt_GetCodepointHMetrics(info, cps[i], &advance, &bearing);
        pen += advance * scale;
        if (i + 1 < cps.size())
            pen += stbtt_GetCodepointKernAdvance(info, cps[i], cps[i + 1]) * scale + tracking;
    }
}

} // namespace picgen
