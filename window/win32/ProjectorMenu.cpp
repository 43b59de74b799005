// Menu search over the projector's real menu bar.
#include "window/win32/ProjectorMenu.h"

namespace quindle {

std::vector<TMenuItemText> ReadMenuItems(HMENU menu, std::vector<HMENU>* submenus) {
    std::vector<TMenuItemText> items;
    const int count = menu ? ::GetMenuItemCount(menu) : 0;
    for (int position = 0; position < count; ++position) {
        char text[100] = {};
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_TYPE | (submenus ? MIIM_SUBMENU : 0u);
        info.dwTypeData = text;
        info.cch = sizeof text;
        TMenuItemText item;
        if (::GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &info)) {
            item.Read = true;
            item.Type = info.fType;
            item.Id = info.wID;
            if (IsTextMenuItem(item)) {
                item.Text = text;
            }
        }
        items.push_back(item);
        if (submenus) submenus->push_back(item.Read ? info.hSubMenu : nullptr);
    }
    return items;
}

uint32_t FindFullScreenCommand(HWND projector) {
    const HMENU bar = projector ? ::GetMenu(projector) : nullptr;
    std::vector<HMENU> submenus;
    const std::vector<TMenuItemText> items = ReadMenuItems(bar, &submenus);
    return FindFullScreenCommand(items, [&](size_t position) { return ReadMenuItems(submenus[position]); });
}

}  // namespace quindle
