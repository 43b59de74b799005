// The popup menu's items, command acceptance and outside-activation rule.
#include "window/PopupMenuModel.h"

namespace quindle {

std::vector<TPopupMenuItem> PopupMenuItems(bool closeMenu, bool setupMenu, bool minimizeMenu) {
    std::vector<TPopupMenuItem> items;
    if (closeMenu) items.push_back({kCloseCommand, "Close"});
    if (setupMenu) items.push_back({kSetupCommand, "Setup"});
    if (minimizeMenu) items.push_back({kMinimizeCommand, "Minimize"});
    return items;
}

bool MayShowPopupMenu(bool haveMenu, bool haveBlock, bool menuOpen) { return haveMenu && haveBlock && !menuOpen; }

TPopupCommand AcceptPopupCommand(uintptr_t wParam, intptr_t lParam, bool projectorKnown) {
    if (lParam != 0 || !projectorKnown) return TPopupCommand::None;
    switch (wParam) {
        case kCloseCommand:
            return TPopupCommand::Close;
        case kSetupCommand:
            return TPopupCommand::Setup;
        case kMinimizeCommand:
            return TPopupCommand::Minimize;
        default:
            return TPopupCommand::None;
    }
}

TOutsideActivation DecideOutsideActivation(bool haveBlock, bool menuOpen, bool windowIsRunner,
                                           bool firstItemHighlighted, bool runnerIsForeground) {
    TOutsideActivation d;
    d.CloseMenu = haveBlock && menuOpen && !windowIsRunner && !firstItemHighlighted;
    d.SendNcInactive = !(runnerIsForeground && windowIsRunner);
    return d;
}

}  // namespace quindle
