// Escape typed into the projector window, handed to the runner window.
#include "hooklib/EscapeKey.h"

namespace hooklib {

namespace {

constexpr LPARAM kKeyUp = LPARAM(1) << 31;    // transition state: the key is being released
constexpr LPARAM kWasDown = LPARAM(1) << 30;  // previous key state: an auto-repeat

// The first key-down of Escape, once, when the message is taken from the queue: the
// hook sees a peeked message (HC_NOREMOVE) again when it is removed.
bool IsEscapePress(int code, WPARAM key, LPARAM keyData) {
    return code == HC_ACTION && key == VK_ESCAPE && (keyData & (kKeyUp | kWasDown)) == 0;
}

}  // namespace

void PassEscapeToRunner(TSharedBlock& block, int code, WPARAM key, LPARAM keyData) {
    if (!IsEscapePress(code, key, keyData) || !block.ExitOnEsc) return;
    const HWND runner = FromBlock<HWND>(block.RunnerWnd);
    // Posted, not sent: the runner's thread may itself be waiting on this one.
    if (runner) ::PostMessageA(runner, WM_CHAR, VK_ESCAPE, keyData);
}

}  // namespace hooklib
