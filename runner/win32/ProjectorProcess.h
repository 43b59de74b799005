// The projector process and its window: launch, discovery, restyle, first show and
// supervision until the process ends, and the ways of asking it to close. The runner
// never terminates the projector: it asks.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "base/win32/Handles.h"
#include "contract/ControlBlock.h"
#include "package/RunDirFiles.h"
#include "settings/ProjectSettings.h"
#include "window/win32/RunnerWindow.h"

namespace quindle {

// Where the projector comes from and who starts it.
struct TProjectorLaunch {
    std::string RunDir;               // with its trailing backslash
    std::string ProjectorFile;        // as extracted into RunDir
    std::string ProjectorStoredName;  // as the session names it
    bool StartInCurrentDir = false;
    std::string ExePath;  // the runner's executable
    std::string ExeName;
    IRunDirFiles* Files = nullptr;
    // Once the process exists and before it runs (the start-of-run mute): never when
    // the projector does not start.
    std::function<void()> BeforeResume;
    // The projector window found, hidden and its input attached, not yet restyled
    // (the start-up command).
    std::function<void()> BeforeRestyle;
};

class TProjectorProcess {
public:
    TProjectorProcess(TRunnerWindow& window, const TProjectSettings& settings);
    TProjectorProcess(const TProjectorProcess&) = delete;
    TProjectorProcess& operator=(const TProjectorProcess&) = delete;

    // Launch, discovery, first show and supervision; returns when the process has ended
    // or one of the steps failed.
    void LaunchAndSupervise(const TProjectorLaunch& launch);

    // The message hook while the projector runs: a graceful close on RunnerMsg.
    void OnRunnerMessage(MSG& message, bool& handled);
    // Asks the projector to close: input detached first, then WM_CLOSE posted.
    void CloseProjector();
    // The projector's window: the restyle that takes it in, the z-order step of every
    // supervision pass, raising the runner window on request.
    void RestyleProjectorWindow();
    void ZOrderStep();
    void RaiseRunnerWindow();
    // The ready notice from the hook library.
    void OnReady();
    // Clean-up: the projector's input leaves this thread, the handles are closed.
    void DetachInput();
    void CloseHandles();

    bool ProjectorHasForeground() const { return ProjectorWnd && ::GetForegroundWindow() == ProjectorWnd; }

    HWND ProjectorWnd = nullptr;
    DWORD ProjectorThreadId = 0;                  // cleared once a close request was taken
    TRunnerControlBlock* ControlBlock = nullptr;  // the session's mapped view, or null
    UINT RunnerMsg = 0;
    UINT FullScreenCmd = 0;
    bool Aborted = false;
    bool ProjectorReady = false;
    bool ProjectorShown = false;

private:
    bool LaunchProjector(const TProjectorLaunch& launch);
    bool DiscoverProjectorWindow(const TProjectorLaunch& launch);
    void FirstShow();
    void SuperviseProjector();

    TRunnerWindow& window_;
    const TProjectSettings& settings_;
    TUniqueHandle process_;
    TUniqueHandle thread_;
};

}  // namespace quindle
