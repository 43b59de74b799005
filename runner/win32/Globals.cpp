// Process-wide state of the runner. Set at program start and by the runner cycle.
#include "runner/win32/Globals.h"

namespace quindle {

bool RestartFlag = true;
bool QuitFlag = false;
TMessageHook MessageHook;
TPlatformFlags Platform;

void InitPlatformFlags() {
    const DWORD version = ::GetVersion();
    const bool isNT = (version & 0x80000000u) == 0;
    Platform = PlatformFlagsFromVersion(static_cast<uint16_t>(version & 0xFFFF), isNT);
}

}  // namespace quindle
