// Process-wide state of the runner: the cycle flags, the pump's message hook, the
// live runner and setup objects, screen and projector-area sizes, the platform flags.
#pragma once

#include <windows.h>

#include <cstdint>

#include "runner/Lifecycle.h"

namespace quindle {

class TfrmMain;
class TfrmSetup;

// Consulted by the pump before each dispatch; assigned while its Proc is set.
struct TMessageHook {
    TfrmMain* Object = nullptr;
    void (TfrmMain::*Proc)(MSG& message, bool& handled) = nullptr;
    bool Assigned() const { return Proc != nullptr; }
};

extern bool RestartFlag;
extern bool QuitFlag;
extern TMessageHook MessageHook;
extern TfrmMain* CurrentRunner;
extern TfrmSetup* CurrentSetup;
extern int32_t ScreenW, ScreenH;
extern int32_t AreaW, AreaH;
extern bool AreaChanged;
extern PlatformFlags Platform;

// Sets Platform from the running system's version; called once at program start.
void InitPlatformFlags();

}  // namespace quindle
