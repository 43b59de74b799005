// Portable rules of the runner's life cycle. Used by the runner's initialisation.
#include "runner/Lifecycle.h"

namespace quindle {

PlatformFlags PlatformFlagsFromVersion(uint16_t versionWord, bool isNT) {
    const unsigned major = versionWord & 0xFF;
    const unsigned minor = (versionWord >> 8) & 0xFF;
    PlatformFlags flags;
    flags.IsWin95 = !isNT && major == 4 && minor < 10;
    flags.IsWin98 = !isNT && !flags.IsWin95 && major == 4 && minor < 90;
    flags.IsWinMe = !isNT && !flags.IsWin95 && !flags.IsWin98;
    flags.IsWinNT5 = isNT && major == 5;
    return flags;
}

std::string LowerAscii(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

bool IsSetupSwitch(const std::string& firstArgument) {
    return firstArgument == "/C" || firstArgument == "/c";
}

std::string FileNamePart(const std::string& path) {
    const auto cut = path.find_last_of("\\/:");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::string ExeBaseNameOf(const std::string& exeName) {
    const auto at = LowerAscii(exeName).find(".exe");
    return at == std::string::npos ? std::string() : exeName.substr(0, at);
}

}  // namespace quindle
