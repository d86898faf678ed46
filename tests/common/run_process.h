// Runs a built program of the project and collects its exit status and standard error.
#pragma once

#include <string>
#include <vector>

struct ProcessResult {
    int status;          // exit status, or -1 when it did not exit normally
    std::string output;  // standard error and standard output together
};

// Runs `program` (a path) with `args` in `directory`, with the given extra environment
// entries ("NAME=value"), SDL's dummy drivers and a time limit.
ProcessResult run_process(const std::string& program, const std::vector<std::string>& args,
                          const std::string& directory = ".", const std::vector<std::string>& env = {},
                          int timeout_seconds = 60);

// A fresh temporary folder, removed with its contents when the object goes.
struct TempDir {
    std::string path;
    TempDir();
    ~TempDir();
    std::string file(const std::string& name) const { return path + "/" + name; }
    void write(const std::string& name, const std::string& contents) const;
    std::string read(const std::string& name) const;
};
