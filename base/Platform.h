// Which Windows family the runner runs on; chooses topmost styles, taskbar handling
// and the full-screen switch.
#pragma once

#include <cstdint>

namespace quindle {

struct TPlatformFlags {
    bool IsWin95 = false;
    bool IsWin98 = false;
    bool IsWinMe = false;
    bool IsWinNT5 = false;
};

// versionWord is GetVersion()'s low word: major in the low byte, minor in the next.
TPlatformFlags PlatformFlagsFromVersion(uint16_t versionWord, bool isNT);

// Windows Me, 2000 and XP: a full-screen runner window is topmost there, with the
// taskbar kept right behind it.
inline bool FullScreenIsTopmost(const TPlatformFlags& platform) { return platform.IsWinMe || platform.IsWinNT5; }

}  // namespace quindle
