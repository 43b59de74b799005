// Turns the found projector window into the runner window's content: sizes the runner
// around it, switches the projector to its own full-screen mode (which drops its
// caption, frame and menu bar), makes it a child of the runner window and fits it to
// the runner's client area. Used once per run by the projector launch.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>

#include "base/Platform.h"
#include "settings/ProjectSettings.h"
#include "window/WindowFlags.h"

namespace quindle {

struct TRestyleInput {
    HWND RunnerWnd = nullptr;
    HWND ProjectorWnd = nullptr;  // hidden, its input attached to this thread
    const TProjectSettings* Settings = nullptr;
    TPlatformFlags Platform;
    TWindowBox Box;     // WinLeft, WinTop, WinWidth, WinHeight as the runner holds them
    int32_t AreaW = 0;  // the runner's client size as last recorded
    int32_t AreaH = 0;
    TRect32 WorkRect;                    // alignment happens within it
    uint8_t* RestyleByte = nullptr;      // the control block's restyle-in-progress byte; may be null
    bool NewProjector = false;           // the control block's new-projector byte (version 6 or later)
    std::function<void()> PumpMessages;  // the runner's pump; may be empty
};

struct TRestyleResult {
    TWindowBox Box;     // WinLeft, WinTop, WinWidth, WinHeight afterwards
    int32_t AreaW = 0;  // the runner's client size afterwards
    int32_t AreaH = 0;
    uint32_t FullScreenCmd = 0;  // 0 for an unframed projector window
};

// The whole restyle. The runner's own WM_MOVE/WM_SIZE handlers see every move on the
// way; the result mirrors the geometry they keep, and the projector's supervision hands
// it back to the runner window (TakeRestyle) and keeps FullScreenCmd.
// Whatever happens during the full-screen switch, the projector window ends a child of
// the runner window, window updates are unlocked, the runner redraws again and the
// restyle byte is cleared.
TRestyleResult RestyleProjectorWindow(const TRestyleInput& input);

}  // namespace quindle
