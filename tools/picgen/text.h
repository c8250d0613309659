// Text set in a TrueType font (stb_truetype) into a coverage Mask.
//
// Depends on: picture.h, stb_truetype (libstb-dev). Limits: one line at a
// time, no shaping beyond the font's kerning pairs; text is UTF-8.
#pragma once

#include <string>
#include <vector>

#include "picture.h"

namespace picgen
{

class Font
{
  public:
    // Reads the font file; ok() tells whether it loaded.
    explicit Font(const std::string &path);
    ~Font();
    Font(const Font &) = delete;
    Font &operator=(const Font &) = delete;

    bool ok() const { return ok_; }
    // Width in pixels of `text` at `pixel_height` (the font's ascent to
    // descent), with `tracking` extra pixels between letters.
    float measure(const std::string &text, float pixel_height, float tracking) const;
    // Height in pixels of a capital letter at `pixel_height`.
    float cap_height(float pixel_height) const;
    // Sets `text` centred on `centre_x` with its baseline at `baseline`,
    // keeping the larger coverage where glyphs meet.
    void draw(Mask &mask, const std::string &text, float pixel_height, float tracking, float centre_x,
              float baseline) const;

  private:
    std::vector<unsigned char> data_;
    void *info_ = nullptr; // stbtt_fontinfo, kept out of this header
    bool ok_ = false;
};

} // namespace picgen
