// Runs the quindle-pack built beside the test program, capturing its output and exit code.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace quindle::testing {

struct ToolRun {
    int code;
    std::string output;  // stdout and stderr
};

inline std::string PackTool() {
    char self[4096];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    return std::filesystem::path(std::string(self, size_t(n > 0 ? n : 0))).parent_path() / "quindle-pack";
}

inline std::string Quote(const std::string& arg) {
    std::string q = "'";
    for (char c : arg) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// stdoutOnly: stderr is dropped, for output that must parse.
inline ToolRun Pack(const std::vector<std::string>& args, bool stdoutOnly = false) {
    std::string command = Quote(PackTool());
    for (const std::string& a : args) command += " " + Quote(a);
    command += stdoutOnly ? " 2>/dev/null" : " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    ToolRun run{-1, ""};
    if (!pipe) return run;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) run.output.append(buffer, n);
    const int status = pclose(pipe);
    run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

}  // namespace quindle::testing
