// Reads the screens through the multi-monitor calls where user32 has them.
#include "window/win32/Screens.h"

namespace quindle {

namespace {

using TMonitorFromWindow = HMONITOR(WINAPI*)(HWND, DWORD);
using TGetMonitorInfo = BOOL(WINAPI*)(HMONITOR, LPMONITORINFO);
using TEnumDisplayMonitors = BOOL(WINAPI*)(HDC, LPCRECT, MONITORENUMPROC, LPARAM);

// user32 stays loaded for the process's life, so its functions need no owner.
struct TMonitorCalls {
    TMonitorFromWindow MonitorFromWindow = nullptr;
    TGetMonitorInfo GetMonitorInfo = nullptr;
    TEnumDisplayMonitors EnumDisplayMonitors = nullptr;

    TMonitorCalls() {
        const HMODULE user32 = ::GetModuleHandleA("user32.dll");
        if (!user32) return;
        MonitorFromWindow = Find<TMonitorFromWindow>(user32, "MonitorFromWindow");
        GetMonitorInfo = Find<TGetMonitorInfo>(user32, "GetMonitorInfoA");
        EnumDisplayMonitors = Find<TEnumDisplayMonitors>(user32, "EnumDisplayMonitors");
    }

    template <typename TFunction>
    static TFunction Find(HMODULE module, const char* name) {
        return reinterpret_cast<TFunction>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
    }
};

const TMonitorCalls& MonitorCalls() {
    static const TMonitorCalls calls;
    return calls;
}

TRect32 RectOf(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

bool ReadScreen(HMONITOR monitor, TScreen& screen) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!MonitorCalls().GetMonitorInfo || !monitor || !MonitorCalls().GetMonitorInfo(monitor, &info)) return false;
    screen = {RectOf(info.rcMonitor), RectOf(info.rcWork), (info.dwFlags & MONITORINFOF_PRIMARY) != 0};
    return true;
}

BOOL CALLBACK AddScreen(HMONITOR monitor, HDC, LPRECT, LPARAM list) {
    TScreen screen;
    if (ReadScreen(monitor, screen)) reinterpret_cast<std::vector<TScreen>*>(list)->push_back(screen);
    return TRUE;
}

}  // namespace

TScreen PrimaryScreen() {
    TScreen primary;
    primary.Bounds = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    RECT work{};
    primary.Work = ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0) ? RectOf(work) : primary.Bounds;
    primary.Primary = true;
    return primary;
}

std::vector<TScreen> SystemScreens() {
    std::vector<TScreen> screens;
    if (MonitorCalls().EnumDisplayMonitors)
        MonitorCalls().EnumDisplayMonitors(nullptr, nullptr, &AddScreen, reinterpret_cast<LPARAM>(&screens));
    return screens;
}

TScreen ScreenOfWindow(HWND window) {
    TScreen screen;
    if (MonitorCalls().MonitorFromWindow &&
        ReadScreen(MonitorCalls().MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), screen))
        return screen;
    return PrimaryScreen();
}

TShowArea ShowAreaFor(int32_t screenSetting) {
    POINT pointer{};
    ::GetCursorPos(&pointer);
    return ChooseShowArea(SystemScreens(), PrimaryScreen(), screenSetting, {pointer.x, pointer.y});
}

}  // namespace quindle
