// Process runner and temporary folders for tests.
#include "tests/common/run_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

ProcessResult run_process(const std::string& program, const std::vector<std::string>& args,
                          const std::string& directory, const std::vector<std::string>& env, int timeout_seconds) {
    int pipefd[2];
    if (pipe(pipefd) != 0) return {-1, "pipe failed"};
    pid_t pid = fork();
    if (pid == 0) {
        dup2(pipefd[1], 1);
        dup2(pipefd[1], 2);
        close(pipefd[0]);
        close(pipefd[1]);
        if (chdir(directory.c_str()) != 0) _exit(127);
        setenv("SDL_VIDEO_DRIVER", "dummy", 1);
        setenv("SDL_AUDIO_DRIVER", "dummy", 1);
        for (const std::string& e : env) putenv(strdup(e.c_str()));
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(program.c_str()));
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        alarm(unsigned(timeout_seconds));
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    close(pipefd[1]);
    std::string output;
    char buf[4096];
    ssize_t n;
    while ((n = read(pipefd[0], buf, sizeof buf)) > 0) output.append(buf, size_t(n));
    close(pipefd[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

TempDir::TempDir() {
    char templ[] = "/tmp/dravo-test-XXXXXX";
    char* made = mkdtemp(templ);
    path = made ? made : "/tmp";
}

TempDir::~TempDir() {
    std::error_code ec;
    if (path != "/tmp") std::filesystem::remove_all(path, ec);
}

void TempDir::write(const std::string& name, const std::string& contents) const {
    std::filesystem::path p = file(name);
    std::filesystem::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary);
    out << contents;
}

std::string TempDir::read(const std::string& name) const {
    std::ifstream in(file(name), std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}
