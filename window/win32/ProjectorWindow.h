// Projector window control: what the runner calls, and when.
//
// 1. Launch, before the search: ProjectorWnd := 0; fill a TProjectorSearch with the
//    settings, ReadFrameMetrics(), MaxWidth/MaxHeight and the runner's WinLeft, WinTop,
//    WinWidth, WinHeight. Run the search loop (window/WindowSearch.h, 22 ms steps, 11 s
//    limit) with SearchProjectorWindow over the projector's main-thread id as its look
//    and a TWindowCreationWatch of the projector process as its wait. Then take
//    ProjectorWnd from it and, when SizeTaken, WinLeft..StartHeight from Box and
//    RefWidth/RefHeight.
// 2. With the window found, hidden, its input attached and the BeforeShow commands
//    run: RestyleProjectorWindow once. Store the result's Box into WinLeft..StartHeight,
//    AreaW/AreaH, and FullScreenCmd (the graceful close sends it again).
// 3. Every supervision pass while QuitFlag is clear: KeepRunnerBehindProjector.
// 4. WM_USER+3: RaiseRunnerWindow.
// The decisions themselves are portable (window/Geometry.h, window/FullScreenMenu.h,
// window/RestyleRules.h); the runner window procedure uses window/AspectRatio.h and
// window/ActivationRules.h directly.
#pragma once

#include "window/win32/ProjectorMenu.h"
#include "window/win32/ProjectorRestyle.h"
#include "window/win32/ProjectorSearch.h"
#include "window/win32/RunnerZOrder.h"
#include "window/win32/WindowCreationWatch.h"
