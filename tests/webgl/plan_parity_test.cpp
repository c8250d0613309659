// The two backends of the drawing interface, handed the same frame plans
// (plan_parity_driver.h), leave every program with the same uniform values
// and its samplers on the same units with the same textures bound; the
// WebGL2 backend's stand-in matrices hold what GL 2's own matrix state
// holds. The GL 2 record is made here; the GLES 3 one by plan_parity_gles
// in its own process (one process cannot hold both libraries' contexts).
#include "plan_parity_driver.h"
#include "support/gl_test_context.h"
#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <spawn.h>
#include <sys/wait.h>

namespace
{

// Step label -> "kind name" -> the rest of the line.
using Record = std::map<std::string, std::map<std::string, std::vector<std::string>>>;

Record parse(const std::string &text)
{
    Record record;
    std::istringstream lines(text);
    std::string line, step;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        std::string kind, name, word;
        words >> kind;
        if (kind == "step") {
            step = line.substr(5);
            record[step];
            continue;
        }
        words >> name;
        std::vector<std::string> rest;
        while (words >> word)
            rest.push_back(word);
        record[step][kind + " " + name] = rest;
    }
    return record;
}

// Equal within 1e-6, relative to the values' size where they exceed 1.
bool close(const std::vector<std::string> &a, const std::vector<std::string> &b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t k = 0; k < a.size(); ++k) {
        char *end_a = nullptr, *end_b = nullptr;
        const double x = std::strtod(a[k].c_str(), &end_a), y = std::strtod(b[k].c_str(), &end_b);
        if (*end_a != '\0' || *end_b != '\0') {
            if (a[k] != b[k])
                return false;
        } else if (std::fabs(x - y) > 1e-6 * std::fmax(1.0, std::fmax(std::fabs(x), std::fabs(y)))) {
            return false;
        }
    }
    return true;
}

std::string joined(const std::vector<std::string> &words)
{
    std::string out;
    for (const std::string &w : words)
        out += " " + w;
    return out;
}

std::string read_file(const std::filesystem::path &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Runs the GLES 3 recorder with its output in `log`; its wait status, or -1
// when it cannot start. No shell: the paths go to it as they are.
int run_gles_recorder(const std::string &data, const std::filesystem::path &record,
                      const std::filesystem::path &log)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    std::string program = VELLAMOR_PLAN_PARITY_GLES, folder = data, file = record.string();
    char *argv[] = {program.data(), folder.data(), file.data(), nullptr};
    pid_t child = 0;
    const int failed = posix_spawn(&child, program.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = -1;
    if (failed != 0 || waitpid(child, &status, 0) != child)
        return -1;
    return status;
}

class PlanParity : public GlTest
{
};

TEST_F(PlanParity, both_backends_leave_the_plans_uniforms_textures_and_matrices_alike)
{
    const ScratchFolder scratch("plan_parity");
    const std::filesystem::path gles_record = scratch.path() / "gles.txt";
    const std::filesystem::path gles_log = scratch.path() / "gles.log";
    const std::string data = std::string(VELLAMOR_SOURCE_DIR) + "/data";
    const int status = run_gles_recorder(data, gles_record, gles_log);
    ASSERT_NE(status, -1) << "cannot run " << VELLAMOR_PLAN_PARITY_GLES;
    if (WIFEXITED(status) && WEXITSTATUS(status) == 77)
        GTEST_SKIP() << read_file(gles_log);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << read_file(gles_log);

    const std::filesystem::path here = std::filesystem::current_path();
    std::filesystem::current_path(data);
    const std::string desktop_text = plan_parity_record();
    std::filesystem::current_path(here);

    const Record desktop = parse(desktop_text), gles = parse(read_file(gles_record));
    ASSERT_GE(desktop.size(), 20u) << desktop_text;
    ASSERT_EQ(desktop.size(), gles.size());
    int samplers = 0, matrices = 0;
    for (const auto &[step, d] : desktop) {
        ASSERT_TRUE(gles.contains(step)) << step;
        const auto &g = gles.at(step);
        for (const auto &[key, values] : d) {
            if (key.rfind("fixed ", 0) == 0)
                continue;
            samplers += key.rfind("sampler ", 0) == 0;
            ASSERT_TRUE(g.contains(key)) << step << ": the GLES 3 program lacks " << key;
            EXPECT_TRUE(close(values, g.at(key))) << step << ": " << key << "\n  GL 2:  " << joined(values)
                                                  << "\n  GLES 3:" << joined(g.at(key));
        }
        for (const auto &[key, values] : g) {
            if (key.rfind("fixed ", 0) != 0) {
                EXPECT_TRUE(d.contains(key)) << step << ": only the GLES 3 program has " << key;
                continue;
            }
            ++matrices;
            ASSERT_TRUE(d.contains(key)) << step << ": no GL 2 state for " << key;
            EXPECT_TRUE(close(values, d.at(key))) << step << ": " << key << "\n  GL 2:  " << joined(d.at(key))
                                                  << "\n  GLES 3:" << joined(values);
        }
    }
    // The record reads the programs: the steps bind textures and read matrices.
    EXPECT_GT(samplers, 20);
    EXPECT_GT(matrices, 10);
}

} // namespace
