// The runner's right-click menu: built once from the settings, tracked at the cursor
// when the hook library asks for it, closed when the user turns to another window.
// Used by the runner window (WM_USER+9, WM_USER+7) and destroyed with it.
#pragma once

#include <windows.h>

#include <vector>

#include "base/win32/Handles.h"
#include "contract/ControlBlock.h"
#include "window/PopupMenuModel.h"

namespace quindle {

class TPopupMenu {
public:
    using AppendFn = BOOL(WINAPI*)(HMENU, UINT, UINT_PTR, LPCSTR);

    // No items: no menu. An append that fails leaves no menu for the whole run, rather
    // than one that lacks a command the author asked for.
    explicit TPopupMenu(const std::vector<TPopupMenuItem>& items, AppendFn append = &::AppendMenuA);

    bool Valid() const { return menu_ && ::IsMenu(menu_.get()); }
    HMENU Handle() const { return menu_.get(); }

    // WM_USER+9: tracks the menu at the cursor for owner with the block's menu-open byte
    // set, so the hook library reports clicks elsewhere and a second request made while
    // it is open is ignored. Returns whether the menu was shown.
    bool Show(HWND owner, TRunnerControlBlock* block);

    // WM_USER+7 for window: sends WM_CANCELMODE (closing the menu) and WM_NCACTIVATE
    // FALSE to runner as the rule says. The caller ends a running drag when CloseMenu is set.
    TOutsideActivation OnOutsideActivation(HWND runner, HWND window, const TRunnerControlBlock* block);

    // The user is on the menu's first item.
    bool FirstItemHighlighted() const;

    // With the runner window: one the system has destroyed with it is only forgotten.
    void Destroy();

private:
    TUniqueMenu menu_;
};

}  // namespace quindle
