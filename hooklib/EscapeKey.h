// Escape typed into the projector window: the projector's thread has the keyboard, so
// the runner window never sees the key. The keyboard hook hands it on as the character
// the runner window closes the presentation on.
#pragma once

#include <windows.h>

#include "hooklib/SessionBlock.h"

namespace hooklib {

// For a keyboard hook event in the projector's process: on an Escape key-down with the
// block's exit-on-Escape byte set, posts WM_CHAR 27 to the runner window. Never waits.
void PassEscapeToRunner(TSharedBlock& block, int code, WPARAM key, LPARAM keyData);

}  // namespace hooklib
