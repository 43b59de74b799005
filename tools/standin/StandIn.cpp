// A stand-in for the Shockwave Flash projector, for tests and demos: a framed window of
// class "ShockwaveFlash" with a view menu whose full-screen item drops frame and menu,
// a live animation, and a report of what it saw (see README.md).
#include <windows.h>
#include <windowsx.h>

#include <cstdlib>
#include <string>
#include <utility>

#include "tools/standin/Menus.h"
#include "tools/standin/Report.h"

namespace standin {

namespace {

constexpr char kClassName[] = "ShockwaveFlash";
constexpr UINT_PTR kAnimationTimer = 1;
constexpr UINT_PTR kParentTimer = 2;
constexpr UINT kAnimationMs = 40;
constexpr UINT kParentCheckMs = 100;

struct TStandInState {
    HMENU menuBar = nullptr;  // owned while detached from the window in full screen
    bool fullScreen = false;
    RECT framedRect{};
    LONG_PTR framedStyle = 0;
    std::string parentClass;  // last reported
    unsigned frame = 0;
};
TStandInState state;

std::string Decimal(long long value) { return std::to_string(value); }

bool EnvFlag(const char* name) {
    std::string value;
    return GetEnv(name, value) && value == "1";
}

std::string ModulePath() {
    char path[MAX_PATH + 1] = {};
    return std::string(path, ::GetModuleFileNameA(nullptr, path, MAX_PATH));
}

std::string CurrentDir() {
    char path[MAX_PATH + 1] = {};
    return std::string(path, ::GetCurrentDirectoryA(MAX_PATH, path));
}

std::string FileNamePart(const std::string& path) {
    const size_t slash = path.find_last_of("\\/:");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

void ReportStart() {
    Report("pid", Decimal(::GetCurrentProcessId()));
    Report("thread", Decimal(::GetCurrentThreadId()));
    Report("module", ModulePath());
    Report("cwd", CurrentDir());
    Report("cmdline", ::GetCommandLineA());
    const char* fixed[] = {"QuindleLocalDir_Engine",    "QuindleEngine_ID",        "QuindleEngine_WH",
                           "QuindleLocalDir_Projector", "QuindleLocalDir_RootDir", "QuindleLocalDir_InitialDir"};
    std::string value;
    for (const char* name : fixed) {
        if (GetEnv(name, value)) Report(std::string("env.") + name, value);
    }
    // The seventh is named after the runner's file name and holds the runner window.
    std::string engine;
    if (GetEnv("QuindleLocalDir_Engine", engine)) {
        const std::string runnerName = FileNamePart(engine);
        if (!runnerName.empty() && GetEnv(runnerName.c_str(), value)) Report("env." + runnerName, value);
    }
    // What a folder held when the projector started (files the runner put there first).
    std::string folder;
    if (GetEnv("STANDIN_LIST_FOLDER", folder) && !folder.empty()) {
        WIN32_FIND_DATAA found;
        const HANDLE search = ::FindFirstFileA((folder + "\\*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) return;
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) Report("file", found.cFileName);
        } while (::FindNextFileA(search, &found));
        ::FindClose(search);
    }
}

std::string ClassOf(HWND window) {
    char name[256] = {};
    return std::string(name, ::GetClassNameA(window, name, sizeof name));
}

void CheckParent(HWND window) {
    const HWND parent = ::GetAncestor(window, GA_PARENT);
    const std::string parentClass = parent && parent != ::GetDesktopWindow() ? ClassOf(parent) : std::string();
    if (parentClass == state.parentClass) return;
    state.parentClass = parentClass;
    Report("parent", parentClass);
}

void ToggleFullScreen(HWND window) {
    state.fullScreen = !state.fullScreen;
    Report("fullscreen", state.fullScreen ? "on" : "off");
    const LONG_PTR visible = ::GetWindowLongPtrA(window, GWL_STYLE) & WS_VISIBLE;
    if (state.fullScreen) {
        ::GetWindowRect(window, &state.framedRect);
        state.framedStyle = ::GetWindowLongPtrA(window, GWL_STYLE) & ~WS_VISIBLE;
        state.menuBar = ::GetMenu(window);
        ::SetMenu(window, nullptr);
        ::SetWindowLongPtrA(window, GWL_STYLE, WS_POPUP | WS_CLIPCHILDREN | visible);
        // Full screen on the screen the window is on, as a projector does.
        MONITORINFO screen{};
        screen.cbSize = sizeof screen;
        ::GetMonitorInfoA(::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &screen);
        const RECT& r = screen.rcMonitor;
        ::SetWindowPos(window, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                       SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    } else {
        ::SetWindowLongPtrA(window, GWL_STYLE, state.framedStyle | visible);
        ::SetMenu(window, std::exchange(state.menuBar, nullptr));
        const RECT& r = state.framedRect;
        ::SetWindowPos(window, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                       SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    }
}

void Paint(HWND window) {
    PAINTSTRUCT ps;
    const HDC dc = ::BeginPaint(window, &ps);
    RECT client;
    ::GetClientRect(window, &client);
    const HBRUSH background = ::CreateSolidBrush(RGB(16, 24, 48));
    ::FillRect(dc, &client, background);
    ::DeleteObject(background);

    // A ball that bounces across the window, and the frame number.
    const int w = client.right > 40 ? client.right - 40 : 1;
    const int h = client.bottom > 40 ? client.bottom - 40 : 1;
    const int span = 2 * w, rise = 2 * h;
    int x = static_cast<int>(state.frame * 7 % span), y = static_cast<int>(state.frame * 5 % rise);
    if (x > w) x = span - x;
    if (y > h) y = rise - y;
    const HBRUSH ball = ::CreateSolidBrush(RGB(255, 170, 0));
    const HGDIOBJ old = ::SelectObject(dc, ball);
    ::Ellipse(dc, x, y, x + 40, y + 40);
    ::SelectObject(dc, old);
    ::DeleteObject(ball);

    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, RGB(230, 230, 230));
    const std::string text = "Stand-in projector  frame " + Decimal(state.frame);
    ::TextOutA(dc, 8, 8, text.c_str(), static_cast<int>(text.size()));
    ::EndPaint(window, &ps);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            ::SetTimer(window, kAnimationTimer, kAnimationMs, nullptr);
            ::SetTimer(window, kParentTimer, kParentCheckMs, nullptr);
            return 0;
        case WM_TIMER:
            if (wParam == kAnimationTimer) {
                ++state.frame;
                ::InvalidateRect(window, nullptr, FALSE);
            } else if (wParam == kParentTimer) {
                CheckParent(window);
            }
            return 0;
        case WM_COMMAND: {
            const UINT id = LOWORD(wParam);
            Report("command", Decimal(id));
            // The runner falls back to 20048 when it cannot read our menu (Wine does not
            // let another process read it), so that id switches as well.
            if (id == kFullScreenCommand || id == kFallbackFullScreenCommand) ToggleFullScreen(window);
            if (id == kExitCommand) ::PostMessageA(window, WM_CLOSE, 0, 0);
            return 0;
        }
        case WM_CONTEXTMENU:
            ShowContextMenu(window, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            return 0;
        case WM_ENTERIDLE:
            OnMenuIdle(wParam);
            return 0;
        case WM_SYSCOMMAND:
            Report("syscommand", Decimal(wParam & 0xFFF0));
            return ::DefWindowProcA(window, message, wParam, lParam);
        case WM_KEYDOWN:
            Report("keydown", Decimal(wParam));
            return 0;
        case WM_SYSKEYDOWN:
            // F10 arrives here; with Shift held the default turns it into WM_CONTEXTMENU.
            Report("syskeydown", Decimal(wParam));
            return ::DefWindowProcA(window, message, wParam, lParam);
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
            Report("buttondown", message == WM_LBUTTONDOWN ? "left" : "right");
            return 0;
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
            Report("buttonup", message == WM_LBUTTONUP ? "left" : "right");
            // The release of the right button opens the context menu.
            return ::DefWindowProcA(window, message, wParam, lParam);
        case WM_PAINT:
            Paint(window);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_CLOSE:
            Report("wm_close", "1");
            // A projector too busy to close (as at a log-off) stays until its process is ended.
            if (!EnvFlag("STANDIN_STAY_ON_CLOSE")) ::DestroyWindow(window);
            return 0;
        case WM_DESTROY:
            ::KillTimer(window, kAnimationTimer);
            ::KillTimer(window, kParentTimer);
            if (state.menuBar) ::DestroyMenu(std::exchange(state.menuBar, nullptr));
            ::PostQuitMessage(0);
            return 0;
        default:
            return ::DefWindowProcA(window, message, wParam, lParam);
    }
}

// A hook on this thread's own CBT chain, called before the system-wide ones: reports
// whether the chain behind it (a hook library) refused a system command, which the
// window procedure cannot tell, as the refusal comes inside the default handling.
LRESULT CALLBACK ReportSystemCommandRefusal(int code, WPARAM wParam, LPARAM lParam) {
    const LRESULT refused = ::CallNextHookEx(nullptr, code, wParam, lParam);
    if (code == HCBT_SYSCOMMAND)
        Report("cbtsyscommand", Decimal(wParam & 0xFFF0) + (refused ? " refused" : " allowed"));
    return refused;
}

HWND CreateMainWindow(HINSTANCE instance, int show) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = &WindowProc;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = kClassName;
    if (!::RegisterClassA(&wc)) return nullptr;

    std::string lang;
    GetEnv("STANDIN_MENU_LANG", lang);
    const HMENU menu = CreateMenuBar(lang.c_str());
    // CW_USEDEFAULT lets a position in the start-up record take effect.
    const HWND window = ::CreateWindowExA(0, kClassName, "Stand-in Projector", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                                          CW_USEDEFAULT, CW_USEDEFAULT, 660, 520, nullptr, menu, instance, nullptr);
    if (!window) {
        ::DestroyMenu(menu);
        return nullptr;
    }
    ReportMenuBar(menu);
    ::ShowWindow(window, show);
    ::UpdateWindow(window);
    return window;
}

}  // namespace

int Run(HINSTANCE instance, int show) {
    ReportStart();
    std::string slow;
    if (GetEnv("STANDIN_SLOW_START", slow) && !slow.empty())
        ::Sleep(static_cast<DWORD>(std::strtoul(slow.c_str(), nullptr, 10)));

    HWND window = nullptr;
    const auto openWindow = [&] {
        window = CreateMainWindow(instance, show);
        Report("window", Decimal(static_cast<long long>(reinterpret_cast<intptr_t>(window))));
        return window != nullptr;
    };
    std::string late;
    UINT_PTR lateTimer = 0;
    const bool opensLate = GetEnv("STANDIN_LATE_WINDOW", late) && !late.empty();
    if (EnvFlag("STANDIN_NO_WINDOW")) {
        Report("window", "none");
    } else if (opensLate) {
        // A thread timer: the window comes once the message loop runs, after input idle.
        lateTimer = ::SetTimer(nullptr, 0, static_cast<UINT>(std::strtoul(late.c_str(), nullptr, 10)), nullptr);
    } else if (!openWindow()) {
        return 1;
    }

    const HHOOK cbtReport = ::SetWindowsHookExA(WH_CBT, &ReportSystemCommandRefusal, nullptr, ::GetCurrentThreadId());
    ACCEL fullScreenKey{FCONTROL | FVIRTKEY, 'F', static_cast<WORD>(kFullScreenCommand)};
    const HACCEL accelerators = ::CreateAcceleratorTableA(&fullScreenKey, 1);
    MSG message;
    int result;
    while ((result = ::GetMessageA(&message, nullptr, 0, 0)) > 0) {
        if (opensLate && !window && !message.hwnd && (message.message == WM_TIMER || message.message == WM_APP)) {
            ::KillTimer(nullptr, lateTimer);
            if (!openWindow()) return 1;
            continue;
        }
        if (window && accelerators && ::TranslateAcceleratorA(window, accelerators, &message)) continue;
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
    if (accelerators) ::DestroyAcceleratorTable(accelerators);
    if (cbtReport) ::UnhookWindowsHookEx(cbtReport);
    const int code = result < 0 ? 1 : static_cast<int>(message.wParam);
    Report("exit", Decimal(code));
    return code;
}

}  // namespace standin

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) { return standin::Run(instance, show); }
