// Carries out a command chosen from the runner's popup menu. Used by the runner
// window's WM_COMMAND row once AcceptPopupCommand has recognised the message.
#pragma once

#include <windows.h>

#include <functional>

#include "window/PopupMenuModel.h"

namespace quindle {

// What the commands act on, supplied by the runner.
struct TPopupCommandHost {
    HWND RunnerWnd = nullptr;
    // Close or focus the open setup dialog; false when none is open.
    std::function<bool()> CloseSetupDialog;
    std::function<bool()> FocusSetupDialog;
    std::function<void()> CloseProjector;  // detaches input and posts WM_CLOSE to the projector
    std::function<bool()> RunSetupDialog;  // modal; true when the user changed settings
    std::function<void()> RequestRestart;  // a new runner cycle once the projector has ended
};

// Close: closes the open setup dialog, else the projector. Setup: focuses the open setup
// dialog, else runs it and, when settings changed, closes the projector and asks for a
// restart. Minimize: posts SC_MINIMIZE to the runner window.
void CarryOutPopupCommand(TPopupCommand command, const TPopupCommandHost& host);

}  // namespace quindle
