// Drag notices for the runner window.
#include "hooklib/MouseDuties.h"

#include "contract/Notices.h"

namespace hooklib {

namespace {

void Post(TSharedBlock& block, UINT notice, WPARAM wParam) {
    if (const HWND runner = FromBlock<HWND>(block.RunnerWnd)) ::PostMessageA(runner, notice, wParam, 0);
}

}  // namespace

void ReportDrag(TSharedBlock& block, int code, WPARAM message) {
    if (!block.Draggable || code != HC_ACTION) return;
    if (message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK)
        Post(block, quindle::kBeginDragNotice, WM_LBUTTONDOWN);
    if (message == WM_LBUTTONUP) Post(block, quindle::kEndDragNotice, 0);
}

}  // namespace hooklib
