// Finds the projector's main window among its thread's top-level windows and takes
// the runner window's size from it. Used by the projector launch while it polls for
// the window.
#pragma once

#include <windows.h>

#include <cstdint>

#include "settings/ProjectSettings.h"
#include "window/Geometry.h"

namespace quindle {

// The frame metrics of the running system.
TFrameMetrics ReadFrameMetrics();

// State of one search, passed to the enumeration as its parameter.
struct TProjectorSearch {
    const TProjectSettings* Settings = nullptr;
    TFrameMetrics Metrics;  // ReadFrameMetrics()
    int32_t MaxWidth = 0;   // the runner's MaxWidth, MaxHeight
    int32_t MaxHeight = 0;
    TWindowBox Box;        // in: WinLeft, WinTop, WinWidth, WinHeight; out: taken from the projector
    int32_t RefWidth = 0;  // out, when SizeTaken
    int32_t RefHeight = 0;
    bool SizeTaken = false;       // Box, RefWidth and RefHeight now come from the projector window
    HWND ProjectorWnd = nullptr;  // out: the window found
};

// EnumThreadWindows callback; lParam is a TProjectorSearch*. Returns FALSE once it
// has found the window, which stops the enumeration.
BOOL CALLBACK ProjectorSearchProc(HWND window, LPARAM search);

// One pass over threadId's top-level windows; true once search.ProjectorWnd is set.
bool SearchProjectorWindow(DWORD threadId, TProjectorSearch& search);

}  // namespace quindle
