// Helper of dpi_sizes.sh, run under Wine: the window sizes a runner computes for full
// screen, a custom size and a centred window, for each runner given (the same runner
// with each DPI awareness its manifest could declare), and whether the projector it
// takes in covers exactly its client area.
//   dpi_sizes.exe NAME=RUNNER.exe...
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/harness/Harness.h"
#include "tests/harness/Presentation.h"

namespace {

struct TLayout {
    const char* Name;
    const char* Settings;
};

const TLayout kLayouts[] = {
    {"full screen", "FullScreen=1\r\n"},
    {"custom 800x600 at 20,20",
     "CustomSize=1\r\nWidth=800\r\nHeight=600\r\nAlignmentH=0\r\nAlignmentV=0\r\n"
     "Left=20\r\nTop=20\r\n"},
    {"centred, size from the projector", "AlignmentH=2\r\nAlignmentV=2\r\n"},
};

// Windows 10 calls, looked up: older systems and Wine versions may lack them.
using TGetWindowContext = HANDLE(WINAPI*)(HWND);
using TGetAwareness = int(WINAPI*)(HANDLE);
using TGetDpiForWindow = UINT(WINAPI*)(HWND);

// A user32 export as the function type it has; nullptr where it is missing.
template <typename TFunction>
TFunction User32Export(const char* name) {
    return reinterpret_cast<TFunction>(
        reinterpret_cast<void (*)()>(::GetProcAddress(::GetModuleHandleA("user32.dll"), name)));
}

std::string Awareness(HWND window) {
    const auto context = User32Export<TGetWindowContext>("GetWindowDpiAwarenessContext");
    const auto awareness = User32Export<TGetAwareness>("GetAwarenessFromDpiAwarenessContext");
    const auto dpi = User32Export<TGetDpiForWindow>("GetDpiForWindow");
    if (!context || !awareness || !dpi) return "unknown";
    static const char* const kNames[] = {"unaware", "system aware", "per-monitor aware"};
    const int value = awareness(context(window));
    return std::string(value >= 0 && value <= 2 ? kNames[value] : "invalid") + ", " + std::to_string(dpi(window)) +
           " dpi";
}

std::string Rect(const RECT& r) {
    char text[96];
    std::snprintf(text, sizeof text, "%ld,%ld %ldx%ld", r.left, r.top, r.right - r.left, r.bottom - r.top);
    return text;
}

// The runner's own answer to "NimbrelRunnerSvrMessage" 1: its client area in its coordinates.
RECT RunnersOwnClientArea(HWND runner) {
    const UINT query = harness::RegisteredMessage("NimbrelRunnerSvrMessage");
    const auto ask = [&](LPARAM which) { return LONG(::SendMessageA(runner, query, 1, which)); };
    return RECT{ask(0), ask(2), ask(1), ask(3)};
}

// One show of runner in layout: what the runner computed and where the projector went.
bool Measure(const std::string& name, const std::string& runnerPath, const TLayout& layout) {
    harness::PresentationSpec spec;
    spec.Name = "DpiSizes";
    spec.Ini = std::string("[Settings]\r\nPassword=0\r\nInteraction=1\r\nKeyInteraction=1\r\n") + layout.Settings;
    spec.PackOptions = "--stub \"" + runnerPath + "\"";  // the last --stub counts
    harness::Presentation show(spec);
    if (!show.Packed()) {
        std::printf("%s: packing failed: %s\n", name.c_str(), show.PackOutput().c_str());
        return false;
    }
    harness::Program runner = show.Start();
    const HWND runnerWnd = harness::WaitForShow(runner);
    const HWND projector = runnerWnd ? ::FindWindowExA(runnerWnd, nullptr, "ShockwaveFlash", nullptr) : nullptr;
    if (!projector) {
        std::printf("%-12s %-34s the show did not come up\n", name.c_str(), layout.Name);
        return false;
    }
    // The restyle moves and sizes both windows in steps, and the supervision sizes the
    // projector after them: the figures count once two readings 200 ms apart agree.
    RECT outer{}, client{}, projectorRect{}, own{};
    POINT origin{0, 0};
    std::string last;
    harness::WaitUntil(
        [&] {
            ::GetWindowRect(runnerWnd, &outer);
            ::GetClientRect(runnerWnd, &client);
            ::GetWindowRect(projector, &projectorRect);
            origin = {0, 0};
            ::ClientToScreen(runnerWnd, &origin);
            own = RunnersOwnClientArea(runnerWnd);
            const std::string reading = Rect(outer) + Rect(client) + Rect(projectorRect) + Rect(own);
            const bool settled = reading == last;
            last = reading;
            if (!settled) ::Sleep(200);
            return settled;
        },
        10000);
    const RECT clientOnScreen{origin.x, origin.y, origin.x + client.right, origin.y + client.bottom};
    const bool covers = ::EqualRect(&projectorRect, &clientOnScreen) != FALSE;
    std::printf("%-12s %-34s runner %-22s client %-22s runner's own client %-22s projector %-22s %s\n", name.c_str(),
                layout.Name, Rect(outer).c_str(), Rect(clientOnScreen).c_str(), Rect(own).c_str(),
                Rect(projectorRect).c_str(), covers ? "covers the client area" : "DOES NOT cover the client area");
    std::printf("%-12s %-34s runner window %s; projector window %s\n", "", "", Awareness(runnerWnd).c_str(),
                Awareness(projector).c_str());
    return harness::CloseShow(runnerWnd, runner).has_value() && covers;
}

}  // namespace

int main(int argc, char** argv) {
    HDC screen = ::GetDC(nullptr);
    std::printf("LOGPIXELSX %d, screen %dx%d, caption %d, frame %d (as this helper sees them)\n",
                ::GetDeviceCaps(screen, LOGPIXELSX), ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN),
                ::GetSystemMetrics(SM_CYCAPTION), ::GetSystemMetrics(SM_CXFRAME));
    ::ReleaseDC(nullptr, screen);
    bool ok = true;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const size_t eq = arg.find('=');
        for (const TLayout& layout : kLayouts) ok &= Measure(arg.substr(0, eq), arg.substr(eq + 1), layout);
    }
    return ok ? 0 : 1;
}
