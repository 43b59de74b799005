// The right button and the menu keys, answered with the runner's menu.
#include "hooklib/ContextMenu.h"

#include "contract/Notices.h"

namespace hooklib {

namespace {

constexpr LPARAM kKeyUp = LPARAM(1) << 31;  // transition state: the key is being released

// The menu key whose press was kept from the projector, 0 when none: its release
// answers it, whether Shift is still held or not.
volatile WPARAM menuKeyDown_ = 0;

// The runner builds its menu from these bytes; with none of them set it has no menu.
bool RunnerHasMenu(const TSharedBlock& block) { return block.CloseItem || block.SetupItem || block.MinimizeItem; }

// Asked for on a release, as a context menu opens, so the release does not land in it.
void AskForRunnersMenu(TSharedBlock& block, int code) {
    if (code != HC_ACTION || !RunnerHasMenu(block)) return;
    if (const HWND runner = FromBlock<HWND>(block.RunnerWnd))
        ::PostMessageA(runner, quindle::kShowPopupMenuNotice, 0, 0);
}

bool IsRightButton(WPARAM message) {
    return message == WM_RBUTTONDOWN || message == WM_RBUTTONUP || message == WM_RBUTTONDBLCLK;
}

bool IsMenuKeyPress(WPARAM key) { return key == VK_APPS || (key == VK_F10 && ::GetKeyState(VK_SHIFT) < 0); }

}  // namespace

bool ReplaceRightClick(TSharedBlock& block, int code, WPARAM message) {
    if (!block.NoRightClickMenu || !IsRightButton(message)) return false;
    if (message == WM_RBUTTONUP) AskForRunnersMenu(block, code);
    return true;
}

bool ReplaceMenuKey(TSharedBlock& block, int code, WPARAM key, LPARAM keyData) {
    if (!block.NoRightClickMenu) return false;
    if ((keyData & kKeyUp) == 0) {
        if (!IsMenuKeyPress(key)) return false;
        if (code == HC_ACTION) menuKeyDown_ = key;
        return true;
    }
    // The application key's release is kept even without its press: some systems open
    // the menu on the release alone.
    if (key != VK_APPS && key != menuKeyDown_) return false;
    if (code == HC_ACTION) menuKeyDown_ = 0;
    AskForRunnersMenu(block, code);
    return true;
}

}  // namespace hooklib
