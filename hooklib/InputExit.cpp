// Ends the show on input by posting WM_USER+12 with wParam 0 to the runner window,
// once: the runner then closes the projector.
#include "hooklib/InputExit.h"

#include "hooklib/ProjectorThread.h"
#include "contract/Notices.h"

namespace hooklib {

namespace {

volatile LONG endPosted_ = 0;

void EndShow(TSharedBlock& block) {
    const HWND runner = FromBlock<HWND>(block.RunnerWnd);
    if (!runner || endPosted_ || ::InterlockedExchange(&endPosted_, 1) != 0) return;
    ::PostMessageA(runner, quindle::kCloseNotice, 0, 0);
}

bool IsPressOrWheel(WPARAM message) {
    switch (message) {
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_XBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDBLCLK:
        case WM_XBUTTONDBLCLK:
        case WM_NCLBUTTONDOWN:
        case WM_NCRBUTTONDOWN:
        case WM_NCMBUTTONDOWN:
        case WM_NCXBUTTONDOWN:
        case WM_MOUSEWHEEL:
        case 0x020E /* WM_MOUSEHWHEEL */:
            return true;
        default:
            return false;
    }
}

bool IsMove(WPARAM message) { return message == WM_MOUSEMOVE || message == WM_NCMOUSEMOVE; }

bool FarFrom(const POINT& start, const POINT& now) {
    return ::labs(now.x - start.x) >= kMouseExitDistance || ::labs(now.y - start.y) >= kMouseExitDistance;
}

constexpr LPARAM kKeyUp = LPARAM(1) << 31;

}  // namespace

bool EndShowOnMouse(TSharedBlock& block, int code, WPARAM message, const MOUSEHOOKSTRUCT& mouse) {
    POINT start;
    if (!block.NoMouseInteraction || !ShowStartCursor(start)) return false;
    const bool press = IsPressOrWheel(message);
    if (code == HC_ACTION && (press || (IsMove(message) && FarFrom(start, mouse.pt)))) EndShow(block);
    return press;
}

bool EndShowOnKey(TSharedBlock& block, int code, WPARAM key, LPARAM keyData) {
    POINT start;
    if (!block.NoKeyInteraction || key == VK_ESCAPE || !ShowStartCursor(start)) return false;
    if (code == HC_ACTION && (keyData & kKeyUp) == 0) EndShow(block);
    return true;
}

}  // namespace hooklib
