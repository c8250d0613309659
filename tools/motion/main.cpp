// motion: measures of a stretch of the show, from frames drawn offline.
//
//   motion FROM TO [--size WxH] [--flicker SECONDS] [--data DIR]   (default 320x180)
//
// For every whole second t from FROM to TO it prints the mean brightness
// of the frame (0-255, all channels) and its coarse change over 4 s: both
// frames averaged down to 32 x 18, the mean absolute difference between
// them divided by their mean brightness (frames t - 4 and t). Then the
// median change, the share of seconds at 0.10 or more, and the mean
// brightness over the range. With --flicker S it also draws S seconds at
// 30 frames a second from FROM and prints the largest frame-to-frame
// change of mean brightness, relative to the brighter frame.
// Needs a GL display (Xvfb works). Exits 0 when the frames were drawn.
#include "app/still.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace
{

using Frame = std::vector<std::uint8_t>;

double brightness(const Frame &rgb)
{
    double sum = 0;
    for (std::uint8_t v : rgb)
        sum += v;
    return rgb.empty() ? 0.0 : sum / static_cast<double>(rgb.size());
}

// Area average down to 32 x 18 (RGB, floats).
std::vector<double> coarse(const Frame &rgb, int width, int height)
{
    constexpr int cw = 32, ch = 18;
    std::vector<double> sum(cw * ch * 3, 0.0), count(cw * ch, 0.0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int cell = (y * ch / height) * cw + x * cw / width;
            for (int k = 0; k < 3; ++k)
                sum[cell * 3 + k] += rgb[(static_cast<std::size_t>(y) * width + x) * 3 + k];
            count[cell] += 1.0;
        }
    }
    for (std::size_t i = 0; i < sum.size(); ++i)
        sum[i] /= std::max(count[i / 3], 1.0);
    return sum;
}

double coarse_change(const std::vector<double> &a, const std::vector<double> &b, double mean_brightness)
{
    double diff = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        diff += std::fabs(a[i] - b[i]);
    diff /= static_cast<double>(a.size());
    return mean_brightness > 0.0 ? diff / mean_brightness : 0.0;
}

int usage()
{
    std::fprintf(stderr, "usage: motion FROM TO [--size WxH] [--flicker SECONDS] [--data DIR]\n");
    return 1;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 3)
        return usage();
    char *end = nullptr;
    const double from = std::strtod(argv[1], &end);
    if (*end != '\0')
        return usage();
    const double to = std::strtod(argv[2], &end);
    if (*end != '\0' || !(from >= 4.0) || !(to >= from) || to > 260.0)
        return usage();
    int width = 320, height = 180;
    double flicker = 0.0;
    std::string data = VELLAMOR_SOURCE_DATA_DIR;
    for (int i = 3; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--size" && i + 1 < argc) {
            if (std::sscanf(argv[++i], "%dx%d", &width, &height) != 2 || width < 32 || height < 18 ||
                width > 4096 || height > 4096)
                return usage();
        } else if (a == "--flicker" && i + 1 < argc) {
            flicker = std::strtod(argv[++i], &end);
            if (*end != '\0' || !(flicker >= 0.0) || flicker > 30.0)
                return usage();
        } else if (a == "--data" && i + 1 < argc) {
            data = argv[++i];
        } else {
            return usage();
        }
    }
    std::error_code error;
    std::filesystem::current_path(data, error);
    if (error) {
        std::fprintf(stderr, "motion: cannot enter %s: %s\n", data.c_str(), error.message().c_str());
        return 1;
    }

    const bool ok = run_offline_show(width, height, [&](OfflineShow &show) {
        const auto draw = [&](double t) {
            show.draw_at(t);
            return show.read_frame();
        };
        // Every frame from FROM - 4 on, drawn once and kept coarse.
        std::vector<std::vector<double>> coarse_frames;
        std::vector<double> brightnesses;
        for (double t = from - 4.0; t <= to + 1e-9; t += 1.0) {
            const Frame frame = draw(t);
            coarse_frames.push_back(coarse(frame, width, height));
            brightnesses.push_back(brightness(frame));
        }
        std::vector<double> changes;
        double total_brightness = 0;
        std::printf("%8s %10s %10s\n", "T", "brightness", "change 4s");
        for (std::size_t k = 4; k < coarse_frames.size(); ++k) {
            const double b = brightnesses[k];
            const double change =
                coarse_change(coarse_frames[k], coarse_frames[k - 4], 0.5 * (b + brightnesses[k - 4]));
            changes.push_back(change);
            total_brightness += b;
            std::printf("%8.1f %10.2f %10.3f\n", from + static_cast<double>(k - 4), b, change);
        }
        std::vector<double> sorted = changes;
        std::sort(sorted.begin(), sorted.end());
        const auto lively = std::count_if(changes.begin(), changes.end(), [](double c) { return c >= 0.10; });
        std::printf("median change %.3f, %.0f %% of seconds at 0.10 or more, mean brightness %.2f\n",
                    sorted[sorted.size() / 2],
                    100.0 * static_cast<double>(lively) / static_cast<double>(changes.size()),
                    total_brightness / static_cast<double>(changes.size()));
        if (flicker > 0.0) {
            double worst = 0, at = from, previous = brightness(draw(from));
            for (int f = 1; f <= static_cast<int>(flicker * 30.0); ++f) {
                const double t = from + f / 30.0, b = brightness(draw(t));
                const double swing = std::fabs(b - previous) / std::max({b, previous, 1e-9});
                if (swing > worst) {
                    worst = swing;
                    at = t;
                }
                previous = b;
            }
            std::printf("largest frame-to-frame brightness change over %.1f s from %.1f: %.1f %% (at %.2f)\n",
                        flicker, from, 100.0 * worst, at);
        }
    });
    return ok ? 0 : 1;
}
