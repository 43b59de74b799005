// The screens the system reports. The multi-monitor calls of user32 are looked up at run
// time, so the runner still starts on a system without them and sees the primary screen
// alone there. Used by the runner's initialisation, the password dialog and the
// projector's graceful close.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "window/ShowScreen.h"

namespace quindle {

// The primary screen as a system without multi-monitor calls has it: the system
// metrics' screen size at 0,0 and the work area.
TScreen PrimaryScreen();

// Every screen in the system's enumeration order; empty without the multi-monitor calls.
std::vector<TScreen> SystemScreens();

// The screen the window is on (the nearest one to it), else the primary screen.
TScreen ScreenOfWindow(HWND window);

// The show's area for the Screen setting, with the pointer where it is now.
TShowArea ShowAreaFor(int32_t screenSetting);

}  // namespace quindle
