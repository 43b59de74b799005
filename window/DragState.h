// Dragging the runner window by the presentation's content. The hook library reports
// the button press in the projector; from then on a timer polls the cursor and the
// primary button, and the window follows once the cursor has left a small square around
// the starting point. Used by the drag runner of the runner window.
#pragma once

#include <cstdint>

#include "window/RunnerMessages.h"
#include "window/WindowFlags.h"

namespace quindle {

constexpr uint32_t kDragTimerId = 1231;
constexpr uint32_t kDragTimerPeriodMs = 11;
constexpr int32_t kDragThreshold = 8;  // pixels either way before the first move

constexpr uint32_t kLeftButtonDown = 0x0201;  // WM_LBUTTONDOWN

// The virtual key of the primary mouse button: VK_RBUTTON when the buttons are swapped.
uint32_t PrimaryButtonKey(bool buttonsSwapped);

// The state of one drag: whether it runs, where the cursor was at its start or last
// move, and whether it has moved the window yet.
class TDragState {
public:
    bool Running() const { return running_; }
    bool Moved() const { return moved_; }
    TPoint32 Position() const { return position_; }

    // WM_USER+11: a drag starts only from a left-button press, with a control block, no
    // popup menu open and no drag running.
    bool AcceptsBegin(uintptr_t mouseMessage, bool haveBlock, bool menuOpen) const;
    // After the timer was asked for: a drag whose timer did not start does not run, and
    // the next request tries again.
    void Begin(TPoint32 cursor, bool timerRunning);

    struct TStep {
        enum TAction { Ignore, End, Wait, Move } What = Ignore;
        int32_t Dx = 0;
        int32_t Dy = 0;
    };
    // One timer tick. End: the primary button is up, the drag is over (stop the timer).
    // Wait: still inside the square, or the cursor stood still. Move: move the window by (Dx, Dy).
    TStep OnTimer(uintptr_t timerId, TPoint32 cursor, bool primaryDown);

    void End();

private:
    bool running_ = false;
    bool moved_ = false;
    TPoint32 position_;
};

// Whether a message to the runner window ends a running drag: WM_USER+10, WM_USER+14,
// WM_CANCELMODE, and WM_ACTIVATEAPP losing activation to a thread other than the projector's.
bool EndsDrag(uint32_t message, uintptr_t wParam, uintptr_t lParam, uint32_t projectorThreadId);

}  // namespace quindle
