#include "show/shader_reload.h"

#include "render/shader_program.h"
#include "show/shader_reload_plan.h"

ShaderReload::ShaderReload(ShaderProgram &shaders, std::span<const ShowProgramFiles> programs)
    : shaders_(shaders), programs_(programs), watch_(shader_files_of(programs))
{
}

std::vector<ReloadReport> ShaderReload::poll()
{
    std::vector<ReloadReport> reports;
    for (const std::string &file : watch_.poll()) {
        ReloadReport report;
        report.file = file;
        report.slots = programs_using(file, programs_);
        for (int slot : report.slots) {
            // Build from the table's own entry (both of its files as they are now).
            for (const ShowProgramFiles &p : programs_) {
                if (p.slot.value != slot)
                    continue;
                std::string log;
                const std::string vertex = p.vertex != nullptr ? normal_data_path(p.vertex) : "";
                if (shaders_.rebuild_checked(vertex, normal_data_path(p.fragment), slot, log)) {
                    errors_.erase(slot);
                } else {
                    report.ok = false;
                    report.log += log;
                    errors_[slot] = log;
                }
                break;
            }
        }
        reports.push_back(std::move(report));
    }
    return reports;
}

std::string ShaderReload::current_errors() const
{
    std::string all;
    for (const auto &[slot, log] : errors_)
        all += log;
    return all;
}

std::string reload_report_text(const ReloadReport &report)
{
    std::string slots;
    for (int slot : report.slots)
        slots += " " + std::to_string(slot);
    if (report.ok)
        return "reload " + report.file + ": program" + (report.slots.size() > 1 ? "s" : "") + slots + "\n";
    std::string text = "shader error in " + report.file + ": program" + (report.slots.size() > 1 ? "s" : "") +
                       slots + " keep" + (report.slots.size() > 1 ? "" : "s") + " the last good build\n" +
                       report.log;
    if (text.back() != '\n')
        text += '\n';
    return text;
}
