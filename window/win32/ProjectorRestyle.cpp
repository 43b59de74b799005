// The restyle of the projector window, step by step. The sleeps and message pumping
// between the steps give the projector process time to react; they are part of the
// sequence.
#include "window/win32/ProjectorRestyle.h"

#include "base/ScopeExit.h"
#include "base/Timing.h"
#include "window/Geometry.h"
#include "window/RestyleRules.h"
#include "window/win32/ProjectorMenu.h"

namespace quindle {

namespace {

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// The restyle's view of the runner's geometry fields. The runner window procedure
// refreshes them from the window on every WM_MOVE and WM_SIZE, whoever moved it: our own
// calls, or the system while messages are pumped (under Wine a maximised window can fall
// back to its normal rectangle then). Follow() does the same for any change since the
// window was last seen.
class TRunnerFields {
public:
    TRunnerFields(HWND runner, const TRestyleInput& in)
        : runner_(runner), box_(in.Box), areaW_(in.AreaW), areaH_(in.AreaH) {
        ::GetWindowRect(runner_, &seen_);
    }

    void Place(HWND insertAfter, int x, int y, int w, int h, UINT flags) {
        Follow();
        ::SetWindowPos(runner_, insertAfter, x, y, w, h, flags);
        Follow();
    }

    void Follow() {
        RECT now{};
        ::GetWindowRect(runner_, &now);
        if (SameRect(seen_, now)) return;
        box_ = {now.left, now.top, now.right - now.left, now.bottom - now.top};
        if (now.right - now.left != seen_.right - seen_.left || now.bottom - now.top != seen_.bottom - seen_.top) {
            RECT client{};
            ::GetClientRect(runner_, &client);
            areaW_ = client.right;
            areaH_ = client.bottom;
        }
        seen_ = now;
    }

