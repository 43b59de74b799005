// Paths the runner asks the system for.
#include "base/win32/SystemPaths.h"

#include <windows.h>

namespace quindle {

std::string OwnExecutablePath() {
    char path[MAX_PATH + 1] = {};
    const DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::string(path, length);
}

std::string SystemTempPath() {
    char path[261] = {};
    const DWORD length = ::GetTempPathA(sizeof path, path);
    return length < sizeof path ? std::string(path, length) : std::string();
}

std::string CurrentDirectory() {
    char dir[MAX_PATH + 1] = {};
    const DWORD length = ::GetCurrentDirectoryA(sizeof dir, dir);
    return length < sizeof dir ? std::string(dir, length) : std::string();
}

}  // namespace quindle
