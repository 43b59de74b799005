// Decisions behind the restyle, the raising step and the z-order step.
#include "window/RestyleRules.h"

#include "window/DisplayMode.h"
#include "window/WindowFlags.h"

namespace quindle {

bool SwitchesWithRunnerParked(const TPlatformFlags& p) { return p.IsWin95 || p.IsWin98 || p.IsWinMe; }

bool KeepsRunnerRectangle(const TProjectSettings& s) { return IsCustomFullScreen(DisplayModeOf(s)); }

TRunnerPlacement RunnerPlacement(const TProjectSettings& s, bool parkedOffScreen, bool show) {
    TRunnerPlacement placement;
    if (!KeepsRunnerRectangle(s)) {
        placement = {true, kPlaceQuietly};
    } else if (parkedOffScreen) {
        placement = {true, kMoveOnlyQuietly};
    } else {
        placement = {false, kKeepPlaceQuietly};
    }
    if (show) placement.Flags = (placement.Flags & ~swp::kNoActivate) | swp::kShowWindow;
    return placement;
}

TRaiseDecision DecideRaise(bool interaction, bool alwaysOnTop, bool newProjector) {
    TRaiseDecision d;
    const bool quiet = interaction || newProjector;
    d.TopmostFlags = quiet ? kZOrderOnly : kZOrderActivate;
    d.DropTopmost = !alwaysOnTop;
    d.SetForeground = !quiet;
    return d;
}

bool OwnedWindowNeedsTopmost(bool runnerTopmost, bool ownedByProjector, uint32_t style, uint32_t exStyle) {
    return runnerTopmost && ownedByProjector && (style & wstyle::kChild) == 0 && (exStyle & wstyle::kExTopmost) == 0;
}

}  // namespace quindle
