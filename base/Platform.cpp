// The platform flags, from the system's version word.
#include "base/Platform.h"

namespace quindle {

TPlatformFlags PlatformFlagsFromVersion(uint16_t versionWord, bool isNT) {
    const unsigned major = versionWord & 0xFF;
    const unsigned minor = (versionWord >> 8) & 0xFF;
    TPlatformFlags flags;
    flags.IsWin95 = !isNT && major == 4 && minor < 10;
    flags.IsWin98 = !isNT && !flags.IsWin95 && major == 4 && minor < 90;
    flags.IsWinMe = !isNT && !flags.IsWin95 && !flags.IsWin98;
    flags.IsWinNT5 = isNT && major == 5;
    return flags;
}

}  // namespace quindle
