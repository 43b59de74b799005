// The screen a show appears on, chosen from the screens the system reports by the
// Screen setting. Used by the runner's initialisation and the runner window.
#pragma once

#include <cstdint>
#include <vector>

#include "window/WindowFlags.h"

namespace quindle {

// One screen in virtual-screen coordinates: a secondary screen may sit left of or above
// the primary one, at negative coordinates.
struct TScreen {
    TRect32 Bounds;  // the whole screen
    TRect32 Work;    // the screen less the task bars
    bool Primary = false;
};

// Where a show goes: full screen covers Bounds; a window is placed and aligned within
// Placement, whose corner Left and Top count from.
struct TShowArea {
    TRect32 Bounds;
    TRect32 Placement;
};

// Screen setting: 0 the primary screen, N >= 1 the Nth of screens (the system's
// enumeration order), -1 the screen under the pointer. The primary screen, and any
// screen asked for that is not there, gives today's placement: the whole screen, so a
// show that does not choose one keeps its position to the pixel. A chosen screen
// places windows in its work area. primary stands in when screens holds none marked
// primary (the system cannot list its screens).
TShowArea ChooseShowArea(const std::vector<TScreen>& screens, const TScreen& primary, int32_t setting,
                         TPoint32 pointer);

// The screen holding the point, or nullptr.
const TScreen* ScreenAt(const std::vector<TScreen>& screens, TPoint32 point);

}  // namespace quindle
