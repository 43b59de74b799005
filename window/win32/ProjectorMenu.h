// Reads the projector window's menu bar to find its full-screen command. Used by the
// restyle.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "window/FullScreenMenu.h"

namespace quindle {

// The items of a menu by position (texts cut to 99 characters, as a 100-character
// buffer holds them). submenus, when given, receives each item's submenu handle.
std::vector<TMenuItemText> ReadMenuItems(HMENU menu, std::vector<HMENU>* submenus = nullptr);

// The command id of the full-screen item in the window's "&View" menu (or its German
// or Portuguese counterpart); kDefaultFullScreenCmd (20048) when there is none.
uint32_t FindFullScreenCommand(HWND projector);

}  // namespace quindle
