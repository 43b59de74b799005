// Right click and drag notices for the runner window.
#include "hooklib/MouseDuties.h"

#include "contract/Notices.h"

namespace hooklib {

namespace {

void Post(TSharedBlock& block, UINT notice, WPARAM wParam) {
    if (const HWND runner = FromBlock<HWND>(block.RunnerWnd)) ::PostMessageA(runner, notice, wParam, 0);
}

bool IsRightButton(WPARAM message) {
    return message == WM_RBUTTONDOWN || message == WM_RBUTTONUP || message == WM_RBUTTONDBLCLK;
}

// The runner builds its menu from these bytes; with none of them set it has no menu.
bool RunnerHasMenu(const TSharedBlock& block) { return block.CloseItem || block.SetupItem || block.MinimizeItem; }

}  // namespace

bool ReplaceRightClick(TSharedBlock& block, int code, WPARAM message) {
    if (!block.NoRightClickMenu || !IsRightButton(message)) return false;
    // Shown on the release, as a context menu is, so the release does not land in it.
    if (code == HC_ACTION && message == WM_RBUTTONUP && RunnerHasMenu(block))
        Post(block, quindle::kShowPopupMenuNotice, 0);
    return true;
}

void ReportDrag(TSharedBlock& block, int code, WPARAM message) {
    if (!block.Draggable || code != HC_ACTION) return;
    if (message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK)
        Post(block, quindle::kBeginDragNotice, WM_LBUTTONDOWN);
    if (message == WM_LBUTTONUP) Post(block, quindle::kEndDragNotice, 0);
}

}  // namespace hooklib
