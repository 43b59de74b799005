// The z-order step and the raising of the runner window.
#include "window/win32/RunnerZOrder.h"

#include <cstdint>

#include "window/RestyleRules.h"

namespace quindle {

namespace {

struct TOwnedWindows {
    HWND Projector;
};

BOOL CALLBACK RaiseProjectorOwnedWindow(HWND window, LPARAM parameter) {
    const auto& owned = *reinterpret_cast<TOwnedWindows*>(parameter);
    const bool ownedByProjector = ::GetWindow(window, GW_OWNER) == owned.Projector;
    const auto style = static_cast<uint32_t>(::GetWindowLongA(window, GWL_STYLE));
    const auto exStyle = static_cast<uint32_t>(::GetWindowLongA(window, GWL_EXSTYLE));
    if (OwnedWindowNeedsTopmost(true, ownedByProjector, style, exStyle)) {
        ::SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, kZOrderOnly);
    }
    return TRUE;  // every window is looked at
}

}  // namespace

void KeepRunnerBehindProjector(HWND runner, HWND projector) {
    ::SetWindowPos(runner, projector, 0, 0, 0, 0, kZOrderOnly);
    if (::GetActiveWindow() == runner) ::SetActiveWindow(projector);
    if (::GetWindowLongA(runner, GWL_EXSTYLE) & WS_EX_TOPMOST) {
        TOwnedWindows owned{projector};
        ::EnumWindows(RaiseProjectorOwnedWindow, reinterpret_cast<LPARAM>(&owned));
    }
}

void RaiseRunnerWindow(const TRaiseInput& in) {
    if (!in.HasControlBlock) return;
    if (in.RunnerWnd) ::SendMessageA(in.RunnerWnd, WM_NCACTIVATE, TRUE, 0);
    if (!in.ProjectorWnd || !in.RunnerWnd) return;
    const TRaiseDecision d = DecideRaise(in.MouseInteraction, in.AlwaysOnTop, in.NewProjector);
    ::SetWindowPos(in.RunnerWnd, HWND_TOPMOST, 0, 0, 0, 0, d.TopmostFlags);
    if (d.DropTopmost) ::SetWindowPos(in.RunnerWnd, HWND_NOTOPMOST, 0, 0, 0, 0, kZOrderOnly);
    ::SendMessageA(in.RunnerWnd, WM_NCACTIVATE, TRUE, 0);
    if (d.SetForeground) ::SetForegroundWindow(in.RunnerWnd);
}

}  // namespace quindle
