// The runner cycle and the program entry loop.
#include "runner/win32/RunOnce.h"

#include <exception>
#include <memory>
#include <string>

#include "base/Timing.h"
#include "base/win32/SystemPaths.h"
#include "runner/win32/Globals.h"
#include "runner/win32/Runner.h"
#include "runner/win32/Pump.h"

namespace quindle {

namespace {

std::string FirstCommandLineArgument() { return __argc > 1 && __argv[1] ? std::string(__argv[1]) : std::string(); }

}  // namespace

void PumpUntilQuit(HWND owner) {
    while (!QuitFlag) {
        try {
            PumpOneMessage();
        } catch (const std::exception& error) {
            const std::string text = std::string("Exception occured: ") + error.what();
            ::MessageBoxA(owner, text.c_str(), "Error", MB_OK);
        } catch (...) {
            ::MessageBoxA(owner, "Exception occured: ", "Error", MB_OK);
        }
    }
}

void RunOnce() {
    auto runner = std::make_unique<TRunner>(OwnExecutablePath(), FirstCommandLineArgument());
    runner->InitRunner();
    PumpUntilQuit(runner->Window().RunnerWnd());
    try {
        runner->FreeRunner();
    } catch (...) {
        // Teardown goes on whatever failed.
    }
    ::Sleep(kSettleMs);
    // The show's clean-up tried already; the library may have been in use then.
    const std::string hookLibPath = runner->HookLibPath();
    if (!hookLibPath.empty()) ::DeleteFileA(hookLibPath.c_str());
}

int RunProgram() {
    InitPlatformFlags();
    try {
        while (RestartFlag) {
            QuitFlag = false;
            RestartFlag = false;
            RunOnce();
        }
    } catch (const std::exception& error) {
        ::MessageBoxA(nullptr, error.what(), "Application Error", MB_OK | MB_ICONERROR);
        return 1;
    }
    return 0;
}

}  // namespace quindle
