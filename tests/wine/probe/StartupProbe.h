// What the start-up probes report: "key=value" lines appended to the file named by
// STARTUP_PROBE_REPORT, so that a test can see what the runner handed them.
#pragma once

#include <windows.h>

#include <string>

namespace probe {

inline void Report(const std::string& key, const std::string& value) {
    char path[MAX_PATH] = {};
    const DWORD length = ::GetEnvironmentVariableA("STARTUP_PROBE_REPORT", path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    const HANDLE file = ::CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    const std::string line = key + "=" + value + "\r\n";
    DWORD written = 0;
    ::WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    ::CloseHandle(file);
}

}  // namespace probe
