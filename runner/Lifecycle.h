// Portable rules of the runner's life cycle: the platform flags, the command-line
// switch and the names derived from the runner's own file name.
#pragma once

#include <cstdint>
#include <string>

namespace quindle {

// Which Windows family the runner runs on; chooses topmost styles, taskbar handling
// and the full-screen switch.
struct PlatformFlags {
    bool IsWin95 = false;
    bool IsWin98 = false;
    bool IsWinMe = false;
    bool IsWinNT5 = false;
};

// versionWord is GetVersion()'s low word: major in the low byte, minor in the next.
PlatformFlags PlatformFlagsFromVersion(uint16_t versionWord, bool isNT);

// True when the first command-line argument asks for the setup dialog: "/C" in either case.
bool IsSetupSwitch(const std::string& firstArgument);

// The file-name part of a path (after the last "\", "/" or ":").
std::string FileNamePart(const std::string& path);

// The characters of exeName in front of the first ".exe" (found ignoring case, copied
// without case change); empty when the name holds no ".exe".
std::string ExeBaseNameOf(const std::string& exeName);

// ASCII lower-casing, as the runner compares its own names.
std::string LowerAscii(std::string text);

}  // namespace quindle
