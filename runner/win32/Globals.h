// Process-wide state of the runner that the message pump and the cycle need: the cycle
// flags, the pump's message hook and the platform flags. The runner object is owned by
// RunOnce and reached by its window through the window's own data; the open setup
// dialog by the runner object, which runs it. Each has one writer, named beside it.
#pragma once

#include <windows.h>

#include <functional>

#include "base/Platform.h"

namespace quindle {

// Consulted by the pump before each dispatch; assigned while its Proc is set.
struct TMessageHook {
    std::function<void(MSG& message, bool& handled)> Proc;
    bool Assigned() const { return static_cast<bool>(Proc); }
};

extern bool RestartFlag;          // the cycle loop; the setup dialog asks for another cycle
extern bool QuitFlag;             // the pump on WM_QUIT, the start handler when it returns
extern TMessageHook MessageHook;  // the supervision once the projector is shown, cleared by the clean-up
extern TPlatformFlags Platform;   // InitPlatformFlags, once

// Sets Platform from the running system's version; called once at program start.
void InitPlatformFlags();

}  // namespace quindle
