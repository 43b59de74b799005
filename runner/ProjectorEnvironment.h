// The environment variables the runner hands to the projector (and with it to the hook
// library running inside it). The projector inherits the runner's environment, so they
// are set in the runner's own environment just before the process is created.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace quindle {

using TEnvironmentList = std::vector<std::pair<std::string, std::string>>;

// Set before the working directory is chosen: who the runner is.
struct TRunnerEnvironment {
    std::string ExePath;  // full path of the running runner executable
    std::string ExeName;  // its file name: a variable of that name holds the runner window
    uint32_t ProcessId = 0;
    uint32_t RunnerWnd = 0;
};

// Set once the projector path is final: where things are.
struct TProjectorPaths {
    std::string ProjectorPath;  // the executable that is started
    std::string RunDir;         // with its trailing backslash
    std::string InitialDir;     // the projector's working directory, without one
};

// Numbers are signed decimal, as a 32-bit handle or id reads when taken as signed.
TEnvironmentList RunnerEnvironment(const TRunnerEnvironment& runner);
TEnvironmentList ProjectorPathsEnvironment(const TProjectorPaths& paths);

}  // namespace quindle
