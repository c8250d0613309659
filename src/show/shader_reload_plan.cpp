#include "show/shader_reload_plan.h"

#include <algorithm>

std::string normal_data_path(const std::string &path)
{
    std::string out;
    std::size_t i = 0;
    while (i < path.size()) {
        std::size_t end = path.find_first_of("/\\", i);
        if (end == std::string::npos)
            end = path.size();
        const std::string part = path.substr(i, end - i);
        if (!part.empty() && part != ".") {
            if (!out.empty())
                out += '/';
            out += part;
        }
        i = end + 1;
    }
    if (!path.empty() && (path.front() == '/' || path.front() == '\\'))
        out.insert(out.begin(), '/');
    return out;
}

std::vector<int> programs_using(const std::string &changed_file, std::span<const ShowProgramFiles> programs)
{
    const std::string changed = normal_data_path(changed_file);
    std::vector<int> slots;
    for (const ShowProgramFiles &p : programs) {
        const bool vertex = p.vertex != nullptr && normal_data_path(p.vertex) == changed;
        const bool fragment = p.fragment != nullptr && normal_data_path(p.fragment) == changed;
        if ((vertex || fragment) && std::find(slots.begin(), slots.end(), p.slot.value) == slots.end())
            slots.push_back(p.slot.value);
    }
    return slots;
}

std::vector<std::string> shader_files_of(std::span<const ShowProgramFiles> programs)
{
    std::vector<std::string> files;
    auto add = [&](const char *file) {
        if (file == nullptr)
            return;
        std::string f = normal_data_path(file);
        if (std::find(files.begin(), files.end(), f) == files.end())
            files.push_back(std::move(f));
    };
    for (const ShowProgramFiles &p : programs) {
        add(p.vertex);
        add(p.fragment);
    }
    return files;
}
