// The projector process and its window: launch, discovery, restyle, first show and
// supervision until the process ends, and the ways of asking it to close. One per show,
// owned by it. The runner never terminates the projector: it asks.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "base/win32/Handles.h"
#include "contract/ControlBlock.h"
#include "package/RunDirFiles.h"
#include "settings/ProjectSettings.h"
#include "window/win32/RunnerWindow.h"
#include "window/win32/WindowCreationWatch.h"

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
    UINT RunnerMsg = 0;  // "NimbrelRunnerMessage" + the instance tag: a graceful close
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

    // Asks the projector to close: input detached first, then WM_CLOSE posted.
    void CloseProjector();
    // The projector's window: the restyle that takes it in, the z-order step of every
    // supervision pass, raising the runner window on request.
    void RestyleProjectorWindow();
    void ZOrderStep();
    void RaiseRunnerWindow();
    // The ready notice from the hook library: the block's ready byte, which the
    // supervision acts on.
    void OnReady();
    // Clean-up: the projector's input leaves this thread, the handles are closed.
    void DetachInput();
    void CloseHandles();

    bool ProjectorHasForeground() const { return ProjectorWnd && ::GetForegroundWindow() == ProjectorWnd; }

    HWND ProjectorWnd = nullptr;
    DWORD ProjectorThreadId = 0;  // cleared once a close request was taken
    // The show's mapped control block while the projector may use it: the show hands it
    // over once its hooks are set up and takes it back before the view is unmapped.
    TRunnerControlBlock* ControlBlock = nullptr;
    // The first supervision pass after the ready notice is done: the window order is
    // settled, the music asked for and close requests are taken.
    bool ProjectorShown = false;

private:
    bool StartSuspended(const TProjectorLaunch& launch);
    void PrepareStart(const TProjectorLaunch& launch, std::string& projectorPath, std::string& initialDir);
    void ResumeProjector(const TProjectorLaunch& launch);
    bool FindProjectorWindow(TWindowCreationWatch& creations);
    void TakeInProjectorWindow(const TProjectorLaunch& launch);
    void FirstShow();
    void SuperviseProjector();
    void SupervisionPass();
    void FollowClientArea();
    void KeepTaskbarBehind();
    void SettleAfterFirstShow();
    // The message hook once the projector is shown: a graceful close on runnerMsg_.
    void OnRunnerMessage(MSG& message, bool& handled);

    TRunnerWindow& window_;
    const TProjectSettings& settings_;
    TUniqueHandle process_;
    TUniqueHandle thread_;
    DWORD processId_ = 0;
    UINT runnerMsg_ = 0;
    UINT fullScreenCmd_ = 0;
};

}  // namespace quindle
