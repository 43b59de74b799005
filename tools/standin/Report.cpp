// Appends report lines; the file is opened for each line and shared, so a test may
// read it while the stand-in runs and several stand-ins may write to one file.
#include "tools/standin/Report.h"

#include <windows.h>

#include <vector>

namespace standin {

bool GetEnv(const char* name, std::string& value) {
    const DWORD needed = ::GetEnvironmentVariableA(name, nullptr, 0);
    if (needed == 0) {
        value.clear();
        return ::GetLastError() != ERROR_ENVVAR_NOT_FOUND;
    }
    std::vector<char> buffer(needed);
    const DWORD length = ::GetEnvironmentVariableA(name, buffer.data(), needed);
    value.assign(buffer.data(), length < needed ? length : 0);
    return true;
}

void Report(const std::string& key, const std::string& value) {
    std::string path;
    if (!GetEnv("STANDIN_REPORT", path) || path.empty()) return;
    const HANDLE file = ::CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    const std::string line = key + "=" + value + "\n";
    DWORD written = 0;
    ::WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    ::CloseHandle(file);
}

}  // namespace standin
