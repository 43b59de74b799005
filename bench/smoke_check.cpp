// Helper of scripts/smoke-win32.sh, run under 64-bit Wine beside the 32-bit programs:
// starts a packaged presentation (the 32-bit runner and hook library with the 64-bit
// stand-in projector) STARTS times with a private temporary folder, and for each start
// checks the runner window with the projector inside, the control block the runner
// wrote (its hooks from the hook library, both windows, both processes), the close and
// the clean-up, printing how long the start took.
// The hook library's own duties run only inside the projector's process, which a 32-bit
// library cannot enter when the projector is 64-bit: the ready notice never comes here,
// and the runner must govern and close the show without it.
//   smoke_check.exe SHOW.exe [STARTS]       exit code 0 when every start passed
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/harness/Harness.h"
#include "tests/harness/Presentation.h"
#include "tests/harness/ShowRuns.h"

namespace {

using harness::Program;

// Under qemu user emulation a 32-bit start takes a minute or more.
constexpr DWORD kStartLimitMs = 600000;
constexpr DWORD kEndLimitMs = 120000;

uint32_t Handle32(HWND window) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(window)); }

// One start; prints what it saw and returns whether everything held.
bool CheckOneStart(const std::string& show, int number) {
    harness::ScratchDir temp("qsmoke");
    const double started = harness::NowMs();
    Program runner = Program::Start(show, "", {{"TMP", temp.Path()}, {"TEMP", temp.Path()}});
    if (!runner.Started()) {
        std::printf("start %d: could not start %s\n", number, show.c_str());
        return false;
    }
    std::vector<std::string> faults;
    const HWND runnerWnd = harness::WaitForRunnerWindow(runner.Pid(), true, kStartLimitMs);
    const HWND projector = runnerWnd ? harness::WaitForEmbeddedProjector(runnerWnd, kStartLimitMs) : nullptr;
    const double seconds = (harness::NowMs() - started) / 1000.0;
    if (!projector) faults.push_back("the projector never showed inside the runner window");

    if (projector) {
        std::optional<quindle::TRunnerControlBlock> block;
        harness::WaitUntil([&] { return (block = harness::ReadControlBlock("_QGL_RT")) && block->Supervising == 1; },
                           kStartLimitMs);
        DWORD projectorPid = 0;
        ::GetWindowThreadProcessId(projector, &projectorPid);
        if (!block)
            faults.push_back("no control block \"NimbrelRunnerMapping_QGL_RT\"");
        else if (block->Supervising != 1)
            faults.push_back("the runner never began supervising");
        else {
            if (!block->MouseHook || !block->KeyboardHook || !block->CbtHook || !block->MessageHook)
                faults.push_back("a system-wide hook of the hook library is missing from the block");
            if (block->RunnerWnd != Handle32(runnerWnd) || block->ProjectorWnd != Handle32(projector))
                faults.push_back("the control block names other windows");
            if (block->RunnerProcessId != runner.Pid() || block->ProjectorProcessId != projectorPid)
                faults.push_back("the control block names other processes");
            if (block->Ready) std::printf("start %d: the ready notice came, against expectation\n", number);
        }
        if (!harness::DirExists(temp.Path() + "Qgl_Rt")) faults.push_back("no run directory Qgl_Rt");
        ::PostMessageA(runnerWnd, WM_USER + 12, 0, 0);
    }
    const double closing = harness::NowMs();
    const std::optional<DWORD> exitCode = runner.WaitExit(projector ? kEndLimitMs : 0);
    const double closeSeconds = (harness::NowMs() - closing) / 1000.0;
    if (exitCode != std::optional<DWORD>(0))
        faults.push_back(exitCode ? "exit code " + std::to_string(*exitCode) : std::string("the runner did not end"));
    if (!harness::WaitUntil([&] { return harness::ListDir(temp.Path()).empty(); }, 10000))
        faults.push_back("left in the temporary folder: " + harness::ListDir(temp.Path()).front());
    if (harness::MappingExists("NimbrelRunnerMapping_QGL_RT")) faults.push_back("the control block mapping is left");

    std::printf("start %d: projector shown after %.1f s, runner ended %.1f s after the close notice; %s\n", number,
                seconds, closeSeconds, faults.empty() ? "ok" : "FAILED");
    for (const std::string& fault : faults) std::printf("  %s\n", fault.c_str());
    std::fflush(stdout);
    return faults.empty();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::printf("usage: smoke_check.exe SHOW.exe [STARTS]\n");
        return 2;
    }
    const int starts = argc > 2 ? std::atoi(argv[2]) : 2;
    int failed = 0;
    for (int i = 1; i <= starts; ++i) failed += CheckOneStart(argv[1], i) ? 0 : 1;
    std::printf("%d of %d starts passed\n", starts - failed, starts);
    return failed == 0 ? 0 : 1;
}
