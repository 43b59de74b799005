// The stand-in projector started the way the runner starts it: suspended, its process
// and thread named in a control block, then resumed, so the hook library inside it
// finds its session. Terminated on destruction if still running.
#pragma once

#include <windows.h>

#include <string>

#include "contract/ControlBlock.h"

namespace harness {

class ProjectorProcess {
public:
    // reportPath: the stand-in's STANDIN_REPORT file.
    ProjectorProcess(quindle::TRunnerControlBlock* block, const std::string& reportPath);
    ~ProjectorProcess();
    ProjectorProcess(const ProjectorProcess&) = delete;
    ProjectorProcess& operator=(const ProjectorProcess&) = delete;

    bool Started() const { return started_; }
    HWND FindWindow() const;
    bool Ended() const;

private:
    bool started_ = false;
    PROCESS_INFORMATION info_{};
};

}  // namespace harness
