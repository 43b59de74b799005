// Finds, inside whatever process a hook runs in, the control block of the session
// this copy of the library belongs to. The session is named by the run directory the
// library was loaded from, so two sessions at once never read each other's block.
#pragma once

#include <windows.h>

#include "contract/ControlBlock.h"

namespace hooklib {

using Block = volatile quindle::TRunnerControlBlock;

// Called on attach: remembers the module and the mapping name its folder gives.
void SetModule(HINSTANCE module);
HINSTANCE Module();

// The block when this process is the session's projector, else nullptr. Opens the
// mapping on first use; once the block names another process, this process stays out.
Block* ProjectorBlock();

// Unmaps and closes on unload.
void ReleaseBlock();

using quindle::FromBlock;

}  // namespace hooklib
