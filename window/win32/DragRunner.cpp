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

}  // namespace

IPointerState& SystemPointer() {
    static TSystemPointer pointer;
    return pointer;
}

TDragRunner::TDragRunner(HWND window, IPointerState& pointer) : window_(window), pointer_(pointer) {}

TDragRunner::~TDragRunner() { StopTimer(); }

bool TDragRunner::StartTimer() {
    StopTimer();
    timer_ = ::SetTimer(window_, kDragTimerId, kDragTimerPeriodMs, nullptr);
    if (timer_ == kDragTimerId) return true;
    // A timer under another id would never be recognised as the drag's: drop it.
    if (timer_ != 0) ::KillTimer(window_, timer_);
    timer_ = 0;
    return false;
}

void TDragRunner::StopTimer() {
    if (timer_ != 0) ::KillTimer(window_, kDragTimerId);
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
