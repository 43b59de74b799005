// Finds, inside whatever process a hook runs in, the control block of the session
// this copy of the library belongs to. The session is named by the run directory the
// library was loaded from, so two sessions at once never read each other's block.
#pragma once

#include <windows.h>

#include "contract/ControlBlock.h"

namespace hooklib {

using TSharedBlock = volatile quindle::TRunnerControlBlock;

// Called on attach: remembers the module and the mapping name its folder gives.
void SetModule(HINSTANCE module);
HINSTANCE Module();

// The block when this process is the session's projector, else nullptr. Opens the
// mapping on first use; once the block names another process, this process stays out.
TSharedBlock* ProjectorBlock();

// The runner's popup menu as a hook in any process sees it.
struct TMenuPeek {
    bool Open = false;
    HWND Runner = nullptr;
    DWORD RunnerProcessId = 0;
};
// Reads the menu-open byte and the runner's identity: from the projector's view in the
// projector, elsewhere through a view opened and released at once. Meant for rare
// events (clicks, activations), not for every mouse movement.
TMenuPeek PeekRunnerMenu();

// Unmaps and closes on unload.
void ReleaseBlock();

using quindle::FromBlock;

}  // namespace hooklib
