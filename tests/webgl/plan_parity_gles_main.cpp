// The GLES 3 half of the plan parity test: the WebGL2 backend on Mesa's
// GLES 3 writes its record of the plan steps (plan_parity_driver.h).
// Usage: plan_parity_gles DATA_FOLDER RECORD_FILE. Exit 77: no GLES 3
// context here (the caller skips).
#include "plan_parity_driver.h"
#include "support/gles_test_context.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s DATA_FOLDER RECORD_FILE\n", argv[0]);
        return 2;
    }
    const std::filesystem::path record_file = std::filesystem::absolute(argv[2]);
    std::error_code error;
    std::filesystem::current_path(argv[1], error);
    if (error) {
        std::fprintf(stderr, "cannot enter %s: %s\n", argv[1], error.message().c_str());
        return 2;
    }
    if (const std::string problem = gles_context_problem(); !problem.empty()) {
        std::fprintf(stderr, "%s\n", problem.c_str());
        return 77;
    }
    const std::string record = plan_parity_record();
    std::ofstream out(record_file, std::ios::binary);
    out << record;
    return out.good() ? 0 : 1;
}
