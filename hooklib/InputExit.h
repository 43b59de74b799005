// A presentation run as a screen saver: with mouse or key interaction off, the first
// input ends the show. Measured from where the pointer stood when the show began, so the
// window appearing under a resting pointer does not end it.
#pragma once

#include <windows.h>

#include "hooklib/SessionBlock.h"

namespace hooklib {

// A pointer movement of this many pixels or more, either way, ends the show.
constexpr LONG kMouseExitDistance = 5;

// For a mouse hook event in the projector's process with no mouse interaction: a press
// or wheel turn, or a movement far enough, ends the show. Returns whether the event is
// kept from the projector (presses and wheel turns, once the show has begun).
bool EndShowOnMouse(TSharedBlock& block, int code, WPARAM message, const MOUSEHOOKSTRUCT& mouse);

// For a keyboard hook event with no key interaction: any key but Escape (which has its
// own rule) ends the show. Returns whether the key is kept from the projector.
bool EndShowOnKey(TSharedBlock& block, int code, WPARAM key, LPARAM keyData);

}  // namespace hooklib
