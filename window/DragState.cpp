// The drag's threshold and step arithmetic.
#include "window/DragState.h"

#include <cstdlib>

#include "window/ActivationRules.h"

namespace quindle {

namespace {
constexpr uint32_t kLeftButtonKey = 1;     // VK_LBUTTON
constexpr uint32_t kRightButtonKey = 2;    // VK_RBUTTON
constexpr uint32_t kCancelMode = 0x001F;   // WM_CANCELMODE
constexpr uint32_t kActivateApp = 0x001C;  // WM_ACTIVATEAPP
}  // namespace

uint32_t PrimaryButtonKey(bool buttonsSwapped) { return buttonsSwapped ? kRightButtonKey : kLeftButtonKey; }

bool TDragState::AcceptsBegin(uintptr_t mouseMessage, bool haveBlock, bool menuOpen) const {
    return haveBlock && !menuOpen && !running_ && mouseMessage == kLeftButtonDown;
}

void TDragState::Begin(TPoint32 cursor, bool timerRunning) {
    position_ = cursor;
    moved_ = false;
    running_ = timerRunning;
}

TDragState::TStep TDragState::OnTimer(uintptr_t timerId, TPoint32 cursor, bool primaryDown) {
    TStep step;
    if (timerId != kDragTimerId || !running_) return step;
    if (!primaryDown) {
        End();
        step.What = TStep::End;
        return step;
    }
    step.Dx = cursor.X - position_.X;
    step.Dy = cursor.Y - position_.Y;
    // The first move covers the whole distance from the start, not just the part
    // beyond the square.
    const bool inside = std::abs(step.Dx) < kDragThreshold && std::abs(step.Dy) < kDragThreshold;
    if ((!moved_ && inside) || (step.Dx == 0 && step.Dy == 0)) {
        step.What = TStep::Wait;
        return step;
    }
    position_ = cursor;
    moved_ = true;
    step.What = TStep::Move;
    return step;
}

void TDragState::End() { running_ = false; }

bool EndsDrag(uint32_t message, uintptr_t wParam, uintptr_t lParam, uint32_t projectorThreadId) {
    switch (message) {
        case kEndDragNotice:
        case kEndRunningDragNotice:
        case kCancelMode:
            return true;
        case kActivateApp:
            return DecideActivateApp(false, wParam != 0, static_cast<uint32_t>(lParam), projectorThreadId).EndDrag;
        default:
            return false;
    }
}

}  // namespace quindle
