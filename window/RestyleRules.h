// Decisions of the projector window's restyle, of raising the runner window and of
// the z-order step, apart from the calls that carry them out. Used by the Win32
// projector window control.
#pragma once

#include <cstdint>

#include "base/Platform.h"
#include "settings/ProjectSettings.h"
#include "window/WindowFlags.h"

namespace quindle {

// SetWindowPos flags the restyle uses on the projector window.
constexpr uint32_t kPlaceQuietly = swp::kNoZOrder | swp::kNoActivate;
constexpr uint32_t kSizeOnlyQuietly = swp::kNoZOrder | swp::kNoMove | swp::kNoActivate;
constexpr uint32_t kMoveOnlyQuietly = swp::kNoSize | swp::kNoZOrder | swp::kNoActivate;
constexpr uint32_t kKeepPlaceQuietly = swp::kNoSize | swp::kNoMove | swp::kNoZOrder | swp::kNoActivate;
constexpr uint32_t kZOrderOnly = swp::kNoSize | swp::kNoMove | swp::kNoActivate;
constexpr uint32_t kZOrderActivate = swp::kNoSize | swp::kNoMove;

// Where the projector and, on the 9x family, the runner wait out of sight.
constexpr int32_t kOffScreen = -2000;

// The 9x family switches the projector to full screen with the runner parked off
// screen, its drawing suspended and the process at real-time priority.
bool SwitchesWithRunnerParked(const TPlatformFlags& platform);

// A maximised (or work-area) custom full screen keeps the runner's rectangle as it is.
bool KeepsRunnerRectangle(const TProjectSettings& settings);

struct TRunnerPlacement {
    bool UseBox = false;  // SetWindowPos to the runner's WinLeft, WinTop, WinWidth, WinHeight
    uint32_t Flags = 0;
};

// How the restyle applies the runner's rectangle (show false) and then shows the
// window (show true); showing also activates it, so its flags drop SWP_NOACTIVATE. parkedOffScreen: the 9x switch moved
// the runner away; a window that otherwise keeps its rectangle is then moved back to where it was, without resizing,
// instead of being left at (-2000, -2000).
TRunnerPlacement RunnerPlacement(const TProjectSettings& settings, bool parkedOffScreen, bool show);

struct TRaiseDecision {
    uint32_t TopmostFlags = kZOrderOnly;  // the first SetWindowPos, to HWND_TOPMOST
    bool DropTopmost = false;             // then back to HWND_NOTOPMOST
    bool SetForeground = false;           // finally SetForegroundWindow
};

// Raising the runner window on the hook library's request. With interaction on, or
// with a projector of version 6 or later, the runner is never activated by it.
TRaiseDecision DecideRaise(bool interaction, bool alwaysOnTop, bool newProjector);

// The z-order step: a top-level window owned by the projector is made topmost when the
// runner is topmost, unless it is a child or topmost already.
bool OwnedWindowNeedsTopmost(bool runnerTopmost, bool ownedByProjector, uint32_t style, uint32_t exStyle);

}  // namespace quindle
