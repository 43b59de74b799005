// Keeps the runner window's outer rectangle at its reference aspect ratio while the
// user drags an edge or a corner (WM_SIZING). Used by the runner window procedure.
#pragma once

#include <cstdint>

#include "window/WindowFlags.h"

namespace quindle {

// The proposed rectangle after the rule. edge is WM_SIZING's wParam; cursor is the
// cursor in screen coordinates; current is the window's rectangle as last refreshed
// by WM_MOVE/WM_SIZE; refWidth x refHeight is the reference size. A reference size
// that is not positive leaves the rectangle unchanged rather than collapsing it.
TRect32 ApplyAspectRatio(TRect32 proposed, uint32_t edge, TPoint32 cursor, const TWindowBox& current, int32_t refWidth,
                         int32_t refHeight);

}  // namespace quindle
