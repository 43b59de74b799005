// The Windows-key filter, the screen-saver refusal, the hidden cursor and the trimmed
// context menu.
#include "hooklib/WindowDuties.h"

namespace hooklib {

namespace {

bool IsKeyMessage(UINT message) {
    return message == WM_KEYDOWN || message == WM_KEYUP || message == WM_SYSKEYDOWN || message == WM_SYSKEYUP;
}

bool IsWindowsKey(WPARAM key) { return key == VK_LWIN || key == VK_RWIN || key == VK_APPS; }

// The context menu the application key asks for (at no point: lParam -1). Some systems
// post it on the key's release before any hook sees the key.
bool IsKeyboardContextMenu(const MSG& message) {
    return message.message == WM_CONTEXTMENU && static_cast<DWORD>(message.lParam) == 0xFFFFFFFFu;
}

bool IsScreenSave(WPARAM command) { return (command & 0xFFF0) == SC_SCREENSAVE; }

bool IsProjectorWindow(const TSharedBlock& block, HWND window) {
    const HWND projector = FromBlock<HWND>(block.ProjectorWnd);
    return projector && (window == projector || ::IsChild(projector, window));
}

// Whether popup is one of the menu bar's drop-down menus (at any depth).
bool InMenu(HMENU menu, HMENU popup) {
    for (int i = 0, n = menu ? ::GetMenuItemCount(menu) : 0; i < n; ++i) {
        const HMENU sub = ::GetSubMenu(menu, i);
        if (sub && (sub == popup || InMenu(sub, popup))) return true;
    }
    return false;
}

// Only context menus are trimmed: the menu bar's own menus and the window menu stay whole.
void TrimContextMenu(const TSharedBlock& block, HWND owner, HMENU popup, bool windowMenu) {
    if (windowMenu || InMenu(::GetMenu(owner), popup)) return;
    for (const int32_t id : block.MenuItemsToDelete) {
        if (id != 0) ::DeleteMenu(popup, static_cast<UINT>(id), MF_BYCOMMAND);
    }
}

}  // namespace

void FilterMessage(TSharedBlock& block, MSG& message) {
    if (block.WindowsKeyFilter && IsKeyMessage(message.message) && IsWindowsKey(message.wParam))
        message.message = WM_NULL;
    if ((block.WindowsKeyFilter || block.NoRightClickMenu) && IsKeyboardContextMenu(message)) message.message = WM_NULL;
    if (block.ScreenSaverOff && message.message == WM_SYSCOMMAND && IsScreenSave(message.wParam))
        message.message = WM_NULL;
}

bool IsFilteredKey(const TSharedBlock& block, WPARAM key) { return block.WindowsKeyFilter && IsWindowsKey(key); }

bool RefuseSystemCommand(TSharedBlock& block, int code, WPARAM command) {
    return code == HCBT_SYSCOMMAND && block.ScreenSaverOff && IsScreenSave(command);
}

void AfterWindowMessage(TSharedBlock& block, const CWPRETSTRUCT& message) {
    if (message.message == WM_SETCURSOR && block.HideCursor && IsProjectorWindow(block, message.hwnd)) {
        ::SetCursor(nullptr);
    } else if (message.message == WM_INITMENUPOPUP) {
        TrimContextMenu(block, message.hwnd, reinterpret_cast<HMENU>(message.wParam), HIWORD(message.lParam) != 0);
    }
}

}  // namespace hooklib
