// The drag timer and the window moves.
#include "window/win32/DragRunner.h"

namespace quindle {

namespace {

class TSystemPointer : public IPointerState {
public:
    TPoint32 Cursor() override {
        POINT p{};
        ::GetCursorPos(&p);
        return {p.x, p.y};
    }
    bool PrimaryButtonDown() override {
        const int key = static_cast<int>(PrimaryButtonKey(::GetSystemMetrics(SM_SWAPBUTTON) != 0));
        return (::GetAsyncKeyState(key) & 0x8000) != 0;
    }
};

class TSystemTimers : public IWindowTimers {
public:
    UINT_PTR Set(HWND window, UINT_PTR id, UINT periodMs) override { return ::SetTimer(window, id, periodMs, nullptr); }
    void Kill(HWND window, UINT_PTR id) override { ::KillTimer(window, id); }
};

}  // namespace

IPointerState& SystemPointer() {
    static TSystemPointer pointer;
    return pointer;
}

IWindowTimers& SystemTimers() {
    static TSystemTimers timers;
    return timers;
}

TDragRunner::TDragRunner(HWND window, IPointerState& pointer, IWindowTimers& timers)
    : window_(window), pointer_(pointer), timers_(timers) {}

TDragRunner::~TDragRunner() { StopTimer(); }

bool TDragRunner::StartTimer() {
    StopTimer();
    timer_ = timers_.Set(window_, kDragTimerId, kDragTimerPeriodMs);
    if (timer_ == kDragTimerId) return true;
    // Another answer drags nothing. A window's timer is known by the id it was set
    // under, whatever SetTimer answered, so that is the one to drop.
    if (timer_ != 0) timers_.Kill(window_, kDragTimerId);
    timer_ = 0;
    return false;
}

void TDragRunner::StopTimer() {
    if (timer_ != 0) timers_.Kill(window_, kDragTimerId);
    timer_ = 0;
}

bool TDragRunner::Begin(uintptr_t mouseMessage, const TRunnerControlBlock* block) {
    if (!state_.AcceptsBegin(mouseMessage, block != nullptr, block && block->MenuOpen != 0)) return false;
    const TPoint32 start = pointer_.Cursor();
    state_.Begin(start, StartTimer());
    return state_.Running();
}

void TDragRunner::OnTimer(uintptr_t timerId) {
    if (timerId != kDragTimerId || !state_.Running()) return;
    const TPoint32 cursor = pointer_.Cursor();
    const TDragState::TStep step = state_.OnTimer(timerId, cursor, pointer_.PrimaryButtonDown());
    if (step.What == TDragState::TStep::End) {
        StopTimer();
    } else if (step.What == TDragState::TStep::Move) {
        // A top-level window: its screen rectangle is its position.
        RECT r{};
        ::GetWindowRect(window_, &r);
        ::MoveWindow(window_, r.left + step.Dx, r.top + step.Dy, r.right - r.left, r.bottom - r.top, TRUE);
    }
}

void TDragRunner::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, DWORD projectorThreadId) {
    if (state_.Running() && EndsDrag(message, wParam, static_cast<uintptr_t>(lParam), projectorThreadId)) End();
}

void TDragRunner::End() {
    StopTimer();
    state_.End();
}

}  // namespace quindle
