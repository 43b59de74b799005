// Keeps the runner window behind its projector child and the projector's own dialogs
// above a topmost runner, and brings the runner forward when the hook library asks.
// Used by the supervision loop (every pass) and the WM_USER+3 handler.
#pragma once

#include <windows.h>

namespace quindle {

// The z-order step of one supervision pass.
void KeepRunnerBehindProjector(HWND runner, HWND projector);

struct TRaiseInput {
    bool HasControlBlock = false;
    HWND RunnerWnd = nullptr;
    HWND ProjectorWnd = nullptr;
    bool MouseInteraction = false;  // settings, Checked
    bool AlwaysOnTop = false;       // settings, Checked
    bool NewProjector = false;      // the control block's new-projector byte
};

// Raising the runner window (WM_USER+3).
void RaiseRunnerWindow(const TRaiseInput& input);

}  // namespace quindle
