// The runner's right-click menu.
#include "window/win32/PopupMenu.h"

#include <utility>

namespace quindle {

void TPopupMenu::Build(bool closeItem, bool setupItem, bool minimizeItem) {
    const struct {
        bool on;
        UINT id;
        const char* text;
    } items[] = {
        {closeItem, 129, "Close"},
        {setupItem, 130, "Setup"},
        {minimizeItem, 131, "Minimize"},
    };
    if (!closeItem && !setupItem && !minimizeItem) return;
    UniqueMenu menu(::CreatePopupMenu());
    if (!menu) return;
    for (const auto& item : items) {
        if (item.on && !::AppendMenuA(menu.get(), MF_STRING, item.id, item.text)) return;
    }
    menu_ = std::move(menu);
}

void TPopupMenu::OnWindowDestroyed() {
    if (menu_ && !::IsMenu(menu_.get())) menu_.release();
    menu_.reset();
}

}  // namespace quindle