    TWindowBox& Box() { return box_; }
    int32_t& AreaW() { return areaW_; }
    int32_t& AreaH() { return areaH_; }

private:
    HWND runner_;
    RECT seen_{};
    TWindowBox box_;
    int32_t areaW_;
    int32_t areaH_;
};

void SetRestyleByte(uint8_t* byte, uint8_t value) {
    if (byte) *byte = value;
}

// Tries the runner's client size on the projector and takes the size it
// actually accepted; the runner follows when they differ.
void FitRunnerToProjector(HWND projector, HWND runner, TRunnerFields& f) {
    ::SetWindowPos(projector, HWND_NOTOPMOST, kOffScreen, kOffScreen, f.AreaW(), f.AreaH(), kPlaceQuietly);
    RECT client{};
    ::GetClientRect(runner, &client);
    RECT taken{};
    ::GetWindowRect(projector, &taken);
    f.AreaW() = taken.right - taken.left;
    f.AreaH() = taken.bottom - taken.top;
    if (f.AreaW() != client.right || f.AreaH() != client.bottom) {
        f.Place(nullptr, 0, 0, f.AreaW(), f.AreaH(), kSizeOnlyQuietly);
    }
}

// On the 9x family the switch happens with the runner off screen, its drawing
// suspended and the process at real-time priority for the shortest possible span.
void ParkRunnerFor9x(HWND runner, TRunnerFields& f) {
    // The move refreshes all four fields from the window, whose size may still be the
    // one from the settings; the runner returns to the noted rectangle later, size included.
    const TWindowBox noted = f.Box();
    f.Place(HWND_NOTOPMOST, kOffScreen, kOffScreen, 0, 0, kMoveOnlyQuietly);
    f.Box() = noted;
    ::SendMessageA(runner, WM_SETREDRAW, FALSE, 0);
    TScopeExit normalPriority([] {
        ::SetPriorityClass(::GetCurrentProcess(), NORMAL_PRIORITY_CLASS);
        ::SetThreadPriority(::GetCurrentThread(), THREAD_PRIORITY_NORMAL);
    });
    ::SetPriorityClass(::GetCurrentProcess(), REALTIME_PRIORITY_CLASS);
    ::SetThreadPriority(::GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
    ::ShowWindow(runner, SW_SHOW);
    ::ShowWindow(runner, SW_HIDE);
}

// The projector's own full-screen switch, done out of sight.
// Returns whether the runner was parked off screen.
bool SwitchProjectorToFullScreen(const TRestyleInput& in, TRunnerFields& f, uint32_t command) {
    HWND projector = in.ProjectorWnd;
    HWND runner = in.RunnerWnd;
    bool parked = false;
    SetRestyleByte(in.RestyleByte, 1);
    const auto style = static_cast<uint32_t>(::GetWindowLongA(projector, GWL_STYLE));
    ::SetWindowLongA(projector, GWL_STYLE, static_cast<LONG>(style | WS_VISIBLE));

    TScopeExit redraw([runner] { ::SendMessageA(runner, WM_SETREDRAW, TRUE, 0); });
    bool locked = false;
    TScopeExit unlock([&locked] {
        if (locked) ::LockWindowUpdate(nullptr);
    });
    if (in.NewProjector) locked = ::LockWindowUpdate(projector) != FALSE;
    if (SwitchesWithRunnerParked(in.Platform)) {
        ParkRunnerFor9x(runner, f);
        parked = true;
    }
    ::SendMessageA(projector, WM_COMMAND, command, 0);
    if (in.NewProjector) {
        ::SetWindowPos(projector, nullptr, 0, 0, f.AreaW(), f.AreaH(), kPlaceQuietly);
        unlock.Run();
    }
    redraw.Run();
    return parked;
}

void PlaceRunner(const TRestyleInput& in, TRunnerFields& f, bool parked, bool show) {
    const TRunnerPlacement p = RunnerPlacement(*in.Settings, parked, show);
    if (p.UseBox) {
        f.Place(nullptr, f.Box().Left, f.Box().Top, f.Box().Width, f.Box().Height, p.Flags);
    } else {
        f.Place(nullptr, 0, 0, 0, 0, p.Flags);
    }
}

}  // namespace

TRestyleResult RestyleProjectorWindow(const TRestyleInput& in) {
    TRestyleResult result{in.Box, in.AreaW, in.AreaH, 0};
    HWND projector = in.ProjectorWnd;
    HWND runner = in.RunnerWnd;
    if (!projector || !runner || !in.Settings) return result;
    const TProjectSettings& settings = *in.Settings;
    // The frame must not stay unpainted if the restyle is left early.
    TScopeExit clearByte([&in] { SetRestyleByte(in.RestyleByte, 0); });
    TRunnerFields f(runner, in);

    FitRunnerToProjector(projector, runner, f);
    f.Box() = AlignRunner(settings, in.WorkRect, f.Box());

    const bool framed = IsFramedStyle(static_cast<uint32_t>(::GetWindowLongA(projector, GWL_STYLE)));
    if (!framed) ::SetParent(projector, runner);
    ::Sleep(kShortSettleMs);
    if (in.PumpMessages) in.PumpMessages();
    f.Follow();

    bool parked = false;
    if (framed) {
        result.FullScreenCmd = FindFullScreenCommand(projector);
        // The projector becomes the runner's child even when the switch fails.
        TScopeExit adopt([projector, runner] { ::SetParent(projector, runner); });
        if (::IsWindow(projector)) parked = SwitchProjectorToFullScreen(in, f, result.FullScreenCmd);
    }
    ::Sleep(kShortSettleMs);

    PlaceRunner(in, f, parked, false);
    SetRestyleByte(in.RestyleByte, 0);
    ::SetWindowPos(projector, HWND_NOTOPMOST, 0, 0, f.AreaW(), f.AreaH(), kPlaceQuietly);
    // Only a call without SWP_NOZORDER lets HWND_NOTOPMOST take effect.
    ::SetWindowPos(projector, HWND_NOTOPMOST, 0, 0, f.AreaW(), f.AreaH(), SWP_SHOWWINDOW);
    PlaceRunner(in, f, parked, true);
    SetRestyleByte(in.RestyleByte, 0);

    result.Box = f.Box();
    result.AreaW = f.AreaW();
    result.AreaH = f.AreaH();
    return result;
}

}  // namespace quindle
