// contactsheet: renders stills at about twenty scene times spanning every
// scene of the show and lays them out, labelled with their times, in one
// PNG grid: the quickest way to judge the whole show at a glance.
//
//   contactsheet OUT.png [--data DIR] [--cell WxH] [--columns N] [--times T,T,...]
//
// Runs the show's set-up without dialog or sound (the spectrum is decoded
// from the soundtrack when it is there). Needs a GL display (Xvfb works).
// Depends on: app/still.h. Exits 0 when the sheet was written, 1 otherwise.
#include "app/still.h"
#include "record/png_file.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace
{

// Scene times covering every shot and transition of the show.
const std::vector<std::string> default_times = {"3.5", "12",    "23",  "28",  "33",  "38",  "44",
                                                "76",  "92",    "106", "121", "136", "145", "165",
                                                "178", "189.5", "198", "209", "220", "232"};

// A 3 x 5 pixel font for the labels: digits and the decimal point.
const char *glyph(char c)
{
    switch (c) {
    case '0':
        return "111101101101111";
    case '1':
        return "010110010010111";
    case '2':
        return "111001111100111";
    case '3':
        return "111001111001111";
    case '4':
        return "101101111001001";
    case '5':
        return "111100111001111";
    case '6':
        return "111100111101111";
    case '7':
        return "111001010010010";
    case '8':
        return "111101111101111";
    case '9':
        return "111101111001111";
    case '.':
        return "000000000000010";
    default:
        return "000000000000000";
    }
}

void draw_label(std::vector<std::uint8_t> &sheet, int sheet_width, int x0, int y0, const std::string &text)
{
    const int scale = 2;
    const int width = static_cast<int>(text.size()) * 4 * scale + scale;
    for (int y = y0; y < y0 + 5 * scale + 2 * scale; ++y)
        for (int x = x0; x < x0 + width; ++x)
            for (int k = 0; k < 3; ++k)
                sheet[(static_cast<std::size_t>(y) * sheet_width + x) * 3 + k] /= 3; // darken behind the text
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char *g = glyph(text[i]);
        for (int gy = 0; gy < 5; ++gy)
            for (int gx = 0; gx < 3; ++gx) {
                if (g[gy * 3 + gx] != '1')
                    continue;
                for (int dy = 0; dy < scale; ++dy)
                    for (int dx = 0; dx < scale; ++dx) {
                        const int x = x0 + scale + static_cast<int>(i) * 4 * scale + gx * scale + dx;
                        const int y = y0 + scale + gy * scale + dy;
                        for (int k = 0; k < 3; ++k)
                            sheet[(static_cast<std::size_t>(y) * sheet_width + x) * 3 + k] = 255;
                    }
            }
    }
}

std::vector<std::string> split(const std::string &list)
{
    std::vector<std::string> out;
    std::stringstream in(list);
    for (std::string item; std::getline(in, item, ',');)
        if (!item.empty())
            out.push_back(item);
    return out;
}

int usage()
{
    std::fprintf(stderr,
                 "usage: contactsheet OUT.png [--data DIR] [--cell WxH] [--columns N] [--times T,T,...]\n");
    return 1;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2)
        return usage();
    std::string out = fs::absolute(argv[1]).string();
    std::string data = VELLAMOR_SOURCE_DATA_DIR;
    int cell_width = 384, cell_height = 216, columns = 5;
    std::vector<std::string> times = default_times;
    for (int i = 2; i < argc; ++i) {
        const std::string a = argv[i];
        const bool has_value = i + 1 < argc;
        if (a == "--data" && has_value) {
            data = argv[++i];
        } else if (a == "--cell" && has_value) {
            if (std::sscanf(argv[++i], "%dx%d", &cell_width, &cell_height) != 2 || cell_width < 16 ||
                cell_height < 16 || cell_width > 4096 || cell_height > 4096)
                return usage();
        } else if (a == "--columns" && has_value) {
            columns = std::atoi(argv[++i]);
            if (columns < 1 || columns > 64)
                return usage();
        } else if (a == "--times" && has_value) {
            times = split(argv[++i]);
            if (times.empty())
                return usage();
        } else {
            return usage();
        }
    }
    std::error_code ec;
    fs::current_path(data, ec);
    if (ec) {
        std::fprintf(stderr, "contactsheet: cannot enter %s: %s\n", data.c_str(), ec.message().c_str());
        return 1;
    }

    const int rows = (static_cast<int>(times.size()) + columns - 1) / columns;
    const int gap = 4;
    const int sheet_width = columns * cell_width + (columns + 1) * gap;
    const int sheet_height = rows * cell_height + (rows + 1) * gap;
    std::vector<std::uint8_t> sheet(static_cast<std::size_t>(sheet_width) * sheet_height * 3, 40);

    const bool opened = run_offline_show(cell_width, cell_height, [&](OfflineShow &show) {
        if (!show.spectrum_from_music)
            std::fprintf(stderr, "contactsheet: no soundtrack, silent spectrum\n");
        for (std::size_t n = 0; n < times.size(); ++n) {
            show.draw_at(std::stod(times[n]));
            const std::vector<std::uint8_t> frame = show.read_frame();
            const int x0 = gap + static_cast<int>(n % columns) * (cell_width + gap);
            const int y0 = gap + static_cast<int>(n / columns) * (cell_height + gap);
            for (int y = 0; y < cell_height; ++y)
                std::copy_n(frame.begin() + static_cast<std::ptrdiff_t>(y) * cell_width * 3, cell_width * 3,
                            sheet.begin() + (static_cast<std::ptrdiff_t>(y0 + y) * sheet_width + x0) * 3);
            draw_label(sheet, sheet_width, x0, y0, times[n]);
            std::fprintf(stderr, "contactsheet: %s done\n", times[n].c_str());
        }
    });
    if (!opened)
        return 1;
    std::string error;
    if (!write_png(out, sheet_width, sheet_height, sheet, error)) {
        std::fprintf(stderr, "contactsheet: cannot write %s: %s\n", out.c_str(), error.c_str());
        return 1;
    }
    std::printf("%s\n", out.c_str());
    return 0;
}
