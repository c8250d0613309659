// picgen: writes the show's four pictures into a folder.
//
//   picgen OUT_DIR [--font FILE.ttf] [--only bg05t|letters|zvxr|noise]
//
// bg05t.jpg is progressive, letters.jpg and noise.jpg carry restart
// markers, and the four use the four chroma samplings between them, so the
// show exercises every decoding path. Text is set in DejaVu Sans Bold by
// default; the same font file gives byte-identical pictures.
// Depends on: pictures.h, jpeg_writer.h. Limits: exits 1 on a bad
// argument, 2 when a file cannot be written, 3 when the font is missing.
#include <cstdio>
#include <cstring>
#include <string>

#include "jpeg_writer.h"
#include "pictures.h"

namespace
{

constexpr const char *kDefaultFont = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";

int usage()
{
    std::fprintf(stderr, "usage: picgen OUT_DIR [--font FILE.ttf] [--only bg05t|letters|zvxr|noise]\n");
    return 1;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2)
        return usage();
    const std::string out = argv[1];
    std::string font_path = kDefaultFont, only;
    for (int i = 2; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--font") && i + 1 < argc)
            font_path = argv[++i];
        else if (!std::strcmp(argv[i], "--only") && i + 1 < argc)
            only = argv[++i];
        else
            return usage();
    }
    if (!only.empty() && only != "bg05t" && only != "letters" && only != "zvxr" && only != "noise")
        return usage();
    const picgen::Font font(font_path);
    if (!font.ok()) {
        std::fprintf(stderr, "picgen: cannot read the font %s\n", font_path.c_str());
        return 3;
    }
    struct Job {
        const char *name;
        picgen::JpegOptions options;
    };
    // quality, progressive, luma h, luma v, restart rows, optimise
    const Job jobs[] = {
        {"bg05t", {90, true, 2, 2, 0, false}},
        {"letters", {94, false, 2, 1, 4, false}},
        {"zvxr", {94, false, 1, 1, 0, true}},
        {"noise", {92, false, 1, 2, 2, true}},
    };
    for (const Job &job : jobs) {
        const std::string name = job.name;
        if (!only.empty() && only != name)
            continue;
        const picgen::Picture picture = name == "bg05t"     ? picgen::paint_background()
                                        : name == "letters" ? picgen::paint_letters(font)
                                        : name == "zvxr"    ? picgen::paint_logo(font)
                                                            : picgen::paint_noise();
        std::string error;
        if (!picgen::write_jpeg(out + "/" + name + ".jpg", picture, job.options, error)) {
            std::fprintf(stderr, "picgen: %s\n", error.c_str());
            return 2;
        }
    }
    return 0;
}
