// The runner's popup menu, carried out from the portable rules.
#include "window/win32/PopupMenu.h"

namespace quindle {

TPopupMenu::TPopupMenu(const std::vector<TPopupMenuItem>& items, AppendFn append) {
    if (items.empty()) return;
    TUniqueMenu menu(::CreatePopupMenu());
    if (!menu) return;
    for (const TPopupMenuItem& item : items) {
        if (!append(menu.get(), MF_STRING, item.Id, item.Text)) return;
    }
    menu_ = std::move(menu);
}

bool TPopupMenu::Show(HWND owner, TRunnerControlBlock* block) {
    if (!MayShowPopupMenu(Valid(), block != nullptr, block && block->MenuOpen != 0)) return false;
    POINT cursor{};
    ::GetCursorPos(&cursor);
    // Written before tracking starts and cleared only when it has ended: the modal loop
    // dispatches the runner's other messages, this one included, while the menu is open.
    StoreToBlock<uint8_t>(block->MenuOpen, 1);
    ::TrackPopupMenu(menu_.get(), TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, owner, nullptr);
    StoreToBlock<uint8_t>(block->MenuOpen, 0);
    return true;
}

bool TPopupMenu::FirstItemHighlighted() const {
    if (!Valid()) return false;
    const UINT state = ::GetMenuState(menu_.get(), 0, MF_BYPOSITION);
    return state != static_cast<UINT>(-1) && (state & MF_HILITE) != 0;
}

TOutsideActivation TPopupMenu::OnOutsideActivation(HWND runner, HWND window, const TRunnerControlBlock* block) {
    const TOutsideActivation d =
        DecideOutsideActivation(block != nullptr, block && block->MenuOpen != 0, window == runner,
                                FirstItemHighlighted(), ::GetForegroundWindow() == runner);
    if (d.CloseMenu) ::SendMessageA(runner, WM_CANCELMODE, 0, 0);
    if (d.SendNcInactive) ::SendMessageA(runner, WM_NCACTIVATE, FALSE, 0);
    return d;
}

void TPopupMenu::Destroy() {
    if (menu_ && !::IsMenu(menu_.get())) menu_.release();
    menu_.reset();
}

}  // namespace quindle
