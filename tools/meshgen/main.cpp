// meshgen: writes the show's four meshes into a folder.
//
//   meshgen OUT_DIR [--seed N] [--only city|insect|leaves|title]
//
// The same seed always gives byte-identical files; the committed files in
// data/neomeshes/ were made with the default seed.
// Depends on: meshes.h. Limits: exits 1 on a bad argument, 2 when a file
// cannot be written.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "meshes.h"

namespace
{

constexpr unsigned long long kDefaultSeed = 8;

bool write_file(const std::string &path, const std::string &text)
{
    std::FILE *f = std::fopen(path.c_str(), "wb");
    if (!f) {
        std::fprintf(stderr, "meshgen: cannot write %s\n", path.c_str());
        return false;
    }
    const bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    return std::fclose(f) == 0 && ok;
}

int usage()
{
    std::fprintf(stderr, "usage: meshgen OUT_DIR [--seed N] [--only city|insect|leaves|title]\n");
    return 1;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2)
        return usage();
    const std::string out = argv[1];
    unsigned long long seed = kDefaultSeed;
    std::string only;
    for (int i = 2; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--seed") && i + 1 < argc) {
            char *end = nullptr;
            seed = std::strtoull(argv[++i], &end, 10);
            if (!end || *end)
                return usage();
        } else if (!std::strcmp(argv[i], "--only") && i + 1 < argc) {
            only = argv[++i];
        } else {
            return usage();
        }
    }
    struct Job {
        const char *name;
        const char *file;
    };
    const Job jobs[] = {
        {"city", "thecity.obj"}, {"insect", "vannel.obj"}, {"leaves", "leaves.obj"}, {"title", "title.obj"}};
    bool known = only.empty();
    for (const Job &job : jobs) {
        if (!only.empty() && only != job.name)
            continue;
        known = true;
        std::string text;
        const std::string name = job.name;
        if (name == "city") {
            meshgen::MeshStats stats;
            text = meshgen::make_city(seed, &stats);
            std::fprintf(stderr, "meshgen: city with %d buildings\n", stats.buildings);
        } else if (name == "insect") {
            text = meshgen::make_insect(seed);
        } else if (name == "leaves") {
            text = meshgen::make_leaves(seed);
        } else {
            text = meshgen::make_title();
        }
        if (!write_file(out + "/" + job.file, text))
            return 2;
    }
    return known ? 0 : usage();
}
