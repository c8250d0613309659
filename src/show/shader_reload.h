// Author mode's live shader reload: watches the files the show's programs
// are built from and, when one changes, rebuilds every program that uses
// it before the next frame. A program that fails to compile or link keeps
// its last working build (the picture goes on), and the failure is kept as
// that program's current error until a later build of it succeeds.
// Depends on: runtime/file_watch.h, show/shader_reload_plan.h,
// render/ShaderProgram (GL). GL thread only; paths are relative to the
// working directory, which is the data folder while the show runs.
#pragma once

#include "runtime/file_watch.h"
#include "show/part_start_setup.h"

#include <map>
#include <span>
#include <string>
#include <vector>

class ShaderProgram;

struct ReloadReport {
    std::string file;       // the changed file, in normal spelling
    std::vector<int> slots; // programs rebuilt for it
    bool ok = true;         // every one of them built
    std::string log;        // what failed (compiler and linker logs)
};

class ShaderReload
{
  public:
    ShaderReload(ShaderProgram &shaders, std::span<const ShowProgramFiles> programs);

    // Looks at the files once; one report per changed file that a program
    // uses, in the order the files are watched.
    std::vector<ReloadReport> poll();

    // The errors of the programs that are broken now, one after another;
    // empty when every rebuilt program works.
    std::string current_errors() const;

  private:
    ShaderProgram &shaders_;
    std::span<const ShowProgramFiles> programs_;
    FileWatch watch_;
    std::map<int, std::string> errors_; // by slot
};

// The lines author mode prints for a report: "reload FILE: programs 21 23"
// or "shader error in FILE: program 21 keeps its last good build" and the log.
std::string reload_report_text(const ReloadReport &report);
