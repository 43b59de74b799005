// Posts WM_USER+7 with the window clicked or activated while the runner's menu is open.
// The block is peeked only for presses and activations, never for mere movements.
#include "hooklib/OutsideActivation.h"

#include "hooklib/SessionBlock.h"
#include "contract/Notices.h"

namespace hooklib {

namespace {

bool IsButtonPress(WPARAM message) {
    switch (message) {
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_XBUTTONDOWN:
        case WM_NCLBUTTONDOWN:
        case WM_NCRBUTTONDOWN:
        case WM_NCMBUTTONDOWN:
        case WM_NCXBUTTONDOWN:
            return true;
        default:
            return false;
    }
}

// The menu window itself ("#32768" in the runner's process): a click there is the
// user choosing from the menu.
bool IsRunnerMenuWindow(HWND window, DWORD runnerProcessId) {
    char className[16] = {};
    ::GetClassNameA(window, className, sizeof className);
    if (lstrcmpA(className, "#32768") != 0) return false;
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    return process == runnerProcessId;
}

void Report(HWND window) {
    if (!window) return;
    const TMenuPeek menu = PeekRunnerMenu();
    if (!menu.Open || !menu.Runner || IsRunnerMenuWindow(window, menu.RunnerProcessId)) return;
    ::PostMessageA(menu.Runner, quindle::kOutsideActivationNotice, reinterpret_cast<WPARAM>(window), 0);
}

}  // namespace

void ReportOutsideClick(int code, WPARAM message, LPARAM mouseData) {
    // HC_NOREMOVE is the same press peeked at before it is taken.
    if (code != HC_ACTION || !IsButtonPress(message)) return;
    Report(reinterpret_cast<const MOUSEHOOKSTRUCT*>(mouseData)->hwnd);
}

void ReportOutsideActivation(int code, WPARAM wParam) {
    if (code == HCBT_ACTIVATE) Report(reinterpret_cast<HWND>(wParam));
}

}  // namespace hooklib
