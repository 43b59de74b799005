// Starts the stand-in projector for hook library tests.
#include "tests/harness/ProjectorProcess.h"

#include "tests/harness/Harness.h"

namespace harness {

ProjectorProcess::ProjectorProcess(quindle::TRunnerControlBlock* block, const std::string& reportPath) {
    ::SetEnvironmentVariableA("STANDIN_REPORT", reportPath.c_str());
    STARTUPINFOA si{};
    si.cb = sizeof si;
    const std::string exe = BinDir() + "standin.exe";
    started_ = ::CreateProcessA(exe.c_str(), nullptr, nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr, &si,
                                &info_) != FALSE;
    ::SetEnvironmentVariableA("STANDIN_REPORT", nullptr);
    if (!started_) return;
    block->ProjectorProcessId = info_.dwProcessId;
    block->ProjectorThreadId = info_.dwThreadId;
    ::ResumeThread(info_.hThread);
}

ProjectorProcess::~ProjectorProcess() {
    if (!started_) return;
    if (::WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) ::TerminateProcess(info_.hProcess, 9);
    ::CloseHandle(info_.hThread);
    ::CloseHandle(info_.hProcess);
}

HWND ProjectorProcess::FindWindow() const { return WaitForTopWindow("ShockwaveFlash", "", info_.dwProcessId); }

bool ProjectorProcess::Ended() const { return ::WaitForSingleObject(info_.hProcess, 0) == WAIT_OBJECT_0; }

}  // namespace harness
