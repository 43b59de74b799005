// The runner's side of the control block: zeroing and filling it from the settings
// while installing the hooks in the order the hook library relies on, and clearing the
// runner's identities before the view goes.
#pragma once

#include <cstdint>

#include "contract/ControlBlock.h"
#include "settings/ProjectSettings.h"

namespace quindle {

static_assert(kBlockMenuItemCount == kRightMenuDeleteItemCount, "the delete list fills the block's list");

// The hooks the runner installs, in the block's handle order.
enum class THookKind { Keyboard, Message, Cbt, Mouse };

// What the block set-up needs from the platform. Install returns the hook handle as
// the block stores it, or 0 when the hook could not be installed.
class IBlockSetupPlatform {
public:
    virtual ~IBlockSetupPlatform() = default;
    virtual void LookUpBrowserAssociation(TRunnerControlBlock& block) = 0;
    virtual uint32_t Install(THookKind kind) = 0;
};

// The runner's identities written at the end of the set-up.
struct TRunnerIdentity {
    uint32_t RunnerWnd = 0;
    uint32_t RunnerThreadId = 0;
    uint32_t RunnerProcessId = 0;
};

// Hook handles as installed; 0 for one not installed.
struct THookHandles {
    uint32_t Keyboard = 0;
    uint32_t Message = 0;
    uint32_t Cbt = 0;
    uint32_t Mouse = 0;
};

// Zeroes the block, fills it from the settings and installs the hooks through the
// platform, interleaved in the order the hook library relies on (the keyboard hook is
// live before the menu flags are written, the mouse hook only when a flag asks for it).
// Returns false at the first hook that could not be installed; handles holds every hook
// installed so far, so the caller can remove them.
bool SetUpControlBlock(TRunnerControlBlock& block, const TProjectSettings& settings, const TRunnerIdentity& runner,
                       IBlockSetupPlatform& platform, THookHandles& handles);

// Whether the projector window's frame will be changed; the set-up writes it to the
// close-item byte before the close item itself, so the library may see it briefly.
bool FrameWillChange(const TProjectSettings& settings);

// Whether the block asks for the mouse hook.
bool BlockNeedsMouseHook(const TRunnerControlBlock& block);

// The runner-owned fields cleared before the view is unmapped.
void ClearRunnerIdentities(TRunnerControlBlock& block);

}  // namespace quindle
