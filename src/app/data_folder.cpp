// Data folder discovery.
#include "app/data_folder.h"

#include "sound/music.h"

#include <system_error>

namespace fs = std::filesystem;

bool holds_show_files(const fs::path &dir)
{
    static const char *const markers[] = {soundtrack_file, "textures/noise.jpg", "textures/bg05t.jpg"};
    std::error_code ec;
    for (const char *m : markers)
        if (fs::is_regular_file(dir / m, ec))
            return true;
    return false;
}

std::optional<fs::path> find_data_folder(const std::vector<fs::path> &candidates)
{
    for (const fs::path &c : candidates)
        if (!c.empty() && holds_show_files(c))
            return c;
    return std::nullopt;
}

fs::path executable_folder()
{
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::path{} : exe.parent_path();
}
