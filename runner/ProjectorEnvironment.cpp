// The names and values of the variables the projector inherits from the runner.
#include "runner/ProjectorEnvironment.h"

namespace quindle {

namespace {

std::string SignedDecimal(uint32_t value) { return std::to_string(static_cast<int32_t>(value)); }

}  // namespace

TEnvironmentList RunnerEnvironment(const TRunnerEnvironment& runner) {
    return {
        {"QuindleLocalDir_Engine", runner.ExePath},
        {"QuindleEngine_ID", SignedDecimal(runner.ProcessId)},
        {"QuindleEngine_WH", SignedDecimal(runner.RunnerWnd)},
        {runner.ExeName, SignedDecimal(runner.RunnerWnd)},
    };
}

TEnvironmentList ProjectorPathsEnvironment(const TProjectorPaths& paths) {
    return {
        {"QuindleLocalDir_Projector", paths.ProjectorPath},
        {"QuindleLocalDir_RootDir", paths.RunDir},
        {"QuindleLocalDir_InitialDir", paths.InitialDir},
    };
}

}  // namespace quindle
