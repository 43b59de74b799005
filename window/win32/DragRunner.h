// Moves a window while the user drags the presentation's content: a timer on that
// window polls the cursor and the primary button (the mouse is over the projector, whose
// messages belong to another thread). Used by the runner window.
#pragma once

#include <windows.h>

#include "contract/ControlBlock.h"
#include "window/DragState.h"

namespace quindle {

// Where the cursor is and whether the primary button is held.
class IPointerState {
public:
    virtual ~IPointerState() = default;
    virtual TPoint32 Cursor() = 0;
    virtual bool PrimaryButtonDown() = 0;
};

// The system's pointer: GetCursorPos, and GetAsyncKeyState of the primary button as
// SM_SWAPBUTTON names it.
IPointerState& SystemPointer();

// A window's timers, as SetTimer and KillTimer keep them.
class IWindowTimers {
public:
    virtual ~IWindowTimers() = default;
    // SetTimer's answer: 0 when refused.
    virtual UINT_PTR Set(HWND window, UINT_PTR id, UINT periodMs) = 0;
    virtual void Kill(HWND window, UINT_PTR id) = 0;
};

IWindowTimers& SystemTimers();

class TDragRunner {
public:
    explicit TDragRunner(HWND window, IPointerState& pointer = SystemPointer(), IWindowTimers& timers = SystemTimers());
    ~TDragRunner();  // the timer dies with the runner
    TDragRunner(const TDragRunner&) = delete;
    TDragRunner& operator=(const TDragRunner&) = delete;

    // WM_USER+11: starts the timer when the request is accepted; false when no drag runs.
    bool Begin(uintptr_t mouseMessage, const TRunnerControlBlock* block);
    // WM_TIMER: one step; moves the window or ends the drag.
    void OnTimer(uintptr_t timerId);
    // Ends the drag when message is one of the messages that end it (WM_USER+10,
    // WM_USER+14, WM_CANCELMODE, WM_ACTIVATEAPP to another thread).
    void OnMessage(UINT message, WPARAM wParam, LPARAM lParam, DWORD projectorThreadId);
    void End();

    bool Running() const { return state_.Running(); }

private:
    bool StartTimer();
    void StopTimer();

    HWND window_;
    IPointerState& pointer_;
    IWindowTimers& timers_;
    UINT_PTR timer_ = 0;
    TDragState state_;
};

}  // namespace quindle
