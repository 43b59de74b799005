// The library's own hooks on the projector's main thread: they see every message the
// projector's windows get, so the library notices when the projector window is shown
// even when no keyboard, mouse or window event reaches the system-wide hooks.
#pragma once

#include <windows.h>

#include "hooklib/SessionBlock.h"

namespace hooklib {

// Called from every hook procedure in the projector's process: installs the thread
// hooks once, on the projector's main thread, and checks for the ready notice.
void OnProjectorEvent(TSharedBlock& block);

// Where the pointer stood when the show began (the ready notice went out); false
// before that. Input that ends the show is measured from here.
bool ShowStartCursor(POINT& at);

// The thread hooks' own handles, for passing events on.
HHOOK WindowProcHook();
HHOOK MessageFilterHook();

}  // namespace hooklib
