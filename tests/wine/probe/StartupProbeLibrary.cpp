// A start-up library for the tests: its "BeforeShow" export reports its arguments, the
// runner window it was given, whether the argument text ends in two NULs and whether
// the projector was already taken into the runner window. The argument "raise" makes
// it raise a structured exception afterwards, as a failing library would.
#include <windows.h>

#include <cstring>
#include <string>

#include "tests/wine/probe/StartupProbe.h"

extern "C" __declspec(dllexport) void WINAPI BeforeShow(char* buffer, HWND runnerWnd, const char* arguments) {
    std::memset(buffer, 'x', 256);  // the runner's buffer is the library's to fill
    const size_t length = std::strlen(arguments);
    probe::Report("args", arguments);
    probe::Report("nuls", arguments[length + 1] == '\0' ? "2" : "1");
    probe::Report("wnd", std::to_string(reinterpret_cast<uintptr_t>(runnerWnd)));
    const bool embedded = ::FindWindowExA(runnerWnd, nullptr, "ShockwaveFlash", nullptr) != nullptr;
    probe::Report("embedded", embedded ? "1" : "0");
    if (std::strcmp(arguments, "raise") == 0) {
        ::RaiseException(0x0EEDFADE, 0, 0, nullptr);  // a Delphi exception's code
        probe::Report("after_raise", "1");
    }
    probe::Report("returned", "1");
}
