// The runner's own right-click menu: which items it holds, which WM_COMMAND messages are
// its commands, and what a click or activation outside it does while it is open. Used
// by the popup menu owner and the runner window.
#pragma once

#include <cstdint>
#include <vector>

namespace quindle {

constexpr uint32_t kCloseCommand = 129;
constexpr uint32_t kSetupCommand = 130;
constexpr uint32_t kMinimizeCommand = 131;

struct TPopupMenuItem {
    uint32_t Id;
    const char* Text;
};

// The items in menu order (Close, Setup, Minimize); empty when there is no menu.
std::vector<TPopupMenuItem> PopupMenuItems(bool closeMenu, bool setupMenu, bool minimizeMenu);

// Whether WM_USER+9 shows the menu: there is one, a control block, and it is not open.
bool MayShowPopupMenu(bool haveMenu, bool haveBlock, bool menuOpen);

enum class TPopupCommand { None, Close, Setup, Minimize };

// WM_COMMAND: a menu command has notification code 0 (wParam is the id exactly), lParam
// 0 (not from a control), and acts only while a projector window is known.
TPopupCommand AcceptPopupCommand(uintptr_t wParam, intptr_t lParam, bool projectorKnown);

struct TOutsideActivation {
    bool CloseMenu = false;       // send WM_CANCELMODE to the runner window and end a running drag
    bool SendNcInactive = false;  // send WM_NCACTIVATE FALSE to the runner window
};

// WM_USER+7 for window W. firstItemHighlighted is MF_HILITE of the menu's first item:
// the user is on the menu itself.
TOutsideActivation DecideOutsideActivation(bool haveBlock, bool menuOpen, bool windowIsRunner,
                                           bool firstItemHighlighted, bool runnerIsForeground);

}  // namespace quindle
