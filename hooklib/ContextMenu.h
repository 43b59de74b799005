// The runner's menu in place of the projector's own context menu, while the
// no-right-click byte is set: the projector opens its menu on the right button's release
// and on the keyboard's menu keys (the application key, Shift+F10), so all of them are
// kept from it and answered alike.
#pragma once

#include <windows.h>

#include "hooklib/SessionBlock.h"

namespace hooklib {

// The mouse hook's event: right-button messages never reach the projector, and the
// release asks the runner for its menu when it has one. Returns whether the event is
// kept from the projector.
bool ReplaceRightClick(TSharedBlock& block, int code, WPARAM message);

// The keyboard hook's key: the application key and F10 pressed with Shift never reach
// the projector, whose default window procedure would send its window WM_CONTEXTMENU
// (a message hook never sees a sent message); the key's release asks the runner for its
// menu when it has one. Returns whether the key is kept from the projector.
bool ReplaceMenuKey(TSharedBlock& block, int code, WPARAM key, LPARAM keyData);

}  // namespace hooklib
